// The timesheet by shifts: the drawing of day cells, who is on the tabs and who in the print
// and the export, the rebuild from the window (the rows of the day-by-day algorithm, nothing
// lost on a failure), the printed form read back from its PDF, and the export read back.
#include "by_shift_window.h"
#include "excel_book.h"
#include "month_check_dialog.h"
#include "month_close_store.h"
#include "month_rebuild.h"
#include "pdf_text.h"
#include "program_fixture.h"
#include "row_by_row_rebuild.h"
#include "xlsx_reader.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QJsonArray>
#include <QProgressBar>
#include <QPushButton>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>

using report::BandReport;

namespace {

const QColor kSilver(Qt::lightGray);
const QColor kRed(Qt::red);
const QColor kGreen(192, 220, 192);

QColor colourOf(const QVariant& v)
{
    if (v.canConvert<QBrush>() && v.typeId() == QMetaType::QBrush)
        return v.value<QBrush>().color();
    return v.value<QColor>();
}

} // namespace

class ByShiftTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<TimesheetByShiftWindow> window;
    int antonov = 0, borisov = 0, volkov1 = 0, volkov2 = 0, op = 0;

    void entry(int worker, const QDate& date, int shift, int hours)
    {
        tdb->addEntry({worker, op, date, shift, 1, 0, hours, 10});
    }
    void monthRow(int worker, int month, int shift, int day, int hours)
    {
        tdb->run(QStringLiteral("insert into accounts_dep.h_tabel(w_id, month, year, smena, d%1) "
                                "values(:w, :m, 2024, :s, :h)")
                     .arg(day),
                 {{"w", worker}, {"m", month}, {"s", shift}, {"h", hours}});
    }
    // March 2024: Антонов 8 hours in shift 1 (two entries), 4 in shift 2 and 3 of overtime
    // (shift 4); Борисов a register entry in April only; two workers named Волков В.В. in
    // shift 3, 8 and 7 hours.
    void fillMarch()
    {
        op = tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("КМ-1"));
        antonov = tdb->addWorker("Антонов А.А.");
        borisov = tdb->addWorker("Борисов Б.Б.");
        volkov1 = tdb->addWorker("Волков В.В.");
        volkov2 = tdb->addWorker("Волков В.В.");
        entry(antonov, {2024, 3, 1}, 1, 5);
        entry(antonov, {2024, 3, 1}, 1, 3);
        entry(antonov, {2024, 3, 2}, 4, 3);
        entry(antonov, {2024, 3, 4}, 2, 4);
        entry(volkov1, {2024, 3, 5}, 3, 8);
        entry(volkov2, {2024, 3, 6}, 3, 7);
        entry(borisov, {2024, 4, 1}, 1, 8);
    }
    QStringList tab(int shiftNo)
    {
        QStringList rows;
        QTableView* grid = window->grid(shiftNo);
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            rows << grid->model()->index(row, 0).data().toString() + u'|' +
                        grid->model()->index(row, TimesheetByShiftWindow::columnOf("summ")).data().toString();
        return rows;
    }
    // The print saved as PDF from the preview; the pages' texts.
    QStringList printPages(const QString& path)
    {
        int shown = 0;
        BandReport::setPreviewHook([&](BandReport& r) {
            ++shown;
            QVERIFY(r.savePdf(path));
        });
        window->printButton->click();
        BandReport::setPreviewHook({});
        if (shown != 1)
            return {};
        return pdfPages(path);
    }

