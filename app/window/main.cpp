#include <QApplication>

#include "app/window/form1.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dg2"));
    QGuiApplication::setDesktopFileName(QStringLiteral("dg2"));
    TForm1 form;
    form.centre_on_screen();
    form.show();
    return QApplication::exec();
}
