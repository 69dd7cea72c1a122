// A month's proof and its pay statements: "Проверить" of the full month (its differences read,
// listed and painted) against its one statement alone, on a month with one damaged cell per
// worker; "Листки всем" of the month to a written PDF, counted per worker for the growth, beside
// the reading of its lines (the rest is laying out and writing the pages).
#include "bench_data.h"
#include "bench_support.h"
#include "data_module.h"
#include "month_check.h"
#include "month_check_dialog.h"
#include "pay_statement.h"
#include "timesheet_window.h"
#include "windows.h"

#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <stdexcept>

namespace bench {

int damageOneCellPerWorker(Database& db, TimesheetMonth month)
{
    return db.execute(QStringLiteral("update accounts_dep.h_tabel h set d2=99 where h.id in (select min(id) from "
                                     "accounts_dep.h_tabel where month=:month and year=:year and smena>0 group by w_id)"),
                      {{QStringLiteral("month"), month.month}, {QStringLiteral("year"), month.year}});
}

void checkInWindow(Context& c, TimesheetMonth month)
{
        MonthCheckDialog* dialog = c.windows().timesheetWindow().checkDialog;
        PaintWatch painted(dialog->differencesGrid->viewport());
        dialog->check(month);
        dialog->show();
        painted.wait();
        stopClock();
        dialog->hide();
}

namespace {

void measureCheck(Context& c)
{
    DataModule& dm = c.dm();
    const TimesheetMonth month = TimesheetMonth::of(data::fullMonth());
    Measure m;
    m.group = QStringLiteral("statements");
    m.name = QStringLiteral("Проверить of a month (one damaged cell per worker), listed and painted, target 1.5×, 100 ms");
    m.limit = QStringLiteral("its statement alone");
    m.target = 1.5;
    m.runs = 11;
    int damaged = 0;
    m.setup = [&] {
        m.traced = &dm.db;
        damaged = damageOneCellPerWorker(dm.db, month);
        m.rows = fetchAll(dm.db, monthDifferencesStatement(), monthDifferencesParams(month));
    };
    m.check = [&]() -> QString {
        return m.rows == damaged ? QString()
                                 : QStringLiteral("%1 differences for %2 damaged cells").arg(m.rows).arg(damaged);
    };
    m.program = [&](int) { checkInWindow(c, month); };
    m.reference = [&](int) { fetchAll(dm.db, monthDifferencesStatement(), monthDifferencesParams(month)); };
    m.teardown = [&] {
        if (!repairMonth(dm.db, month.first()) || !findMonthDifferences(dm.db, month.first()).isEmpty())
            throw std::runtime_error("the month was not repaired");
    };
    c.runner.run(m);
}

void measureAllStatements(Context& c)
{
    DataModule& dm = c.dm();
    const QDate month = data::fullMonth();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("листки.pdf"));
    Measure m;
    m.group = QStringLiteral("statements");
    m.name = QStringLiteral("Листки всем of a month to a written PDF, target 3 s at the plant size (per worker)");
    m.limit = QStringLiteral("reading its lines alone");
    m.runs = 3;
    m.setup = [&] {
        m.traced = &dm.db;
        m.rows = PayStatements(dm.db, month).workerCount();
    };
    m.program = [&](int) {
        const Outcome written = writePayStatements(dm.db, month, std::nullopt, path);
        if (!written || QFileInfo(path).size() == 0)
            throw std::runtime_error(("no statements written: " + written.refusal()).toStdString());
    };
    m.reference = [&](int) { PayStatements read(dm.db, month); };
    c.runner.run(m);
}

} // namespace

void statementsSuite(Context& c)
{
    measureCheck(c);
    measureAllStatements(c);
}

} // namespace bench
