#pragma once
// For the start-up benchmark: with TABEL_REPORT_SHOWN set, the program writes "shown" to its
// standard output as soon as the window has been painted for the first time, and ends.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

inline void reportFirstPaint(QWidget* window)
{
    if (!qEnvironmentVariableIsSet("TABEL_REPORT_SHOWN"))
        return;
    struct Watch : QObject {
        using QObject::QObject;
        bool done = false;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && !done) {
                done = true;
                // After the paint has finished.
                QTimer::singleShot(0, [] {
                    std::fputs("shown\n", stdout);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                });
            }
            return false;
        }
    };
    window->installEventFilter(new Watch(window));
}
