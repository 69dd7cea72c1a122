// The band-report engine: number masks, grouping with sums and their resets, pagination,
// the empty report, the run order, the preview window, exact sums and texts fitted to their
// items, texts drawn from kept glyph runs. Reports are rendered to PDF and read back with
// poppler's pdftotext and pdfinfo.
#include "band_report.h"
#include "pdf_text.h"
#include "samples.h"
#include "test_database.h"
#include "text_runs.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdlib>
#include <functional>

using namespace report;

namespace {

// A number as the reports print it: a decimal comma.
QString printed(double value, int decimals) { return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(',')); }

struct Totals {
    int kolvo = 0;
    double summa = 0;
};

} // namespace

class TestBandReport : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TestDatabase> db_;

    // Runs the report the way the windows do, with a preview that saves a PDF instead.
    QString runToPdf(BandReport& r, const QString& name, const ReportRun& steps = {})
    {
        const QString path = dir_.filePath(name + QStringLiteral(".pdf"));
        BandReport::setPreviewHook([&](BandReport& shown) { QVERIFY(shown.savePdf(path)); });
        runReport(r, steps);
        BandReport::setPreviewHook({});
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        db_ = std::make_unique<TestDatabase>();
    }

    void format_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << QVariant(12.5) << "#0.00" << "." << "12.50";
        QTest::newRow("half away from zero") << QVariant(0.125) << "#0.00" << "." << "0.13";
        QTest::newRow("as written, not as stored") << QVariant(1.005) << "#0.00" << "." << "1.01";
        QTest::newRow("carry into integer") << QVariant(99.995) << "#0.00" << "." << "100.00";
        QTest::newRow("whole, up") << QVariant(2.5) << "#0" << "." << "3";
        QTest::newRow("whole, negative") << QVariant(-2.5) << "#0" << "." << "-3";
        QTest::newRow("no negative zero") << QVariant(-0.004) << "#0.00" << "." << "0.00";
        QTest::newRow("tiny") << QVariant(1e-20) << "#0.000" << "." << "0.000";
        QTest::newRow("three decimals") << QVariant(1234.5) << "#0.000" << "." << "1234.500";
        QTest::newRow("optional third") << QVariant(1.2345) << "#0.00#" << "." << "1.235";
        QTest::newRow("optional third unused") << QVariant(1.2) << "#0.00#" << "." << "1.20";
        QTest::newRow("thousands") << QVariant(1234567.891) << "#,##0.00" << "." << "1 234 567.89";
        QTest::newRow("integer value") << QVariant(123) << "#0.00" << "." << "123.00";
        QTest::newRow("bigint value") << QVariant(qulonglong(5000000000ULL)) << "#0" << "." << "5000000000";
        QTest::newRow("numeric as text") << QVariant(QStringLiteral("7.5")) << "#0.00" << "." << "7.50";
        QTest::newRow("comma separator") << QVariant(120.0) << "#0.00" << "," << "120,00";
        QTest::newRow("null") << QVariant() << "#0.00" << "." << "";
        QTest::newRow("text under a mask") << QVariant(QStringLiteral("нет")) << "#0.00" << "." << "нет";
        QTest::newRow("plain double") << QVariant(120.0) << "" << "." << "120";
        QTest::newRow("plain fraction") << QVariant(0.1 + 0.2) << "" << "," << "0,3";
        QTest::newRow("padded char(n)") << QVariant(QStringLiteral("Цех 1   ")) << "" << "." << "Цех 1";
        QTest::newRow("division by zero") << QVariant(1.0 / 0.0) << "#0.00" << "." << "";
        QTest::newRow("zero by zero") << QVariant(std::nan("")) << "" << "." << "";
        QTest::newRow("date") << QVariant(QDate(2024, 3, 5)) << "" << "." << "05.03.2024";
        // Exact values: decimals, numeric text beyond a double's digits, quotients.
        const auto units = [](qint64 u) { return Decimal4::fromUnits(u); };
        QTest::newRow("exact, masked") << exactValue(units(123450)) << "#0.00" << "," << "12,35";
        QTest::newRow("exact, plain") << exactValue(units(125000)) << "" << "," << "12,5";
        QTest::newRow("exact, negative") << exactValue(units(-50)) << "#0.00" << "," << "-0,01";
        QTest::newRow("numeric text, 17 digits")
            << QVariant(QStringLiteral("1800000000000.0015")) << "#0.000" << "." << "1800000000000.002";
        QTest::newRow("quotient") << quotient(units(10000), units(12000)) << "#0.000" << "," << "0,833";
        QTest::newRow("quotient on a half") << quotient(units(60), units(12000)) << "#0.00" << "," << "0,01";
        QTest::newRow("quotient just below a half") << quotient(units(149), units(30000)) << "#0.00" << "," << "0,00";
        QTest::newRow("negative quotient") << quotient(units(-60), units(12000)) << "#0.00" << "," << "-0,01";
        QTest::newRow("quotient by zero") << quotient(units(10000), units(0)) << "#0.00" << "," << "";
        QTest::newRow("quotient, plain") << quotient(units(100000), units(12000)) << "" << "," << "8,33333333333333";
    }

    void format()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, mask);
        QFETCH(QString, separator);
        QFETCH(QString, text);
        QCOMPARE(BandReport::format(value, mask, separator.at(0)), text);
    }

    // Two levels of groups over a few pages: every detail line printed once and in order,
    // each footer under its own group with that group's sums, the grand total, the heading
    // repeated on every page and the page numbers.
    void groupedReport()
    {
        const int rows = 300;
        Dataset data(db_->db(), QStringLiteral("sample"), samples::reportStatement(rows));
        auto r = samples::groupedReport(data);
        const QString pdf = runToPdf(*r, QStringLiteral("grouped"),
                                     {.parameters = {}, .filter = {}, .titleItem = QStringLiteral("title"), .title = QStringLiteral("Отчёт по цехам")});
        QVERIFY(!data.isActive());
        const int pages = r->pageCount();
        QVERIFY2(pages >= 4, qPrintable(QString::number(pages)));
        QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")).toInt(), pages);
        QVERIFY(pdfInfo(pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("595 x 842")));  // A4 portrait

        const QStringList texts = pdfPages(pdf);
        QCOMPARE(texts.size(), pages);
        const QRegularExpression detail(QStringLiteral("^\\s*Рабочий (\\d{5})\\s+(\\d+)\\s+(\\d+,\\d\\d)\\s+(\\d+,\\d{3})\\s*$"));
        const QRegularExpression areaFooter(
            QStringLiteral("Итого по участку\\s+(Участок \\d)\\s+(\\d+)\\s+(\\d+,\\d\\d)\\s+(\\d+,\\d{3})\\s*$"));
        const QRegularExpression shopFooter(QStringLiteral("Итого по цеху\\s+(Цех \\d)\\s+(\\d+)\\s+(\\d+,\\d\\d)\\s*$"));
        const QRegularExpression grand(QStringLiteral("Итого:\\s+(\\d+)\\s+(\\d+,\\d\\d)\\s*$"));
        const QRegularExpression header(QStringLiteral("^\\s*(Цех \\d|Участок \\d)\\s*$"));

        Totals area, shop, all;
        QString currentShop, currentArea;
        int lastWorker = 0, areaFooters = 0, shopFooters = 0, grandTotals = 0;
        for (int p = 0; p < pages; ++p) {
            const QStringList lines = texts[p].split(QLatin1Char('\n'));
            QVERIFY2(texts[p].contains(QStringLiteral("Страница %1 из %2").arg(p + 1).arg(pages)), qPrintable(texts[p]));
            QCOMPARE(texts[p].contains(QStringLiteral("Отчёт по цехам")), p == 0);
            const QRegularExpression heading(QStringLiteral("^\\s*Рабочий\\s+Кол-во\\s+Сумма\\s+Без р/к\\s*$"));
            QCOMPARE(lines.filter(heading).size(), 1);  // repeated at the top of every page
            for (const QString& line : lines) {
                if (auto m = detail.match(line); m.hasMatch()) {
                    QCOMPARE(m.captured(1).toInt(), lastWorker + 1);
                    lastWorker = m.captured(1).toInt();
                    const int kolvo = m.captured(2).toInt();
                    const double summa = m.captured(3).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
                    QCOMPARE(m.captured(4), printed(summa / 1.2, 3));
                    for (Totals* t : {&area, &shop, &all}) {
                        t->kolvo += kolvo;
                        t->summa += summa;
                    }
                } else if (auto m = areaFooter.match(line); m.hasMatch()) {
                    QCOMPARE(m.captured(1), currentArea);  // the group's own last record
                    QCOMPARE(m.captured(2).toInt(), area.kolvo);
                    QCOMPARE(m.captured(3), printed(area.summa, 2));
                    QCOMPARE(m.captured(4), printed(area.summa / 1.2, 3));
                    area = {};
                    ++areaFooters;
                } else if (auto m = shopFooter.match(line); m.hasMatch()) {
                    QCOMPARE(m.captured(1), currentShop);
                    QCOMPARE(area.kolvo, 0);  // the inner footer came first
                    QCOMPARE(m.captured(2).toInt(), shop.kolvo);
                    QCOMPARE(m.captured(3), printed(shop.summa, 2));
                    shop = {};
                    ++shopFooters;
                } else if (auto m = grand.match(line); m.hasMatch()) {
                    QCOMPARE(m.captured(1).toInt(), all.kolvo);
                    QCOMPARE(m.captured(2), printed(all.summa, 2));
                    ++grandTotals;
                } else if (auto m = header.match(line); m.hasMatch()) {
                    (m.captured(1).startsWith(QStringLiteral("Цех")) ? currentShop : currentArea) = m.captured(1);
                }
            }
        }
        QCOMPARE(lastWorker, rows);
        QCOMPARE(areaFooters, 12);
        QCOMPARE(shopFooters, 3);
        QCOMPARE(grandTotals, 1);
        const QVariant total = db_->value(QStringLiteral("select sum(summa) from (%1) s").arg(samples::reportStatement(rows)));
        QCOMPARE(QString::number(all.summa, 'f', 2), QString::number(total.toDouble(), 'f', 2));

        // No band runs into the page footer; a group header never ends a page.
        const double footerTop = r->printableSize().height() - r->pages()[0].bands.back().rect.height();
        for (const Page& page : r->pages()) {
            QCOMPARE(page.bands.back().kind, Band::Kind::PageFooter);
            for (size_t b = 0; b + 1 < page.bands.size(); ++b)
                QVERIFY(page.bands[b].rect.bottom() <= footerTop + 1e-6);
            const PlacedBand& last = page.bands[page.bands.size() - 2];
            QVERIFY(last.kind != Band::Kind::GroupHeader);
        }
    }

    // An empty dataset prints the title, the ungrouped heading and grand total, and the page
    // footer on one page; no group of a field and no detail.
    void emptyReport()
    {
        Dataset data(db_->db(), QStringLiteral("empty"), samples::reportStatement(0));
        auto r = samples::groupedReport(data);
        const QString pdf = runToPdf(*r, QStringLiteral("empty"),
                                     {.parameters = {}, .filter = {}, .titleItem = QStringLiteral("title"), .title = QStringLiteral("Пустой отчёт")});
        QCOMPARE(r->pageCount(), 1);
        QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
        const QString text = pdfPages(pdf).value(0);
        for (const QString& expected : {QStringLiteral("Пустой отчёт"), QStringLiteral("Кол-во"),
                                        QStringLiteral("Страница 1 из 1")})
            QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Итого:\\s+0\\s+0,00"))), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Цех")));
        QVERIFY(!text.contains(QStringLiteral("Итого по")));
        QVERIFY(!text.contains(QStringLiteral("Рабочий 0")));
    }

    // Parameters and the row filter before opening, the title before laying out, the preview
    // with the dataset open, and the dataset closed afterwards, also when a step fails.
    void runOrder()
    {
        Dataset data(db_->db(), QStringLiteral("numbers"),
                     QStringLiteral("select g as n, g % 2 as odd from generate_series(1, :cnt) g"));
        BandReport r(&data);
        r.title().text(0, 190, QString()).name(QStringLiteral("title"));
        r.detail().field(0, 20, QStringLiteral("n"));
        Band& total = r.summary();
        total.sum(0, 20, QStringLiteral("n"));
        total.child().text(0, 40, QStringLiteral("Подпись"));

        bool previewed = false;
        BandReport::setPreviewHook([&](BandReport& shown) {
            previewed = true;
            QVERIFY(data.isActive());
            QCOMPARE(data.recordCount(), 20);  // 40 rows, the even ones
            QCOMPARE(shown.text(QStringLiteral("title")), QStringLiteral("   Отчет за период"));
            const QStringList lines = shown.pages()[0].text().split(QLatin1Char('\n'));
            QCOMPARE(lines.first(), QStringLiteral("   Отчет за период"));
            QCOMPARE(lines.at(1), QStringLiteral("2"));
            QCOMPARE(lines.at(lines.size() - 2), QString::number(2 * (1 + 20) * 20 / 2));  // 2+4+…+40
            QCOMPARE(lines.last(), QStringLiteral("Подпись"));  // the child right after its band
        });
        const ReportRun steps{.parameters = [](Dataset& d) { d.setParam(QStringLiteral("cnt"), 40); },
                              .filter = filters::equals(QStringLiteral("odd"), 0),
                              .titleItem = QStringLiteral("title"),
                              .title = QStringLiteral("   Отчет за период")};
        runReport(r, steps);
        QVERIFY(previewed);
        QVERIFY(!data.isActive());

        BandReport::setPreviewHook([](BandReport&) { throw std::runtime_error("preview failed"); });
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, runReport(r, steps));
        BandReport::setPreviewHook({});
        QVERIFY(!data.isActive());
    }

    // A landscape sheet with a heading of framed cells repeated on every page (a group
    // without a field) and one line per record.
    void landscapeWithRepeatedHeading()
    {
        Dataset data(db_->db(), QStringLiteral("lines"),
                     QStringLiteral("select 'Работник ' || lpad(g::text, 3, '0') as fio, g %% 9 as sd1 "
                                    "from generate_series(1, 90) g order by 1").replace(QStringLiteral("%%"), QStringLiteral("%")));
        BandReport r(&data);
        r.setOrientation(QPageLayout::Landscape);
        r.setPreviewZoom(PreviewZoom::WholePage);
        QCOMPARE(r.printableSize(), QSizeF(277, 190));
        Band& heading = r.addGroup().repeatHeader().header().frame(TopEdge | BottomEdge).bold();
        heading.text(0, 80, QStringLiteral("Март 2024 г."));
        for (int d = 0; d < 31; ++d)
            heading.text(81 + d * 5.77, 5.3, QString::number(d + 1)).center().frame(LeftEdge | RightEdge);
        heading.text(265, 12, QStringLiteral("Итого"));
        r.detail().height(6).field(0, 80, QStringLiteral("fio"));
        r.detail().field(81, 5.3, QStringLiteral("sd1")).center().size(9);
        r.pageFooter().pageNumber(258, 20).right();

        const QString pdf = runToPdf(r, QStringLiteral("landscape"));
        QVERIFY(pdfInfo(pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("842 x 595")));
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(pages.size(), r.pageCount());
        QVERIFY(r.pageCount() >= 3);
        int lines = 0;
        for (int p = 0; p < pages.size(); ++p) {
            const QString heading = pages[p].split(QLatin1Char('\n')).first();
            QVERIFY2(heading.contains(QRegularExpression(QStringLiteral("Март 2024 г\\.\\s+1\\s+2\\s+3 .*31\\s+Итого"))),
                     qPrintable(heading));
            lines += pages[p].count(QStringLiteral("Работник "));
            QVERIFY(pages[p].trimmed().endsWith(QString::number(p + 1)));
        }
        QCOMPARE(lines, 90);
    }

    // Sums add numeric text, integers and doubles exactly; the mask rounds the exact sum.
    void exactSums_data()
    {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("sum");
        QTest::newRow("numeric beyond a double") << "900000000000.0005::numeric" << "#0.000" << "1800000000000,001";
        QTest::newRow("doubles") << "0.1::float8" << "" << "2";
        QTest::newRow("bigint") << "5000000000::bigint" << "#0" << "100000000000";
        QTest::newRow("money ends in a half") << "0.0025::numeric" << "#0.00" << "0,05";
    }

    void exactSums()
    {
        QFETCH(QString, values);
        QFETCH(QString, mask);
        QFETCH(QString, sum);
        const int rows = values.startsWith(QLatin1String("900")) ? 2 : 20;
        Dataset data(db_->db(), QStringLiteral("values"),
                     QStringLiteral("select %1 as v from generate_series(1, %2)").arg(values).arg(rows));
        data.setNumericalPrecisionPolicy(QSql::HighPrecision);
        data.open();
        BandReport r(&data);
        r.summary().sum(0, 80, QStringLiteral("v"), mask);
        r.prepare();
        QCOMPARE(r.pages()[0].text(), sum);
    }

    // A group footer's sums are still there in its child bands and start again for the next
    // group; the grand total's child reads the sums of all records.
    void childBandReadsSums()
    {
        Dataset data(db_->db(), QStringLiteral("groups"),
                     QStringLiteral("select g / 3 as grp, g as n from generate_series(0, 5) g order by g"));
        data.open();
        BandReport r(&data);
        Group& all = r.addGroup();
        Group& grp = r.addGroup(QStringLiteral("grp"));
        r.detail().field(0, 20, QStringLiteral("n"));
        Band& footer = grp.footer();
        footer.sum(0, 20, QStringLiteral("n"));
        footer.addSum(QStringLiteral("n"), [](const Dataset& d) { return d.field(QStringLiteral("n")).value(); });
        Band& below = footer.child();
        below.value(0, 20, [](const Context& c) { return exactValue(c.sum(QStringLiteral("n")) + c.sum(QStringLiteral("n"))); });
        below.child().sum(0, 20, [](const Dataset& d) { return d.field(QStringLiteral("n")).value(); });
        all.footer().sum(0, 20, QStringLiteral("n"));
        all.footer().child().sum(0, 20, QStringLiteral("n"));
        r.prepare();
        QCOMPARE(r.pages()[0].text().split(QLatin1Char('\n')),
                 QStringList({"0", "1", "2", "3", "6", "3", "3", "4", "5", "12", "24", "12", "15", "15"}));
    }

    // A text wider than its item is cut at the item's edge (or elided); a number is set in a
    // smaller font instead, every digit kept. Checked on the rendered page: no word of the PDF
    // reaches past its item.
    void textFitsItsItem()
    {
        Dataset data(db_->db(), QStringLiteral("one"),
                     QStringLiteral("select 'Очень длинное наименование изделия для узкой колонки' as marka, "
                                    "1234567.25::numeric as summa"));
        data.setNumericalPrecisionPolicy(QSql::HighPrecision);
        BandReport r(&data);
        Band& row = r.detail();
        row.field(0, 30, QStringLiteral("marka"));
        row.text(32, 20, QStringLiteral("Сосед"));
        row.field(60, 30, QStringLiteral("marka")).elide();
        row.text(92, 20, QStringLiteral("Второй"));
        row.field(120, 12, QStringLiteral("summa"), QStringLiteral("#0.00")).center();
        row.text(134, 20, QStringLiteral("Третий"));
        const QString pdf = runToPdf(r, QStringLiteral("fitting"));

        const PlacedBand& placed = r.pages()[0].bands[0];
        const QString clipped = placed.items[0].text, elided = placed.items[2].text;
        QVERIFY2(clipped.size() > 5 && QStringLiteral("Очень длинное наименование").startsWith(clipped), qPrintable(clipped));
        QVERIFY2(elided.endsWith(QChar(0x2026)) && elided.size() < 30, qPrintable(elided));
        QCOMPARE(placed.items[4].text, QStringLiteral("1234567,25"));
        QVERIFY(placed.items[4].font.pointSizeF() < 10);

        const QString line = pdfPages(pdf).value(0);
        for (const QString& word : {QStringLiteral("Сосед"), QStringLiteral("Второй"), QStringLiteral("1234567,25"),
                                    QStringLiteral("Третий")})
            QVERIFY2(line.contains(word), qPrintable(line));
        QVERIFY2(!line.contains(QStringLiteral("колонки")), qPrintable(line));

        // Word boxes in points from the page's corner; the items' right edges in points.
        const QString boxes = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const QRegularExpression word(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
        const auto points = [](double mm) { return (10 + mm) * 72 / 25.4; };
        const QList<std::pair<double, double>> items{{0, 30}, {32, 52}, {60, 90}, {92, 112}, {120, 132}, {134, 154}};
        int words = 0;
        for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
            const auto m = it.next();
            const double xMin = m.captured(1).toDouble(), xMax = m.captured(2).toDouble();
            bool inside = false;
            for (const auto& [left, right] : items)
                inside = inside || (xMin >= points(left) - 0.5 && xMax <= points(right) + 0.5);
            QVERIFY2(inside, qPrintable(m.captured(3) + QStringLiteral(" %1..%2").arg(xMin).arg(xMax)));
        }
        QVERIFY(words >= 6);
    }

    // The preview window opens maximized with the zoom the report asks for and shows the
    // prepared pages; it is shown without blocking here.
    void previewWindow_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("mode");
        QTest::newRow("page width") << int(PreviewZoom::PageWidth) << int(QPrintPreviewWidget::FitToWidth);
        QTest::newRow("whole page") << int(PreviewZoom::WholePage) << int(QPrintPreviewWidget::FitInView);
    }

    void previewWindow()
    {
        QFETCH(int, zoom);
        QFETCH(int, mode);
        Dataset data(db_->db(), QStringLiteral("sample"), samples::reportStatement(120));
        data.open();
        auto r = samples::groupedReport(data);
        r->setPreviewZoom(PreviewZoom(zoom));
        r->prepare();
        std::unique_ptr<QPrintPreviewDialog> dialog(r->makePreviewDialog());
        QVERIFY(dialog->windowState() & Qt::WindowMaximized);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Образец отчёта"));
        QVERIFY(dialog->findChild<QAction*>(QStringLiteral("savePdfAction")));
        auto* widget = dialog->findChild<QPrintPreviewWidget*>();
        QVERIFY(widget);
        dialog->show();
        QCoreApplication::processEvents();
        QCOMPARE(int(widget->zoomMode()), mode);
        QCOMPARE(widget->pageCount(), r->pageCount());
        QCOMPARE(int(widget->orientation()), int(QPageLayout::Portrait));
        dialog->close();
    }

    // "Сохранить в PDF" of the preview: a name typed without ".pdf" gets it, one with it keeps it.
    void savedPdfGetsItsSuffix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("without") << "отчёт" << "отчёт.pdf";
        QTest::newRow("with") << "сводка.pdf" << "сводка.pdf";
        QTest::newRow("in capitals") << "ИТОГ.PDF" << "ИТОГ.PDF";
        QTest::newRow("ending in a point") << "март." << "март.pdf";
        QTest::newRow("another suffix") << "отчёт.2024" << "отчёт.2024.pdf";
    }
    void savedPdfGetsItsSuffix()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QTemporaryDir folder;
        Dataset data(db_->db(), QStringLiteral("sample"), samples::reportStatement(3));
        data.open();
        auto r = samples::groupedReport(data);
        r->prepare();
        std::unique_ptr<QPrintPreviewDialog> dialog(r->makePreviewDialog());
        QTimer::singleShot(0, [&] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(files);
            files->selectFile(folder.filePath(typed));
            QMetaObject::invokeMethod(files, "accept");
        });
        dialog->findChild<QAction*>(QStringLiteral("savePdfAction"))->trigger();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{written});
        QCOMPARE(pdfInfo(folder.filePath(written), "Pages"), QString::number(r->pageCount()));
    }

    // A text drawn from its glyph runs lands where drawText puts it (to the pixel: the two
    // anti-alias their edges a little differently): every alignment, plain and bold, shorter and
    // wider than its cell, and again from the layout kept.
    void textRunsDrawAsDrawTextDoes()
    {
        QFont bold(QStringLiteral("Arial"), 11);
        bold.setBold(true);
        const QList<QFont> fonts{QFont(QStringLiteral("Arial"), 9), bold};
        const QStringList texts{QStringLiteral("01.12.2026"), QStringLiteral("ШМ-11 с замком \"Барьер\" (длинное имя)"),
                                QStringLiteral("Работник ____________")};
        const QRectF cell(200, 20, 150.5, 19.25);
        QImage image(600, 60, QImage::Format_RGB32);
        TextRuns runs(&image);
        const auto inkOf = [&](const std::function<void(QPainter&)>& draw) {
            image.fill(Qt::white);
            QPainter painter(&image);
            draw(painter);
            painter.end();
            QRect ink;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128)
                        ink |= QRect(x, y, 1, 1);
            return ink;
        };
        for (int pass = 0; pass < 2; ++pass)
            for (const QFont& font : fonts)
                for (Qt::Alignment align : {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight})
                    for (const QString& text : texts) {
                        const QRect byDrawText = inkOf([&](QPainter& p) {
                            p.setFont(font);
                            p.drawText(cell, int(align | Qt::AlignVCenter) | Qt::TextDontClip, text);
                        });
                        const QRect byRuns = inkOf([&](QPainter& p) { runs.draw(p, cell, align, font, text); });
                        const QString what = QStringLiteral("%1, %2, %3: %4 against %5")
                                                 .arg(text, font.bold() ? "bold" : "plain")
                                                 .arg(int(align))
                                                 .arg(QDebug::toString(byRuns), QDebug::toString(byDrawText));
                        QVERIFY2(!byDrawText.isEmpty(), qPrintable(what));
                        for (int edge : {byRuns.left() - byDrawText.left(), byRuns.right() - byDrawText.right(),
                                         byRuns.top() - byDrawText.top(), byRuns.bottom() - byDrawText.bottom()})
                            QVERIFY2(std::abs(edge) <= 1, qPrintable(what));
                    }
        QVERIFY(TextRuns::isOneLine(texts.join(' ')));
        QVERIFY(!TextRuns::isOneLine(QStringLiteral("две\nстроки")));
    }
};

QTEST_MAIN(TestBandReport)
#include "test_band_report.moc"
