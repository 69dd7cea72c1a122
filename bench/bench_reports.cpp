// Figures for the output layers:
//  - 10,000 rows × 36 cells through ExcelBook::WriteExcelCell and saving the file, against
//    the same cells written straight with libxlsxwriter (the limit);
//  - a 2,000-row grouped report laid out and saved as PDF, in pages per second.
// The report part needs a PostgreSQL server (PGHOST, PGPORT, PGUSER, PGPASSWORD).
//   QT_QPA_PLATFORM=offscreen bench_reports [rows]
#include "band_report.h"
#include "database.h"
#include "excel_book.h"
#include "samples.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <xlsxwriter.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kColumns = 36;
constexpr int kRuns = 3;

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
    std::vector<QString> texts;        // for WriteExcelCell
    std::vector<std::string> utf8;     // for the direct writes: strings
    std::vector<double> numbers;       // and numbers
    std::vector<char> isNumber;
};

Prepared prepare(int rows)
{
    Prepared p;
    const size_t n = size_t(rows) * kColumns;
    p.texts.reserve(n);
    p.utf8.reserve(n);
    p.numbers.reserve(n);
    p.isNumber.reserve(n);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= kColumns; ++c) {
            const QString t = cellText(r, c);
            double v = 0;
            const bool number = ExcelBook::readsAsNumber(t, &v);
            p.texts.push_back(t);
            p.utf8.push_back(t.toStdString());
            p.numbers.push_back(v);
            p.isNumber.push_back(number);
        }
    return p;
}

double throughBook(const Prepared& p, int rows, const QString& path)
{
    QElapsedTimer t;
    t.start();
    ExcelBook book;
    book.OpenExcelBook(QString());
    size_t i = 0;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= kColumns; ++c, ++i) {
            if (c == 1)
                book.WriteExcelCell(1, c, r, p.texts[i], true, true, false);
            else
                book.WriteExcelCell(1, c, r, p.texts[i], false, true, false);
        }
    if (!book.saveAs(path))
        std::fprintf(stderr, "saving failed\n");
    const double s = t.nsecsElapsed() / 1e9;
    book.OpenExcelBook(QString());  // drop the saved cells without another file
    return s;
}

double direct(const Prepared& p, int rows, const QString& path, bool constantMemory)
{
    QElapsedTimer t;
    t.start();
    const QByteArray file = path.toLocal8Bit();
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory;
    lxw_workbook* wb = workbook_new_opt(file.constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_format* text = workbook_add_format(wb);
    format_set_num_format(text, "@");
    size_t i = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kColumns; ++c, ++i) {
            if (p.isNumber[i])
                worksheet_write_number(ws, r, c, p.numbers[i], nullptr);
            else
                worksheet_write_string(ws, r, c, p.utf8[i].c_str(), c == 0 ? text : nullptr);
        }
    workbook_close(wb);
    return t.nsecsElapsed() / 1e9;
}

template <typename F>
double best(F&& f)
{
    double b = 1e9;
    for (int k = 0; k < kRuns; ++k)
        b = std::min(b, f());
    return b;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    QTemporaryDir dir;
    qputenv("TABEL_EXPORT_DIR", QFile::encodeName(dir.path()));
    const double cells = double(rows) * kColumns;

    const Prepared p = prepare(rows);
    const double book = best([&] { return throughBook(p, rows, dir.filePath(QStringLiteral("book.xlsx"))); });
    const double normal = best([&] { return direct(p, rows, dir.filePath(QStringLiteral("normal.xlsx")), false); });
    const double constant = best([&] { return direct(p, rows, dir.filePath(QStringLiteral("constant.xlsx")), true); });
    const double limit = std::min(normal, constant);
    std::printf("Spreadsheet, %d rows x %d cells (best of %d):\n", rows, kColumns, kRuns);
    std::printf("  WriteExcelCell + save        %7.3f s  %10.0f cells/s\n", book, cells / book);
    std::printf("  libxlsxwriter, random access %7.3f s  %10.0f cells/s\n", normal, cells / normal);
    std::printf("  libxlsxwriter, row by row    %7.3f s  %10.0f cells/s\n", constant, cells / constant);
    std::printf("  overhead over the faster direct write: %.2fx (budget 2x)\n", book / limit);

    ConnectionSettings settings = ConnectionSettings::fromArguments(
        {QStringLiteral("postgres"), qEnvironmentVariable("PGHOST", QStringLiteral("127.0.0.1"))});
    Database db(QStringLiteral("bench"));
    try {
        db.open(settings);
    } catch (const DbError& e) {
        std::printf("Report: no PostgreSQL server (%s); skipped\n", qPrintable(e.message()));
        return 0;
    }
    const int reportRows = 2000;
    Dataset data(db, QStringLiteral("sample"), samples::reportStatement(reportRows));
    data.open();
    auto r = samples::groupedReport(data);
    r->setText(QStringLiteral("title"), QStringLiteral("Образец"));
    const double layout = best([&] {
        QElapsedTimer t;
        t.start();
        r->prepare();
        return t.nsecsElapsed() / 1e9;
    });
    const double pdf = best([&] {
        QElapsedTimer t;
        t.start();
        r->prepare();
        r->savePdf(dir.filePath(QStringLiteral("report.pdf")));
        return t.nsecsElapsed() / 1e9;
    });
    const int pages = r->pageCount();
    std::printf("Report, %d rows in two levels of groups, %d pages (best of %d):\n", reportRows, pages, kRuns);
    std::printf("  layout                        %7.3f s  %8.0f pages/s\n", layout, pages / layout);
    std::printf("  layout + PDF                  %7.3f s  %8.0f pages/s\n", pdf, pages / pdf);
    return 0;
}
