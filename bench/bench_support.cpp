#include "bench_support.h"

#include "data_module.h"
#include "excel_book.h"
#include "register_window.h"
#include "windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QWidget>
#include <stdexcept>

namespace bench {

Context::Context(Runner& r, QStringList args, QString program, QString bare)
    : runner(r), arguments(std::move(args)), programPath(std::move(program)), bareDialogPath(std::move(bare))
{
}

Context::~Context() = default;

Windows& Context::windows()
{
    if (!windows_) {
        // The build stamp the database holds (the program's processes write theirs), so that the
        // build check neither refuses these windows nor writes a stamp that refuses the program.
        Database probe(QStringLiteral("stamp"));
        probe.open(ConnectionSettings::fromArguments(arguments));
        QSqlQuery ver = probe.exec(QStringLiteral("select d, t from accounts_dep.ver limit 1"));
        const BuildStamp stamp = ver.next() ? BuildStamp{ver.value(0).toInt(), ver.value(1).toInt()} : BuildStamp{};
        probe.close();
        windows_ = std::make_unique<Windows>();
        if (!windows_->start(arguments, stamp))
            throw std::runtime_error("the program's windows could not connect to the benchmark database");
        windows_->registerWindow().versionCheckTimer.stop();
        windows_->dataModule().db.loginRole = Role::FullRights;
        for (int shift = 1; shift <= 4; ++shift)
            windows_->dataModule().shiftList(shift).setParam(QStringLiteral("ok"), QStringLiteral("ta"));
        windows_->dataModule().decimalSeparator = QStringLiteral(".");
    }
    return *windows_;
}

DataModule& Context::dm() { return windows().dataModule(); }

PaintWatch::PaintWatch(QWidget* widget) : widget_(widget) { widget_->installEventFilter(this); }

PaintWatch::~PaintWatch() { widget_->removeEventFilter(this); }

bool PaintWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget_ && event->type() == QEvent::Paint)
        painted_ = true;
    return false;
}

void PaintWatch::wait()
{
    QElapsedTimer t;
    t.start();
    while (!painted_) {
        if (t.elapsed() > 10000)
            throw std::runtime_error("the window was not painted within 10 s");
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

QString newestExport()
{
    const QFileInfoList files = QDir(ExcelBook::exportFolder())
                                    .entryInfoList({QStringLiteral("*.xlsx")}, QDir::Files, QDir::Time);
    return files.isEmpty() ? QString() : files.first().filePath();
}

int fetchAll(Database& db, const Dataset& dataset)
{
    return fetchAll(db, dataset.sql(), dataset.params(), dataset.numericalPrecisionPolicy());
}

int fetchAll(Database& db, const QString& statement, const Params& params, QSql::NumericalPrecisionPolicy precision)
{
    QSqlQuery q = db.exec(statement, params, precision);
    const int columns = q.record().count();
    int rows = 0;
    QVector<QVariant> row(columns);
    while (q.next()) {
        for (int i = 0; i < columns; ++i)
            row[i] = q.value(i);
        ++rows;
    }
    return rows;
}

} // namespace bench
