// Табель: the production register and timesheets of a factory floor.
#include "build_stamp.h"
#include "first_paint_report.h"
#include "login_window.h"
#include "windows.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Табель"));
    Windows windows;
    if (!windows.start(app.arguments().mid(1), BuildStamp{kBuildDate, kBuildTime}, Windows::Others::AfterLoginShown))
        return 0;
    LoginWindow& login = windows.loginWindow();
    QObject::connect(&login, &QDialog::finished, &app, [] { QCoreApplication::exit(0); });
    reportFirstPaint(&login);
    login.show();
    return app.exec();
}
