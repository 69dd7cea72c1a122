// The monthly timesheet: the works rows' month rebuild (and, for the timesheet by shifts, the
// piece-work rows' one) against the day-by-day algorithm and against its statements alone;
// opening each of the four modes for a month against the mode's statement alone; the export of
// the piece-work month (one row per worker) against libxlsxwriter writing the same cells.
#include "bench_data.h"
#include "bench_support.h"
#include "data_module.h"
#include "month_rebuild.h"
#include "row_by_row_rebuild.h"
#include "timesheet_window.h"
#include "windows.h"
#include "xlsx_reference.h"

#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

namespace bench {

namespace {

TimesheetMonth measuredMonth() { return TimesheetMonth::of(data::fullMonth()); }

QString familyName(MonthRows rows) { return rows == MonthRows::Works ? QStringLiteral("works") : QStringLiteral("piece-work"); }

// The source records of the month that the family's rows are made of.
double sourceRows(Database& db, MonthRows rows, TimesheetMonth month)
{
    const QString statement = rows == MonthRows::Works
                                  ? QStringLiteral("select count(*) from accounts_dep.fatigue where d_date>=:a and d_date<:b")
                                  : QStringLiteral("select count(*) from accounts_dep.smena where data>=:a and data<:b");
    return db.scalar(statement, {{QStringLiteral("a"), month.first()}, {QStringLiteral("b"), month.next()}}).toDouble();
}

QString modeName(TimesheetMode mode)
{
    switch (mode) {
    case TimesheetMode::PieceWork: return QStringLiteral("piece-work");
    case TimesheetMode::Household: return QStringLiteral("household works");
    case TimesheetMode::AveragePieceRate: return QStringLiteral("average piece-rate works");
    case TimesheetMode::General: return QStringLiteral("general");
    }
    return {};
}

void measureOpening(Context& c, TimesheetMode mode)
{
    DataModule& dm = c.dm();
    const TimesheetMonth month = measuredMonth();
    TimesheetWindow& w = c.windows().timesheetWindow();
    Dataset statement(dm.db, QStringLiteral("reference"), TimesheetStore::statement(mode));
    statement.setNumericalPrecisionPolicy(w.timesheet().numericalPrecisionPolicy());
    TimesheetStore::setMonth(statement, mode, month);
    Measure m;
    m.group = QStringLiteral("timesheets");
    m.name = QStringLiteral("opening the %1 timesheet of a month, target 150 ms").arg(modeName(mode));
    m.limit = QStringLiteral("its statement alone");
    m.runs = 11;
    m.setup = [&] {
        m.traced = &dm.db;
        m.rows = fetchAll(dm.db, statement);
    };
    m.program = [&](int) {
        PaintWatch painted(w.grid->viewport());
        w.prepare(mode, month);
        w.show();
        painted.wait();
        stopClock();
        w.hide();
        w.finish();
    };
    m.reference = [&](int) { fetchAll(dm.db, statement); };
    c.runner.run(m);
}

void measureExport(Context& c)
{
    TimesheetWindow& w = c.windows().timesheetWindow();
    QTemporaryDir folder;
    xlsx::Cells cells;
    Measure m;
    m.group = QStringLiteral("timesheets");
    m.name = QStringLiteral("export of the piece-work month, target 2×");
    m.limit = QStringLiteral("libxlsxwriter writing the same cells");
    m.target = 2;
    m.runs = 7;
    m.setup = [&] {
        w.prepare(TimesheetMode::PieceWork, measuredMonth());
        m.rows = w.timesheet().recordCount();
    };
    // The program's workbook read back gives the reference its cells.
    m.check = [&]() -> QString {
        w.exportToExcel();
        QString error;
        cells = xlsx::readBack(newestExport(), &error);
        return error;
    };
    m.program = [&](int) { w.exportToExcel(); };
    m.reference = [&](int run) { xlsx::writeDirect(cells, folder.filePath(QStringLiteral("direct%1.xlsx").arg(run))); };
    m.teardown = [&] { w.finish(); };
    c.runner.run(m);
}

} // namespace

void measureMonthRebuild(Context& c, MonthRows rows, const QString& group)
{
    Database& db = c.dm().db;
    const TimesheetMonth month = measuredMonth();
    const QString family = familyName(rows);
    Measure m;
    m.group = group;
    m.name = QStringLiteral("month rebuild (%1 rows)").arg(family);
    m.limit = QStringLiteral("the day-by-day rebuild");
    m.target = 1.0 / 50;
    m.runs = 3;
    m.setup = [&] {
        m.traced = &db;
        m.rows = sourceRows(db, rows, month);
    };
    m.check = [&]() -> QString {
        rebuildMonthRowByRow(db, rows, month);
        const QStringList expected = monthRowsText(db, rows, month);
        rebuildMonth(db, rows, month);
        const QStringList got = monthRowsText(db, rows, month);
        if (got == expected)
            return {};
        return QStringLiteral("%1 rows against %2 of the day-by-day rebuild").arg(got.size()).arg(expected.size());
    };
    m.program = [&](int) { rebuildMonth(db, rows, month); };
    m.reference = [&](int) { rebuildMonthRowByRow(db, rows, month); };
    c.runner.run(m);

    Measure alone;
    alone.group = group;
    alone.name = QStringLiteral("%1 rebuild against its statements alone").arg(family);
    alone.limit = QStringLiteral("its delete and insert, no lock, rolled back");
    alone.target = 1.5;
    alone.runs = 11;
    alone.setup = [&] { alone.rows = sourceRows(db, rows, month); };
    alone.program = [&](int) { rebuildMonth(db, rows, month); };
    alone.reference = [&](int) {
        Transaction tx(db);
        db.exec(rebuildStatements(rows).memory);
        db.execute(rebuildStatements(rows).remove, rebuildParams(month));
        db.execute(rebuildStatements(rows).insert, rebuildParams(month));
    };
    c.runner.run(alone);
}

void timesheetsSuite(Context& c)
{
    for (TimesheetMode mode : {TimesheetMode::PieceWork, TimesheetMode::Household, TimesheetMode::AveragePieceRate,
                               TimesheetMode::General})
        measureOpening(c, mode);
    measureExport(c);
    measureMonthRebuild(c, MonthRows::Works, QStringLiteral("timesheets"));
}

} // namespace bench
