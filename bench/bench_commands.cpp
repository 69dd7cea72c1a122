// The commands for payroll, each a process of the program with its start, its connection and its
// login, against the window doing the same: `tabel export timesheet` of the piece-work month
// against the timesheet window reading the month and pressing "Excel" (against "Excel" alone, with
// the rows already on the screen, no process could compete: starting one takes 50 ms here), and
// `tabel check` of a month with one damaged cell per worker against the window's "Проверить".
#include "bench_data.h"
#include "bench_support.h"
#include "data_module.h"
#include "month_check.h"
#include "timesheet_window.h"
#include "windows.h"

#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>

namespace bench {

namespace {

QString monthArgument(TimesheetMonth month)
{
    return QStringLiteral("%1-%2").arg(month.year).arg(month.month, 2, 10, QLatin1Char('0'));
}

// Runs the program with the command and the benchmark's connection; `expected` is its exit code.
void runCommand(Context& c, const QStringList& command, int expected)
{
    QProcess p;
    p.start(c.programPath, command + QStringList{QStringLiteral("--login"), QStringLiteral("7391")} + c.arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != expected)
        throw std::runtime_error(("tabel " + command.join(u' ') + " failed: " + QString::fromUtf8(p.readAllStandardError()))
                                     .toStdString());
}

void measureExportCommand(Context& c)
{
    TimesheetWindow& w = c.windows().timesheetWindow();
    QTemporaryDir folder;
    const TimesheetMonth month = TimesheetMonth::of(data::fullMonth());
    const QStringList command{QStringLiteral("export"), QStringLiteral("timesheet"), QStringLiteral("--month"),
                              monthArgument(month), QStringLiteral("--kind"), QStringLiteral("piecework"),
                              QStringLiteral("-o"), folder.filePath(QStringLiteral("command.xlsx"))};
    Measure m;
    m.group = QStringLiteral("commands");
    m.name = QStringLiteral("tabel export timesheet of the piece-work month (process), target 1.3×");
    m.limit = QStringLiteral("the timesheet window: the month read, then \"Excel\"");
    m.target = 1.3;
    m.runs = 7;
    m.setup = [&] {
        w.prepare(TimesheetMode::PieceWork, month);
        m.rows = w.timesheet().recordCount();
    };
    m.program = [&](int) { runCommand(c, command, 0); };
    m.reference = [&](int) {
        w.prepare(TimesheetMode::PieceWork, month);
        w.exportToExcel();
    };
    m.teardown = [&] { w.finish(); };
    c.runner.run(m);
}

void measureCheckCommand(Context& c)
{
    DataModule& dm = c.dm();
    const TimesheetMonth month = TimesheetMonth::of(data::fullMonth());
    const QStringList command{QStringLiteral("check"), QStringLiteral("--month"), monthArgument(month)};
    Measure m;
    m.group = QStringLiteral("commands");
    m.name = QStringLiteral("tabel check of a month (one damaged cell per worker, process), target 1.3×");
    m.limit = QStringLiteral("the timesheet window's \"Проверить\", listed and painted");
    m.target = 1.3;
    m.runs = 7;
    m.setup = [&] { m.rows = damageOneCellPerWorker(dm.db, month); };
    m.program = [&](int) { runCommand(c, command, 1); };
    m.reference = [&](int) { checkInWindow(c, month); };
    m.teardown = [&] {
        if (!repairMonth(dm.db, month.first()))
            throw std::runtime_error("the month was not repaired");
    };
    c.runner.run(m);
}

} // namespace

void commandsSuite(Context& c)
{
    measureExportCommand(c);
    measureCheckCommand(c);
}

} // namespace bench
