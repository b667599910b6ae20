#include <QApplication>

#include "app/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    capbeam::Form1 form;
    form.show();
    return app.exec();
}
