#include <QApplication>

#include "app/app_setup.h"
#include "app/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    capbeam::PrepareApplication(app);
    capbeam::Form1 form;
    form.show();
    return QApplication::exec();
}
