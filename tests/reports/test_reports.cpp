// The summary reports window and its four reports over a small month of February 2024: the
// period, the kind filter, the layouts' groups, sums and masks read back from the PDF, the
// production summary read back from the workbook, and the roles' restrictions.
#include "band_report.h"
#include "excel_book.h"
#include "login_window.h"
#include "pdf_text.h"
#include "program_fixture.h"
#include "register_window.h"
#include "summary_reports_window.h"
#include "windows.h"
#include "xlsx_reader.h"

#include <QAction>
#include <QButtonGroup>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using report::BandReport;

namespace {

const QDate kFrom(2024, 2, 1), kTo(2024, 3, 1);

// True when a line of `text` holds `parts` in this order, apart by blanks only.
bool hasLine(const QString& text, const QStringList& parts)
{
    QStringList escaped;
    for (const QString& p : parts)
        escaped << QRegularExpression::escape(p);
    const QRegularExpression re(QStringLiteral("(^|\\s)%1(\\s|$)").arg(escaped.join(QStringLiteral("\\s+"))),
                                QRegularExpression::MultilineOption);
    return re.match(text).hasMatch();
}

#define VERIFY_LINE(text, ...)                                                                                          \
    QVERIFY2(hasLine(text, QStringList(__VA_ARGS__)), qPrintable(QStringList(__VA_ARGS__).join(" | ") + "\n" + text))

} // namespace

class ReportsTest : public FixtureTest {
    Q_OBJECT

    QTemporaryDir dir_;
    int pdfs_ = 0;

    // Two workers at work in February on two nomenclature groups, finished products and blanks,
    // colour tags 0, 1 and 5; rows on 31 January and on 1 March that the period leaves out;
    // household and average piece-rate works, also of a worker without register rows.
    void makeMonth()
    {
        const int cabinets = tdb->addGroup("Шкафы"), tables = tdb->addGroup("Столы");
        const int cabinet = tdb->addProduct("Шкаф ШК-1", cabinets, 2.5), table = tdb->addProduct("Стол СТ-2", tables, 1.25);
        const int assembly = tdb->addKind("Сборка"), painting = tdb->addKind("Покраска");
        const int assembleCabinet = tdb->addOperation(assembly, cabinet, 0);
        const int paintCabinet = tdb->addOperation(painting, cabinet, 1);
        const int assembleTable = tdb->addOperation(assembly, table, 0);
        const int ivanov = tdb->addWorker("Иванов И.И."), petrov = tdb->addWorker("Петров П.П.");
        const int sidorov = tdb->addWorker("Сидоров С.С.");
        const auto entry = [&](int worker, int operation, int day, int quantity, int rejects, double price, int hours,
                               int color = 0, QDate date = {}) {
            tdb->addEntry({.worker = worker, .operation = operation, .date = date.isValid() ? date : QDate(2024, 2, day),
                           .quantity = quantity, .rejects = rejects, .hours = hours, .price = price, .color = color});
        };
        entry(ivanov, assembleCabinet, 5, 10, 0, 12, 8);
        entry(ivanov, paintCabinet, 6, 4, 1, 2.35, 4, 1);
        entry(ivanov, paintCabinet, 7, 6, 0, 2.35, 6, 5);
        entry(petrov, assembleTable, 8, 3, 3, 7, 0);  // every piece rejected
        entry(petrov, assembleCabinet, 9, 2, 0, 12, 0);
        entry(ivanov, assembleCabinet, 0, 100, 0, 12, 8, 0, QDate(2024, 1, 31));
        entry(petrov, assembleCabinet, 0, 100, 0, 12, 8, 0, QDate(2024, 3, 1));
        tdb->addWorks({.worker = ivanov, .date = QDate(2024, 2, 10), .kind = 7777, .hours = 4, .price = 9, .groupId = cabinets});
        tdb->addWorks({.worker = ivanov, .date = QDate(2024, 2, 11), .kind = 7778, .hours = 2, .price = 5, .night = 1,
                       .groupId = cabinets});
        tdb->addWorks({.worker = sidorov, .date = QDate(2024, 2, 12), .kind = 7777, .hours = 2, .price = 10, .groupId = tables});
        tdb->addWorks({.worker = ivanov, .date = QDate(2024, 3, 1), .kind = 7777, .hours = 8, .price = 100});
    }

