// The floor of the start-up benchmark: a bare Qt dialog of the login window's size, shown and
// painted, with nothing else.
#include "first_paint_report.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.resize(330, 44);
    reportFirstPaint(&dialog);
    dialog.show();
    return app.exec();
}
