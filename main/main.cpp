// Табель: the production register and timesheets of a factory floor.
#include "build_stamp.h"
#include "command_line.h"
#include "first_paint_report.h"
#include "local_time.h"
#include "login_window.h"
#include "russian.h"
#include "window_memory.h"
#include "windows.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    readTimeZoneOnce();
    // Answered before any window system is needed (a terminal, a package's check).
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tabel %s (сборка %d %06d)\n", TABEL_VERSION, kBuildDate, kBuildTime);
        return 0;
    }
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (isCommandLine(arguments)) {
        // The commands need no display: they run where cron runs them.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        logCommandMessagesToFile();
        // Fonts only for what lays out text (the spreadsheets' column widths, the PDF pages): the
        // check goes without the platform plugin.
        std::unique_ptr<QCoreApplication> app = commandNeedsFonts(arguments)
                                                    ? std::make_unique<QGuiApplication>(argc, argv)
                                                    : std::make_unique<QCoreApplication>(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Табель"));
        useRussian();
        const int code = runCommandLine(arguments, BuildStamp{kBuildDate, kBuildTime});
        // The command has written its files and closed its connection. The process ends here:
        // destroying the application object makes Qt's font database load the whole fontconfig
        // set-up (about 80 ms) just to free it, when most commands never used a font.
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(code);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Табель"));
    useRussian();
    // Every window's size, position and column widths, kept between runs.
    WindowMemory memory;
    app.installEventFilter(&memory);
    Windows windows;
    if (!windows.start(app.arguments().mid(1), BuildStamp{kBuildDate, kBuildTime}, Windows::Others::AfterLoginShown))
        return 0;
    LoginWindow& login = windows.loginWindow();
    QObject::connect(&login, &QDialog::finished, &app, [] { QCoreApplication::exit(0); });
    reportFirstPaint(&login);
    // A newer build in the database ends the program right there, before any login is possible.
    if (!login.showAfterBuildCheck())
        return 0;
    return app.exec();
}
