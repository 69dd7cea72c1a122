// The timesheet by shifts: the month's piece-work rebuild against the day-by-day algorithm (the
// rows checked equal first) and against its two statements alone; opening a month (three tabs
// read and painted) against the three statements alone; the print of the month's workers laid
// out into pages and written as PDF against its query alone.
#include "bench_data.h"
#include "bench_support.h"
#include "by_shift_window.h"
#include "data_module.h"
#include "month_rebuild.h"
#include "windows.h"

#include <QDir>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

namespace bench {

namespace {

TimesheetMonth measuredMonth() { return TimesheetMonth::of(data::fullMonth()); }

void measureOpening(Context& c)
{
    DataModule& dm = c.dm();
    const QDate date = data::fullMonth().addDays(14);
    Measure m;
    m.group = QStringLiteral("timesheet by shifts");
    m.name = QStringLiteral("opening a month (three tabs), target 150 ms");
    m.limit = QStringLiteral("the three shift statements alone");
    m.runs = 11;
    const TimesheetMonth month = TimesheetMonth::of(date);
    const Params params{{QStringLiteral("mnth"), month.month},
                        {QStringLiteral("yea"), month.year},
                        {QStringLiteral("date1"), month.first()},
                        {QStringLiteral("date2"), month.next()}};
    m.setup = [&] {
        m.traced = &dm.db;
        m.rows = 0;
        for (Dataset* ds : {&dm.shiftTimesheet1, &dm.shiftTimesheet2, &dm.shiftTimesheet3})
            m.rows += fetchAll(dm.db, ds->sql(), params);
    };
    m.program = [&](int) {
        TimesheetByShiftWindow& w = c.windows().timesheetByShiftWindow();
        PaintWatch painted(w.shift1Grid->viewport());
        w.prepare(date);
        w.show();
        painted.wait();
        stopClock();
        w.hide();
        w.finish();
    };
    m.reference = [&](int) {
        for (Dataset* ds : {&dm.shiftTimesheet1, &dm.shiftTimesheet2, &dm.shiftTimesheet3})
            fetchAll(dm.db, ds->sql(), params);
    };
    c.runner.run(m);
}

void measurePrint(Context& c)
{
    DataModule& dm = c.dm();
    const TimesheetMonth month = measuredMonth();
    ByShiftPrint& print = c.windows().timesheetByShiftWindow().printLayout();
    const Params params{{QStringLiteral("mnth"), month.month}, {QStringLiteral("yea"), month.year}};

    Measure pages;
    pages.group = QStringLiteral("timesheet by shifts");
    pages.name = QStringLiteral("print laid out into pages, target 0.5 s");
    pages.limit = QStringLiteral("its query alone");
    pages.runs = 7;
    pages.setup = [&] {
        pages.rows = fetchAll(dm.db, ByShiftPrint::statement(), params);
    };
    pages.program = [&](int) {
        print.query().close();
        print.setMonth(month);
        print.query().open();
        print.layout().setText(QStringLiteral("QRLabel33"), ByShiftPrint::title(month));
        print.layout().prepare();
        print.query().close();
    };
    pages.reference = [&](int) { fetchAll(dm.db, ByShiftPrint::statement(), params); };
    c.runner.run(pages);

    QTemporaryDir folder;
    Measure pdf;
    pdf.group = pages.group;
    pdf.name = QStringLiteral("print written as PDF, target 2 s");
    pdf.limit = QStringLiteral("its query alone");
    pdf.runs = 5;
    pdf.rows = pages.rows;
    pdf.program = [&](int run) {
        print.query().close();
        print.setMonth(month);
        print.query().open();
        print.layout().prepare();
        print.layout().savePdf(folder.filePath(QStringLiteral("print%1.pdf").arg(run)));
        print.query().close();
    };
    pdf.reference = pages.reference;
    c.runner.run(pdf);
}

} // namespace

void byShiftSuite(Context& c)
{
    measureOpening(c);
    measurePrint(c);
    measureMonthRebuild(c, MonthRows::PieceWork, QStringLiteral("timesheet by shifts"));
}

} // namespace bench