    // Presses a preview command and returns the previewed report's text, read back from its PDF.
    QString previewed(QPushButton* command, QString* title = nullptr)
    {
        const QString path = dir_.filePath(QStringLiteral("report%1.pdf").arg(++pdfs_));
        int shown = 0;
        BandReport::setPreviewHook([&](BandReport& r) {
            ++shown;
            if (title)
                *title = r.text(QStringLiteral("QRLabel1"));
            QVERIFY(r.dataset()->isActive());
            QVERIFY(r.savePdf(path));
        });
        command->click();
        BandReport::setPreviewHook({});
        if (shown != 1)
            return QStringLiteral("previewed %1 times").arg(shown);
        return pdfPages(path).join(QLatin1Char('\f'));
    }

    // All kinds of production, and blanks only.
    static void kinds()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("all") << 0;
        QTest::newRow("blanks") << 2;
    }

    std::unique_ptr<SummaryReportsWindow> window(int kind = 0)
    {
        auto w = std::make_unique<SummaryReportsWindow>(*dm);
        w->resetPeriod(QDate(2024, 3, 15));
        w->setKind(kind);
        return w;
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void init() { makeFixture(); }
    void cleanup()
    {
        BandReport::setPreviewHook({});
        dropFixture();
    }

    void periodDefaults_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::newRow("March") << QDate(2024, 3, 15) << QDate(2024, 2, 1) << QDate(2024, 3, 1);
        QTest::newRow("first of March") << QDate(2024, 3, 1) << QDate(2024, 2, 1) << QDate(2024, 3, 1);
        QTest::newRow("January") << QDate(2024, 1, 31) << QDate(2023, 12, 1) << QDate(2024, 1, 1);
        QTest::newRow("December") << QDate(2023, 12, 31) << QDate(2023, 11, 1) << QDate(2023, 12, 1);
    }

    void periodDefaults()
    {
        QFETCH(QDate, today);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        SummaryReportsWindow w(*dm);
        w.setKind(2);
        w.resetPeriod(today);
        QCOMPARE(w.fromDate->date(), from);
        QCOMPARE(w.toDate->date(), to);
        QCOMPARE(w.kind(), 2);  // kept between openings
    }

    // The production report by nomenclature group: the good quantity and the boxes of each
    // kind of operation and colour, the group's sums and the totals ("#0" for the boxes). The
    // kind filter narrows the rows and every sum; a group without such rows is left out.
    void productionReport_data() { kinds(); }

    void productionReport()
    {
        QFETCH(int, kind);
        makeMonth();
        auto w = window(kind);
        QString title;
        const QString text = previewed(w->productionReportButton, &title);
        QCOMPARE(title, QStringLiteral("   Отчет по продукции за период с 01.02.2024 по 01.03.2024"));
        QVERIFY(!w->productionReport.query().isActive());
        VERIFY_LINE(text, {"Отчет по продукции за период с 01.02.2024 по 01.03.2024", "Коробки", "Количество"});
        VERIFY_LINE(text, {"Заготовки", "Покраска", "(грунт)", "7,5", "3"});
        VERIFY_LINE(text, {"Заготовки", "Покраска", "(RAL: 5)", "15", "6"});
        if (kind == 0) {
            QVERIFY(text.indexOf("Столы") < text.indexOf("Шкафы"));
            VERIFY_LINE(text, {"Готовая продукция", "Сборка", "0", "0"});  // every piece rejected
            VERIFY_LINE(text, {"Готовая продукция", "Сборка", "30", "12"});
            VERIFY_LINE(text, {"52,5", "21"});
            VERIFY_LINE(text, {"Итого:", "53", "21"});  // 52,5 boxes through "#0"
        } else {
            QVERIFY(!text.contains("Столы"));
            QVERIFY(!text.contains("Сборка"));
            QVERIFY(!text.contains("Готовая продукция"));
            VERIFY_LINE(text, {"22,5", "9"});
            VERIFY_LINE(text, {"Итого:", "23", "9"});
        }
        QVERIFY(!text.contains("100"));  // 31 January and 1 March are outside the period
        VERIFY_LINE(text, {"1"});          // the page number
    }

    // The detailed production report: marks, rejects, boxes of the gross quantity and the
    // money of the good quantity; a row whose rejects equal its quantity has no money.
    void detailedProductionReport()
    {
        makeMonth();
        auto w = window();
        QString title;
        const QString text = previewed(w->detailedProductionReportButton, &title);
        QCOMPARE(title, QStringLiteral("   Детальный отчет по продукции за период с 01.02.2024 по 01.03.2024"));
        VERIFY_LINE(text, {"Брак", "Коробки", "Кол-во", "Сумма"});
        VERIFY_LINE(text, {"Стол СТ-2", "Сборка", "0", "Готовая продукция", "3", "3,75", "3", "0,000"});
        VERIFY_LINE(text, {"3", "3,75", "3", "0,00"});
        VERIFY_LINE(text, {"Шкаф ШК-1", "Покраска", "1", "Заготовки", "1", "10", "4", "7,050"});
        VERIFY_LINE(text, {"Шкаф ШК-1", "Покраска", "5", "Заготовки", "0", "15", "6", "14,100"});
        VERIFY_LINE(text, {"Шкаф ШК-1", "Сборка", "0", "Готовая продукция", "0", "30", "12", "144,000"});
        VERIFY_LINE(text, {"1", "55,00", "22", "165,15"});
        VERIFY_LINE(text, {"Итого:", "4", "58,75", "25", "165,15"});
    }

    // The worker report: per worker and nomenclature group the piece-rate money with the
    // worker's household and average piece-rate money of the group's item, per worker with all
    // the worker's works, and the totals with the works of all workers. The kind filter
    // narrows the piece-rate sums only; a worker with works but no register rows is absent.
    void workerReport_data() { kinds(); }

    void workerReport()
    {
        QFETCH(int, kind);
        makeMonth();
        auto w = window(kind);
        QString title;
        const QString text = previewed(w->workerReportButton, &title);
        QCOMPARE(title, QStringLiteral("   Отчет по рабочим за период с 01.02.2024 по 01.03.2024"));
        QCOMPARE(w->workerReport.layout().pageCount(), 0);  // released once the preview has closed
        VERIFY_LINE(text, {"Иванов И.И.", "Сумма без Р/К"});
        VERIFY_LINE(text, {"Заготовки", "Покраска", "(грунт)", "3", "7,050"});
        VERIFY_LINE(text, {"Хоз.р.:", "36,00", "Ср. сд.:", "10,00"});
        VERIFY_LINE(text, {"Хоз.р.:", "56,00", "46,67"});  // all workers' household works
        VERIFY_LINE(text, {"Ср.сд.:", "10,00", "8,33"});
        QVERIFY(!text.contains("Сидоров"));
        if (kind == 0) {
            VERIFY_LINE(text, {"Готовая продукция", "Сборка", "10", "120,000"});
            VERIFY_LINE(text, {"Ср. сд.:", "10,00", "19", "141,150", "117,625"});
            VERIFY_LINE(text, {"Итого:", "187,150", "155,958"});  // + 36 + 10
            VERIFY_LINE(text, {"141,15", "117,63"});
            VERIFY_LINE(text, {"187,150", "155,958"});
            VERIFY_LINE(text, {"Петров П.П.", "Сумма без Р/К"});
            VERIFY_LINE(text, {"Готовая продукция", "Сборка", "0", "0,000"});
            VERIFY_LINE(text, {"24,00", "20,00"});
            VERIFY_LINE(text, {"165,15", "137,63"});
            VERIFY_LINE(text, {"Итого:", "231,15", "192,63"});
        } else {
            QVERIFY(!text.contains("Петров"));
            QVERIFY(!text.contains("Сборка"));
            VERIFY_LINE(text, {"Ср. сд.:", "10,00", "9", "21,150", "17,625"});
            VERIFY_LINE(text, {"Итого:", "67,150", "55,958"});
            VERIFY_LINE(text, {"21,15", "17,63"});
            VERIFY_LINE(text, {"Итого:", "87,15", "72,63"});
        }
    }

    // One register row of 10 good pieces at 12 and household works of 36: the worker's footer
    // shows 120 and 100 with two decimals, then 156 and 130 with three.
    void workerExample()
    {
        const int worker = tdb->addWorker("Кузнецов К.К.");
        const int group = tdb->addGroup("Шкафы");
        const int op = tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("Шкаф ШК-1", group), 0);
        tdb->addEntry({.worker = worker, .operation = op, .date = QDate(2024, 2, 5), .quantity = 10, .price = 12});
        tdb->addWorks({.worker = worker, .date = QDate(2024, 2, 6), .hours = 4, .price = 9, .groupId = group});
        auto w = window();
        const QString text = previewed(w->workerReportButton);
        VERIFY_LINE(text, {"120,00", "100,00"});
        VERIFY_LINE(text, {"156,000", "130,000"});
    }

    // The detailed worker report: the register rows by mark with hours, the worker's sums and
    // the block of day and night works, the piece-rate total, the whole and the price of an
    // hour; a worker whose rows have no hours gets a price of 0,00.
    void detailedWorkerReport()
    {
        makeMonth();
        auto w = window();
        QString title;
        const QString text = previewed(w->detailedWorkerReportButton, &title);
        QCOMPARE(title, QStringLiteral("   Детальный отчет по рабочим за период с 01.02.2024 по 01.03.2024"));
        VERIFY_LINE(text, {"Иванов И.И.", "Часы", "Брак", "Количество", "Сумма"});
        VERIFY_LINE(text, {"Шкаф ШК-1", "Покраска", "1", "Заготовки", "4", "1", "4", "7,05"});
        VERIFY_LINE(text, {"Шкаф ШК-1", "Сборка", "0", "Готовая продукция", "8", "0", "10", "120,00"});
        VERIFY_LINE(text, {"1", "20", "141,15"});
        VERIFY_LINE(text, {"Часы", "Сумма с р/к (р.)", "Сумма без р/к (р.)"});
        VERIFY_LINE(text, {"Хоз. раб. (дн.)", "4,00", "36,00", "30,00"});
        VERIFY_LINE(text, {"Хоз. раб. (нч.)", "0,00", "0,00", "0,00"});
        VERIFY_LINE(text, {"Ср. сд. (нч.)", "2,00", "10,00", "8,33"});
        VERIFY_LINE(text, {"Сдел.", "18,00", "141,15", "117,63"});
        VERIFY_LINE(text, {"Итого:", "24,00", "187,15", "155,96"});
        VERIFY_LINE(text, {"Цена ср. сд. за 1 ч.:", "7,84", "6,53"});
        VERIFY_LINE(text, {"Сдел.", "0,00", "24,00", "20,00"});
        VERIFY_LINE(text, {"Цена ср. сд. за 1 ч.:", "0,00", "0,00"});  // no hours: no division by zero
        VERIFY_LINE(text, {"Итого:", "4", "25", "165,15"});
        QVERIFY(!text.contains("Сидоров"));
    }

    // "с" equal to "по": every report still previews, empty, with its title and totals.
    void emptyPeriod()
    {
        makeMonth();
        auto w = window();
        w->toDate->setDate(w->fromDate->date());
        for (QPushButton* command : {w->workerReportButton, w->productionReportButton, w->detailedWorkerReportButton,
                                     w->detailedProductionReportButton}) {
            const QString text = previewed(command);
            QVERIFY2(text.contains("за период с 01.02.2024 по 01.02.2024"), qPrintable(text));
            QVERIFY2(text.contains("Итого:") && !text.contains("Шкаф"), qPrintable(text));
        }
        QVERIFY(messages->shown.isEmpty());
    }

    // The production summary in a workbook: one row per nomenclature group, kind of operation,
    // colour and product kind, with the boxes as a general number and the whole quantity.
    void spreadsheetSummary_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("caption");
        QTest::newRow("all") << 0 << false << "Excel (4 из 4)";
        QTest::newRow("blanks") << 2 << false << "Excel (2 из 2)";
        QTest::newRow("empty period") << 0 << true << "Excel (0 из 0)";
    }

    void spreadsheetSummary()
    {
        QFETCH(int, kind);
        QFETCH(bool, empty);
        QFETCH(QString, caption);
        makeMonth();
        auto w = window(kind);
        if (empty)
            w->fromDate->setDate(w->toDate->date());
        QDir exports(ExcelBook::exportFolder());
        const QStringList before = exports.entryList({"*.xlsx"});
        w->exportButton->click();
        QCOMPARE(w->exportButton->text(), caption);
        QVERIFY(!w->findChild<Dataset*>());
        QStringList made = exports.entryList({"*.xlsx"});
        for (const QString& f : before)
            made.removeAll(f);
        QCOMPARE(made.size(), 1);
        QString error;
        const QJsonObject cells = readXlsx(exports.filePath(made.first()), &error)["sheets"].toArray()[0].toObject()["cells"].toObject();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QStringList heading{"Наименование", "Операция", "Вид продукции", "Коробки", "Кол-во"};
        for (int c = 0; c < heading.size(); ++c)
            QCOMPARE(cells[QString(QChar('A' + c)) + "1"].toObject()["value"].toString(), heading[c]);
        QStringList rows;
        for (int r = 2; cells.contains(QStringLiteral("A%1").arg(r)); ++r) {
            QStringList row;
            for (int c = 0; c < heading.size(); ++c) {
                const QJsonObject cell = cells[QString(QChar('A' + c)) + QString::number(r)].toObject();
                row << (cell["type"].toString() == "n" ? QString::number(cell["value"].toDouble()) : cell["value"].toString());
            }
            rows << row.join(" | ");
        }
        QStringList expected;
        if (!empty) {
            if (kind == 0)
                expected << "Столы | Сборка | Готовая продукция | 0 | 0" << "Шкафы | Сборка | Готовая продукция | 30 | 12";
            expected << "Шкафы | Покраска (грунт) | Заготовки | 7.5 | 3" << "Шкафы | Покраска (цвет: 5) | Заготовки | 15 | 6";
        }
        rows.sort();
        expected.sort();
        QCOMPARE(rows, expected);
    }

    // The login restricts the window: foremen and warehouse keep the detailed production
    // report only, and the warehouse sees finished products only.
    void roles_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("all");
        QTest::addColumn<bool>("kindFixed");
        QTest::newRow("full rights") << int(Role::FullRights) << true << false;
        QTest::newRow("viewer") << int(Role::Viewer) << true << false;
        QTest::newRow("foremen") << int(Role::Foremen) << false << false;
        QTest::newRow("warehouse") << int(Role::Warehouse) << false << true;
    }

    void roles()
    {
        QFETCH(int, role);
        QFETCH(bool, all);
        QFETCH(bool, kindFixed);
        auto w = window(2);
        w->applyRole(Role(role));
        for (QPushButton* b :
             {w->workerReportButton, w->productionReportButton, w->detailedWorkerReportButton, w->exportButton})
            QCOMPARE(b->isEnabled(), all);
        QVERIFY(w->detailedProductionReportButton->isEnabled());
        QVERIFY(w->exitButton->isEnabled());
        QCOMPARE(w->kindBox->isEnabled(), !kindFixed);
        QCOMPARE(w->kind(), kindFixed ? 1 : 2);
    }

    // The register's "Сводные отчеты" opens the window over the previous month, restricted as
    // the login decided.
    void openedFromTheRegister()
    {
        const QByteArray port = qgetenv("PGPORT");
        qputenv("PGPORT", QByteArray::number(tdb->settings().port));
        Windows windows;
        QVERIFY(windows.start({tdb->settings().database, tdb->settings().host}, {20240227, 54663}));
        qputenv("PGPORT", port);
        bool seen = false;
        whenShown<RegisterWindow>([&](RegisterWindow* reg) {
            whenShown<SummaryReportsWindow>([&](SummaryReportsWindow* w) {
                seen = true;
                QCOMPARE(w->windowTitle(), QStringLiteral("Отчеты (8)"));
                const QDate month(QDate::currentDate().year(), QDate::currentDate().month(), 1);
                QCOMPARE(w->fromDate->date(), month.addMonths(-1));
                QCOMPARE(w->toDate->date(), month);
                QVERIFY(!w->workerReportButton->isEnabled());
                QVERIFY(w->detailedProductionReportButton->isEnabled());
                QCOMPARE(w->kind(), 1);
                QVERIFY(!w->kindBox->isEnabled());
                w->exitButton->click();
            });
            reg->summaryReportsAction->trigger();
            reg->reject();
        });
        windows.loginWindow().wordEdit->setText(QStringLiteral("tumov"));
        windows.loginWindow().logInButton->click();
        QVERIFY(seen);
        QVERIFY(!windows.summaryReports().isVisible());
    }
};

QTEST_MAIN(ReportsTest)
#include "test_reports.moc"
