// The summary reports window: each of the four reports from its button to the laid-out pages
// (the preview window itself is not opened) against the report's statement alone, for a month
// and for a year; the production summary of a month written into a workbook against
// libxlsxwriter writing the same cells.
#include "bench_data.h"
#include "bench_support.h"
#include "correlated_statements.h"
#include "data_module.h"
#include "summary_reports_window.h"
#include "windows.h"
#include "xlsx_reference.h"

#include <QDateEdit>
#include <QTemporaryDir>

namespace bench {

namespace {

struct Period {
    QString name;  // "a month"
    QDate from, to;  // to excluded
    int runs;
};

struct ReportCommand {
    QString name;
    PeriodReport& (*report)(SummaryReportsWindow&);
    void (SummaryReportsWindow::*press)();
};

const ReportCommand kCommands[] = {
    {QStringLiteral("worker report"), [](SummaryReportsWindow& w) -> PeriodReport& { return w.workerReport; },
     &SummaryReportsWindow::previewWorkerReport},
    {QStringLiteral("production report"), [](SummaryReportsWindow& w) -> PeriodReport& { return w.productionReport; },
     &SummaryReportsWindow::previewProductionReport},
    {QStringLiteral("detailed worker report"),
     [](SummaryReportsWindow& w) -> PeriodReport& { return w.detailedWorkerReport; },
     &SummaryReportsWindow::previewDetailedWorkerReport},
    {QStringLiteral("detailed production report"),
     [](SummaryReportsWindow& w) -> PeriodReport& { return w.detailedProductionReport; },
     &SummaryReportsWindow::previewDetailedProductionReport},
};

void choosePeriod(SummaryReportsWindow& w, const Period& period)
{
    w.fromDate->setDate(period.from);
    w.toDate->setDate(period.to);
    w.setKind(0);
}

void measureReport(Context& c, const ReportCommand& command, const Period& period)
{
    SummaryReportsWindow& w = c.windows().summaryReports();
    PeriodReport& report = command.report(w);
    int pages = 0;
    Measure m;
    m.group = QStringLiteral("summary reports");
    m.name = QStringLiteral("%1, %2, to laid-out pages").arg(command.name, period.name);
    m.limit = QStringLiteral("its statement alone");
    m.runs = period.runs;
    m.setup = [&] {
        choosePeriod(w, period);
        report.setPeriod(period.from, period.to);
        m.rows = fetchAll(c.dm().db, report.query());
        // The button's command ends where the preview window would open.
        report::BandReport::setPreviewHook([&](report::BandReport& laidOut) {
            stopClock();
            pages = laidOut.pageCount();
        });
    };
    m.check = [&]() -> QString {
        (w.*command.press)();
        return pages > 0 ? QString() : QStringLiteral("no page was laid out");
    };
    m.program = [&](int) { (w.*command.press)(); };
    m.reference = [&](int) {
        report.setPeriod(period.from, period.to);
        fetchAll(c.dm().db, report.query());
    };
    m.teardown = [] { report::BandReport::setPreviewHook({}); };
    c.runner.run(m);
}

// The rows of a dataset as sorted lines (lines of equal sort keys may come in either order).
// Numbers to 12 significant digits: sums of double precision columns (the register's prices)
// differ in their last digits with the order the server adds them in.
QStringList sortedRows(const Dataset& rows)
{
    QStringList lines;
    for (const QVector<QVariant>& row : rows.fetchedRows()) {
        QStringList values;
        for (const QVariant& v : row) {
            bool number = false;
            const double d = v.toString().toDouble(&number);
            values << (v.isNull() ? QStringLiteral("null") : number ? QString::number(d, 'g', 12) : v.toString());
        }
        lines << values.join(QLatin1Char('|'));
    }
    lines.sort();
    return lines;
}

// A worker report's statement against the same statement with a subquery per line for each
// works sum, as it was first written; the rows checked equal first.
void measureWorksSums(Context& c, const QString& name, PeriodReport& report, const QString& correlated,
                      const Period& period)
{
    Database& db = c.dm().db;
    Dataset first(db, QStringLiteral("correlated"), correlated);
    first.setNumericalPrecisionPolicy(QSql::HighPrecision);
    Measure m;
    m.group = QStringLiteral("summary reports");
    m.name = QStringLiteral("%1 statement, %2").arg(name, period.name);
    m.limit = QStringLiteral("the works summed per line");
    m.runs = period.runs;
    m.setup = [&] {
        report.setPeriod(period.from, period.to);
        for (const auto& [param, value] : report.query().params())
            first.setParam(param, value);
    };
    m.check = [&]() -> QString {
        report.query().close();
        report.query().open();
        first.close();
        first.open();
        m.rows = report.query().recordCount();
        const bool same =
            report.query().fieldNames() == first.fieldNames() && sortedRows(report.query()) == sortedRows(first);
        report.query().close();
        first.close();
        return same ? QString() : QStringLiteral("the rows differ from those of the works summed per line");
    };
    m.program = [&](int) { fetchAll(db, report.query()); };
    m.reference = [&](int) { fetchAll(db, first); };
    c.runner.run(m);
}

void measureSummary(Context& c, const Period& period)
{
    SummaryReportsWindow& w = c.windows().summaryReports();
    QTemporaryDir folder;
    xlsx::Cells cells;
    Measure m;
    m.group = QStringLiteral("summary reports");
    m.name = QStringLiteral("production summary workbook, %1, target 2×").arg(period.name);
    m.limit = QStringLiteral("its statement, then libxlsxwriter writing the same cells");
    m.target = 2;
    m.runs = 7;
    m.setup = [&] { choosePeriod(w, period); };
    // The program's workbook read back gives the reference its cells.
    m.check = [&]() -> QString {
        w.exportSummary();
        QString error;
        cells = xlsx::readBack(newestExport(), &error);
        m.rows = double(cells.cells.size());
        return error;
    };
    m.program = [&](int) { w.exportSummary(); };
    m.reference = [&](int run) {
        fetchAll(c.dm().db, w.productionSummary().summaryRows);
        xlsx::writeDirect(cells, folder.filePath(QStringLiteral("direct%1.xlsx").arg(run)));
    };
    c.runner.run(m);
}

} // namespace

void reportsSuite(Context& c)
{
    const QDate month = data::fullMonth();
    const Period periods[] = {{QStringLiteral("a month"), month, month.addMonths(1), 7},
                              {QStringLiteral("a year"), month.addMonths(-11), month.addMonths(1), 3}};
    // A year at the plant size only: at the large size each run of a worker report takes minutes.
    const bool plant = data::current(c.dm().db).name == QLatin1String("plant");
    SummaryReportsWindow& w = c.windows().summaryReports();
    for (const Period& period : periods) {
        if (&period != &periods[0] && !plant)
            continue;
        for (const ReportCommand& command : kCommands)
            measureReport(c, command, period);
        measureWorksSums(c, QStringLiteral("worker report"), w.workerReport, correlatedWorkerStatement(), period);
        measureWorksSums(c, QStringLiteral("detailed worker report"), w.detailedWorkerReport,
                         correlatedDetailedWorkerStatement(), period);
    }
    measureSummary(c, periods[0]);
}

} // namespace bench
