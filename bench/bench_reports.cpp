// Figures for the output layers, an entry of scripts/bench.sh's list of whole programs:
//  - 10,000 rows × 36 cells through ExcelBook::WriteExcelCell, saved as an export saves them, against
//    the same cells written straight with libxlsxwriter row by row (the limit);
//  - a 2,000-row grouped report laid out and saved as PDF (no reference; its rows are pages).
// The report part needs a PostgreSQL server (PGHOST, PGPORT, PGUSER, PGPASSWORD).
//   QT_QPA_PLATFORM=offscreen bench_reports [rows]
#include "band_report.h"
#include "database.h"
#include "excel_book.h"
#include "harness.h"
#include "local_time.h"
#include "samples.h"
#include "xlsx_reference.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kColumns = 36;

// A timesheet-like row: a name, 31 day hours, totals and a note.
QString cellText(int row, int column)
{
    if (column == 1)
        return QStringLiteral("Работник %1 Иванович").arg(row);
    if (column <= 32)
        return (row + column) % 5 == 0 ? QStringLiteral("7,5") : QString::number((row + column) % 12);
    if (column <= 35)
        return QStringLiteral("%1,%2").arg(row * 17 % 100000).arg(row % 100, 2, 10, QLatin1Char('0'));
    return QStringLiteral("примечание %1").arg(row % 50);
}

struct Prepared {
    std::vector<QString> texts;  // for WriteExcelCell
    bench::xlsx::Cells direct;   // the same cells for libxlsxwriter
};

Prepared prepare(int rows)
{
    Prepared p;
    const size_t n = size_t(rows) * kColumns;
    p.texts.reserve(n);
    p.direct.cells.reserve(n);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= kColumns; ++c) {
            const QString t = cellText(r, c);
            bench::xlsx::Cell cell;
            cell.row = r - 1;
            cell.column = c - 1;
            cell.textFormat = c == 1;
            cell.isNumber = !cell.textFormat && ExcelBook::readsAsNumber(t, &cell.number);
            if (!cell.isNumber)
                cell.text = t.toStdString();
            p.texts.push_back(t);
            p.direct.cells.push_back(std::move(cell));
        }
    return p;
}

// The cells through the program's spreadsheet writer, saved into the export folder as an export
// saves them.
void throughBook(const Prepared& p, int rows)
{
    ExcelBook book;
    book.OpenExcelBook(QString());
    size_t i = 0;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= kColumns; ++c, ++i)
            book.WriteExcelCell(1, c, r, p.texts[i], c == 1, true, false);
    book.ShowExcel(true);
    if (book.savedFile().isEmpty())
        std::fprintf(stderr, "saving failed\n");
}

} // namespace

int main(int argc, char** argv)
{
    readTimeZoneOnce();  // as the program's own process does
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    QTemporaryDir dir;
    qputenv("TABEL_EXPORT_DIR", QFile::encodeName(dir.path()));
    bench::Runner runner = bench::Runner::fromEnvironment();

    const Prepared p = prepare(rows);
    bench::Measure sheet;
    sheet.group = QStringLiteral("reports");
    sheet.name = QStringLiteral("spreadsheet, %1 rows × %2 cells").arg(rows).arg(kColumns);
    sheet.limit = QStringLiteral("libxlsxwriter row by row");
    sheet.target = 2;
    sheet.runs = 5;
    sheet.rows = double(rows) * kColumns;
    sheet.program = [&](int) { throughBook(p, rows); };
    sheet.reference = [&](int) { bench::xlsx::writeDirect(p.direct, dir.filePath(QStringLiteral("constant.xlsx"))); };
    runner.run(sheet);

    ConnectionSettings settings = ConnectionSettings::fromArguments(
        {QStringLiteral("postgres"), qEnvironmentVariable("PGHOST", QStringLiteral("127.0.0.1"))});
    Database db(QStringLiteral("bench"));
    const int reportRows = 2000;
    Dataset data(db, QStringLiteral("sample"), samples::reportStatement(reportRows));
    std::unique_ptr<report::BandReport> r;
    bench::Measure pdf;
    pdf.group = QStringLiteral("reports");
    pdf.name = QStringLiteral("report of %1 rows in two levels of groups, layout + PDF").arg(reportRows);
    pdf.runs = 5;
    pdf.setup = [&] {
        db.open(settings);
        data.open();
        r = samples::groupedReport(data);
        r->setText(QStringLiteral("title"), QStringLiteral("Образец"));
        r->prepare();
        pdf.rows = r->pageCount();
    };
    pdf.program = [&](int) {
        r->prepare();
        r->savePdf(dir.filePath(QStringLiteral("report.pdf")));
    };
    runner.run(pdf);
    return 0;
}
