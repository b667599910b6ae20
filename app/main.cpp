#include <QApplication>

#include "app/app_setup.h"
#include "app/form1.h"
#include "app/job_menu.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    capbeam::PrepareApplication(app);
    capbeam::Form1 form;
    form.show();
    // A job left by a crash first; then the job named on the command line
    // (a double click on a .capbeam file), which asks before replacing a
    // restored one.
    form.Jobs()->OfferRecovery();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 && form.Jobs()->MayDiscard(QStringLiteral("打开另一个作业"))) form.Jobs()->OpenPath(args.at(1));
    return QApplication::exec();
}