private slots:
    void init()
    {
        makeFixture();
        window = std::make_unique<TimesheetByShiftWindow>(*dm);
    }
    void cleanup()
    {
        window.reset();
        dropFixture();
    }

    // March 2024 begins on a Friday; April has 30 days.
    void dayCells_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("hours");
        QTest::addColumn<QColor>("text");  // invalid: the usual colour
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("title");
        const QColor none;
        QTest::newRow("0") << 3 << 4 << 0 << kSilver << none << false << none;
        QTest::newRow("5") << 3 << 5 << 5 << none << none << false << none;
        QTest::newRow("8") << 3 << 6 << 8 << none << none << true << none;
        QTest::newRow("9") << 3 << 7 << 9 << none << kGreen << true << none;
        QTest::newRow("0 on a Saturday") << 3 << 2 << 0 << kRed << none << false << kRed;
        QTest::newRow("5 on a Saturday") << 3 << 16 << 5 << kRed << none << false << kRed;
        QTest::newRow("8 on a Sunday") << 3 << 3 << 8 << kRed << none << true << kRed;
        QTest::newRow("9 on a Saturday") << 3 << 9 << 9 << kRed << kGreen << true << kRed;
        QTest::newRow("after the month's end") << 4 << 31 << 8 << QColor() << none << false << kSilver;
    }
    void dayCells()
    {
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, hours);
        QFETCH(QColor, text);
        QFETCH(QColor, background);
        QFETCH(bool, bold);
        QFETCH(QColor, title);
        op = tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("КМ-1"));
        antonov = tdb->addWorker("Антонов А.А.");
        entry(antonov, {2024, month, 10}, 1, 1);
        monthRow(antonov, month, 1, day, hours);
        window->prepare({2024, month, 10});
        QCOMPARE(window->monthBox->currentIndex(), month - 1);
        QAbstractItemModel* model = window->shift1Grid->model();
        QCOMPARE(model->rowCount(), 1);
        const int column = TimesheetByShiftWindow::columnOf(QStringLiteral("d%1").arg(day));
        QVERIFY(!window->shift1Grid->isColumnHidden(column));
        const QModelIndex cell = model->index(0, column);
        QCOMPARE(cell.data().toInt(), hours);
        // After the month's end the text takes the grid's background colour: it is not seen.
        if (!text.isValid() && month == 4)
            text = window->shift1Grid->palette().color(QPalette::Base);
        QCOMPARE(colourOf(cell.data(Qt::ForegroundRole)), text);
        QCOMPARE(colourOf(cell.data(Qt::BackgroundRole)), background);
        QCOMPARE(cell.data(Qt::FontRole).value<QFont>().bold(), bold);
        QCOMPARE(colourOf(model->headerData(column, Qt::Horizontal, Qt::ForegroundRole)), title);
        window->finish();
    }

    // The tabs show the rows of shifts 1..3 whose workers have register entries in the month,
    // each row's total its own hours; the print and the export have every worker's name once,
    // with the hours of all its rows (overtime too).
    void tabsPrintAndExport()
    {
        fillMarch();
        window->prepare({2024, 3, 16});
        window->rebuildButton->click();
        QVERIFY2(messages->shown.isEmpty(), qPrintable(messages->texts().join("\n")));
        QVERIFY(window->progressBar->isHidden());
        QCOMPARE(tab(1), QStringList{"Антонов А.А.|8"});
        QCOMPARE(tab(2), QStringList{"Антонов А.А.|4"});
        QCOMPARE(tab(3), (QStringList{"Волков В.В.|8", "Волков В.В.|7"}));
        // Борисов: a monthly row of 6 hours on the 5th, no register entry in the month.
        monthRow(borisov, 3, 1, 5, 6);
        window->refreshButton->click();
        QCOMPARE(tab(1), QStringList{"Антонов А.А.|8"});

        // A long name, cut at the edge of its cell.
        const QString longName = QStringLiteral("Константинопольский-Преображенский Александр Вениаминович");
        monthRow(tdb->addWorker(longName), 3, 1, 12, 8);
        QTemporaryDir folder;
        const QString path = folder.filePath("print.pdf");
        const QStringList pages = printPages(path);
        QCOMPARE(pages.size(), 1);
        const QString page = pages.first();
        QVERIFY2(page.contains("Март 2024 г."), qPrintable(page));
        QVERIFY(page.contains("Итого"));
        QStringList numbers;
        for (int day = 1; day <= 31; ++day)
            numbers << QString::number(day);
        QVERIFY2(page.simplified().contains(numbers.join(' ') + " Итого"), qPrintable(page));
        QVERIFY2(page.contains(QRegularExpression("Антонов А.А.\\s+8\\s+3\\s+4\\s+15\\n")), qPrintable(page));
        QVERIFY2(page.contains(QRegularExpression("Борисов Б.Б.\\s+6\\s+6\\n")), qPrintable(page));
        QCOMPARE(page.count("Волков В.В."), 1);
        QVERIFY2(page.contains(QRegularExpression("Волков В.В.\\s+8\\s+7\\s+15\\n")), qPrintable(page));
        QVERIFY(!page.contains(longName));
        QVERIFY(page.contains(QRegularExpression("\\s1\\s*$")));
        QVERIFY2(pdfInfo(path, "Page size").startsWith("842 x 595"), qPrintable(pdfInfo(path, "Page size")));
        for (const auto& band : window->printLayout().layout().pages().front().bands)
            for (const auto& item : band.items)
                if (longName.startsWith(item.text) && item.text.size() > 20)
                    QVERIFY(item.text.size() < longName.size() && item.rect.right() <= ByShiftPrint::dayLeft(1));
        QVERIFY(!window->printLayout().query().isActive());

        // The export: one export at a time, the buttons off while it runs.
        QTemporaryDir exports;
        qputenv("TABEL_EXPORT_DIR", exports.path().toUtf8());
        bool offWhileRunning = false;
        QTimer::singleShot(0, [&] {
            offWhileRunning = !window->exportButton->isEnabled() && !window->rebuildButton->isEnabled();
            window->exportToExcel();
        });
        window->exportToExcel();
        QCOMPARE(window->exportButton->text(), QStringLiteral("Excel (4 из 4)"));
        QVERIFY(window->exportButton->isEnabled());
        QVERIFY(offWhileRunning);
        const QStringList files = QDir(exports.path()).entryList({"*.xlsx"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        QString error;
        const QJsonObject cells =
            readXlsx(exports.filePath(files.first()), &error)["sheets"].toArray().first().toObject()["cells"].toObject();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        auto cell = [&](const QString& at) { return cells[at].toObject()["value"].toVariant().toString(); };
        QCOMPARE(cell("A1"), QStringLiteral("Март 2024"));
        QCOMPARE(cell("A2"), QStringLiteral("Фамилия И.О."));
        QCOMPARE(cells["B2"].toObject()["type"].toString(), QStringLiteral("n"));
        QCOMPARE(cell("AF2"), QStringLiteral("31"));
        QCOMPARE(cell("AG2"), QStringLiteral("Итого"));
        QCOMPARE(cell("A3"), QStringLiteral("Антонов А.А."));
        QCOMPARE((QStringList{cell("B3"), cell("C3"), cell("E3"), cell("AG3")}), (QStringList{"8", "3", "4", "15"}));
        QCOMPARE(cell("A4"), QStringLiteral("Борисов Б.Б."));
        QCOMPARE((QStringList{cell("F4"), cell("AG4")}), (QStringList{"6", "6"}));
        QCOMPARE(cell("A5"), QStringLiteral("Волков В.В."));
        QCOMPARE((QStringList{cell("F5"), cell("G5"), cell("AG5")}), (QStringList{"8", "7", "15"}));
        QVERIFY(!cells.contains("A7"));
        QVERIFY(!window->printLayout().query().isActive());

        // The caption is "Excel" again when the window becomes active.
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTRY_COMPARE(window->exportButton->text(), QStringLiteral("Excel"));
        window->hide();
    }

    // Many workers in December: the day numbers and the title on every page, the pages
    // numbered; on the tab the worker with an entry on the 31st, not the one of 1 January.
    void pagesNumbered()
    {
        QList<int> workers;
        for (int i = 0; i < 60; ++i) {
            workers << tdb->addWorker(QStringLiteral("Рабочий %1").arg(i, 2, 10, QChar('0')));
            monthRow(workers.last(), 12, 1, 31, 8);
        }
        op = tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("КМ-1"));
        entry(workers[0], {2024, 12, 31}, 1, 8);
        entry(workers[1], {2025, 1, 1}, 1, 8);
        window->prepare({2024, 12, 2});
        QCOMPARE(tab(1), QStringList{"Рабочий 00|8"});
        QTemporaryDir folder;
        const QStringList pages = printPages(folder.filePath("print.pdf"));
        QVERIFY(pages.size() >= 2);
        for (int p = 0; p < pages.size(); ++p) {
            QVERIFY(pages[p].contains("Декабрь 2024 г."));
            QVERIFY(pages[p].simplified().contains("29 30 31 Итого"));
            QVERIFY2(pages[p].contains(QRegularExpression(QStringLiteral("\\s%1\\s*$").arg(p + 1))), qPrintable(pages[p]));
        }
        QVERIFY(pages.last().contains(QRegularExpression("Рабочий 59\\s+8\\s+8\\n")));
    }

    // The window's rebuild gives the rows of the day-by-day algorithm, works rows untouched; a
    // failing rebuild changes nothing and the grids show the month again.
    // "Проверить" of a closed month lists its differences; "Исправить" is refused with the
    // closed month's message and nothing changes.
    void checkOfAClosedMonth()
    {
        fillMarch();
        QVERIFY(MonthCloseStore(dm->db).close({3, 2024}));
        window->prepare({2024, 3, 16});
        QString listed, afterRepair;
        QTimer::singleShot(0, window.get(), [&] {
            MonthCheckDialog* dialog = window->checkDialog;
            listed = dialog->summary->text();
            dialog->repairButton->click();
            afterRepair = dialog->summary->text();
            dialog->closeButton->click();
        });
        window->checkButton->click();
        QCOMPARE(listed, QStringLiteral("Расхождений: 5"));
        QCOMPARE(messages->last(), QStringLiteral("Месяц 03.2024 закрыт. Изменения запрещены."));
        QCOMPARE(afterRepair, listed);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.h_tabel"), 0);
    }

    void rebuildFromTheWindow()
    {
        fillMarch();
        tdb->addWorks({antonov, {2024, 3, 5}, 7777, 3, 100});
        rebuildMonth(tdb->db(), MonthRows::Works, {3, 2024});
        const QStringList works = monthRowsText(tdb->db(), MonthRows::Works, {3, 2024});
        QCOMPARE(works.size(), 1);
        rebuildMonthRowByRow(tdb->db(), MonthRows::PieceWork, {3, 2024});
        const QStringList expected = monthRowsText(tdb->db(), MonthRows::PieceWork, {3, 2024});
        QVERIFY(expected.contains(QStringLiteral("%1 4 0 0 - 3").arg(antonov) + QString(" -").repeated(29)));
        monthRow(borisov, 3, 2, 9, 9);  // stale

        window->prepare({2024, 3, 16});
        window->rebuildButton->click();
        QCOMPARE(monthRowsText(tdb->db(), MonthRows::PieceWork, {3, 2024}), expected);
        QCOMPARE(monthRowsText(tdb->db(), MonthRows::Works, {3, 2024}), works);

        tdb->run("create function accounts_dep.fail() returns trigger language plpgsql as $$ "
                 "begin raise exception 'injected failure'; end $$");
        tdb->run(QStringLiteral("create trigger fail before insert on accounts_dep.h_tabel for each row "
                                "when (new.w_id = %1) execute function accounts_dep.fail()")
                     .arg(volkov2));
        monthRow(borisov, 3, 2, 9, 9);
        const QStringList before = monthRowsText(tdb->db(), MonthRows::PieceWork, {3, 2024});
        window->rebuildButton->click();
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY(messages->last().contains("injected failure"));
        QCOMPARE(monthRowsText(tdb->db(), MonthRows::PieceWork, {3, 2024}), before);
        QVERIFY(window->progressBar->isHidden());
        QVERIFY(window->rebuildButton->isEnabled());
        QCOMPARE(tab(1), QStringList{"Антонов А.А.|8"});
    }
};

QTEST_MAIN(ByShiftTest)
#include "test_by_shift.moc"
