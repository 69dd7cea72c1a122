// The monthly timesheet window: the day columns of a month, the four modes' rows and footer, the
// works rebuild from the window, the year box, and the export read back.
#include "band_report.h"
#include "month_check_dialog.h"
#include "month_rebuild.h"
#include "pdf_text.h"
#include "program_fixture.h"
#include "timesheet_window.h"
#include "xlsx_reader.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(TimesheetMode)

namespace {

QString columnLetters(int column)
{
    QString out;
    for (; column > 0; column = (column - 1) / 26)
        out.prepend(QChar(u'A' + (column - 1) % 26));
    return out;
}

} // namespace

class TimesheetWindowTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<TimesheetWindow> window;
    int antonov = 0, borisov = 0, volkov = 0, op = 0;

    // March 2024: Антонов 8 piece-work hours on the 5th (10 × 12.5) and a second shift's row with
    // 2 hours on the 6th (no entry behind it), household works 3 hours by day on the 5th and 2 by
    // night on the 6th; Борисов a piece-work row without register entries; Волков average
    // piece-rate works 4 hours on the 7th; Гусев register entries but no monthly row.
    void fillMarch()
    {
        antonov = tdb->addWorker("Антонов А.А.");
        borisov = tdb->addWorker("Борисов Б.Б.");
        volkov = tdb->addWorker("Волков В.В.");
        const int gusev = tdb->addWorker("Гусев Г.Г.");
        op = tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("КМ-1"));
        tdb->addEntry({antonov, op, {2024, 3, 5}, 1, 10, 0, 8, 12.5});
        tdb->addEntry({gusev, op, {2024, 3, 5}, 1, 1, 0, 2, 3});
        const QString row = "insert into accounts_dep.h_tabel(w_id, month, year, smena, %1) values(:w, 3, 2024, 1, :h)";
        tdb->run(row.arg("d5"), {{"w", antonov}, {"h", 8}});
        tdb->run(row.arg("d3"), {{"w", borisov}, {"h", 4}});
        tdb->run("insert into accounts_dep.h_tabel(w_id, month, year, smena, d6) values(:w, 3, 2024, 2, 2)",
                 {{"w", antonov}});
        tdb->addWorks({antonov, {2024, 3, 5}, 7777, 3, 100});
        tdb->addWorks({antonov, {2024, 3, 6}, 7777, 2, 120, 1});
        tdb->addWorks({volkov, {2024, 3, 7}, 7778, 4, 50.5});
        rebuildMonth(tdb->db(), MonthRows::Works, {3, 2024});
    }
    // What the grid shows of a record: name, day/night, days 3, 5, 6, 7, hours, money, rate.
    QStringList shownRows()
    {
        QStringList rows;
        const QStringList fields{"fio", "s_night", "d3", "d5", "d6", "d7", "i_time", "f_price", "average_price"};
        for (int row = 0; row < window->grid->model()->rowCount(); ++row) {
            QStringList cells;
            for (const QString& field : fields)
                if (!window->grid->isColumnHidden(TimesheetWindow::columnOf(field)))
                    cells << window->grid->model()->index(row, TimesheetWindow::columnOf(field)).data().toString();
            rows << cells.join('|');
        }
        return rows;
    }
    QString footer()
    {
        return QStringList{window->averagePieceRateFigure->text(), window->householdFigure->text(),
                           window->pieceWorkFigure->text(), window->totalFigure->text()}
            .join('|');
    }
    QJsonObject exportCells(QStringList* files = nullptr)
    {
        QTemporaryDir folder;
        const QByteArray previous = qgetenv("TABEL_EXPORT_DIR");
        qputenv("TABEL_EXPORT_DIR", folder.path().toUtf8());
        const auto restore = qScopeGuard([&] { qputenv("TABEL_EXPORT_DIR", previous); });
        window->exportToExcel();
        const QStringList found = QDir(folder.path()).entryList({"*.xlsx"}, QDir::Files);
        if (files)
            *files = found;
        if (found.size() != 1)
            return {};
        QString error;
        const QJsonObject book = readXlsx(folder.filePath(found.first()), &error);
        if (!error.isEmpty())
            qWarning() << error;
        return book["sheets"].toArray().first().toObject()["cells"].toObject();
    }

private slots:
    void init()
    {
        makeFixture();
        window = std::make_unique<TimesheetWindow>(*dm);
    }
    void cleanup()
    {
        window.reset();
        dropFixture();
    }

    void dayColumns_data()
    {
        QTest::addColumn<TimesheetMode>("mode");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("days");
        QTest::addColumn<QList<int>>("weekend");
        QTest::addColumn<int>("nameWidth");
        QTest::newRow("December") << TimesheetMode::PieceWork << 12 << 2024 << 31
                                  << QList<int>{1, 7, 8, 14, 15, 21, 22, 28, 29} << 238;
        QTest::newRow("leap February") << TimesheetMode::PieceWork << 2 << 2024 << 29
                                       << QList<int>{3, 4, 10, 11, 17, 18, 24, 25} << 278;
        QTest::newRow("February") << TimesheetMode::PieceWork << 2 << 2023 << 28
                                  << QList<int>{4, 5, 11, 12, 18, 19, 25, 26} << 298;
        QTest::newRow("February, general") << TimesheetMode::General << 2 << 2023 << 28
                                           << QList<int>{4, 5, 11, 12, 18, 19, 25, 26} << 364;
        QTest::newRow("30 days from a Saturday") << TimesheetMode::Household << 6 << 2024 << 30
                                                 << QList<int>{1, 2, 8, 9, 15, 16, 22, 23, 29, 30} << 228;
    }
    void dayColumns()
    {
        QFETCH(TimesheetMode, mode);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(int, days);
        QFETCH(QList<int>, weekend);
        QFETCH(int, nameWidth);
        window->prepare(mode);
        // Twice the same month, with a 31-day month before: the same columns both times.
        for (const TimesheetMonth& m : {TimesheetMonth{month, year}, TimesheetMonth{1, 2024}, TimesheetMonth{month, year}}) {
            window->chooseMonth(m);
            QCOMPARE(window->yearBox->currentText(), QString::number(m.year));
        }
        QAbstractItemModel* model = window->grid->model();
        QList<int> shown, red;
        for (int day = 1; day <= 31; ++day) {
            const int column = TimesheetWindow::columnOf(QStringLiteral("d%1").arg(day));
            if (!window->grid->isColumnHidden(column))
                shown << day;
            if (model->headerData(column, Qt::Horizontal, Qt::ForegroundRole).value<QColor>() == Qt::red)
                red << day;
        }
        QCOMPARE(shown.size(), days);
        QCOMPARE(shown.last(), days);
        QCOMPARE(red, weekend);
        QCOMPARE(window->grid->columnWidth(0), nameWidth);
        window->finish();
    }

    // The month's range: the last day of December is in, the first of January is not.
    void decemberRunsToTheNewYear()
    {
        const int worker = tdb->addWorker("Антонов А.А.");
        const int op = tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("КМ-1"));
        tdb->addEntry({worker, op, {2024, 12, 31}, 1, 1, 0, 2, 1});
        tdb->addEntry({worker, op, {2025, 1, 1}, 1, 1, 0, 5, 1});
        tdb->addEntry({worker, op, {2024, 11, 30}, 1, 1, 0, 7, 1});
        rebuildMonth(tdb->db(), MonthRows::PieceWork, {12, 2024});
        window->prepare(TimesheetMode::PieceWork);
        window->chooseMonth({12, 2024});
        QCOMPARE(window->timesheet().recordCount(), 1);
        QCOMPARE(window->timesheet()["i_time"].asInteger(), 2);
        QCOMPARE(window->timesheet()["d31"].asInteger(), 2);
    }

    void modesRowsAndFooter_data()
    {
        QTest::addColumn<TimesheetMode>("mode");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("piece-work") << TimesheetMode::PieceWork << "Табель сделка (27)"
                                    << QStringList{"Антонов А.А.||8|2||8|125,00|15,63", "Борисов Б.Б.|4||||||0"};
        QTest::newRow("household") << TimesheetMode::Household << "Табель хоз. работы (27)"
                                   << QStringList{"Антонов А.А.|дн.||3|||3|300,00|100,00",
                                                  "Антонов А.А.|ноч.|||2||2|240,00|120,00"};
        QTest::newRow("average piece-rate") << TimesheetMode::AveragePieceRate << "Табель ср. сдельная (27)"
                                            << QStringList{"Волков В.В.|дн.||||4|4|202,00|50,50"};
        QTest::newRow("general") << TimesheetMode::General << "Общий табель (27)"
                                 << QStringList{"Антонов А.А.||11|4||13|665,00", "Борисов Б.Б.|4||||0|0",
                                                "Волков В.В.||||4|4|202,00"};
    }
    void modesRowsAndFooter()
    {
        QFETCH(TimesheetMode, mode);
        QFETCH(QString, caption);
        QFETCH(QStringList, rows);
        fillMarch();
        window->prepare(mode);
        window->chooseMonth({3, 2024});
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(shownRows(), rows);
        // The register's sum counts Гусев's entry too (3,00); the works 300 + 240 and 202.
        QTRY_COMPARE(footer(), QStringLiteral("202,00|540,00|128,00|870,00"));
        QVERIFY(messages->shown.isEmpty());
    }

    // The footer's one statement gives what the four statements it replaced gave: entries without
    // a price or a quantity and works without hours or a price left out, works of another kind in
    // the total only, a month without records empty but for the total.
    void footerAsItsFourStatementsGaveIt()
    {
        fillMarch();
        tdb->addEntry({antonov, op, {2024, 3, 8}, 1, 0, 0, 8, 99});   // nothing made
        tdb->addEntry({antonov, op, {2024, 3, 9}, 1, 5, 0, 8, 0});    // no price
        tdb->addEntry({antonov, op, {2024, 3, 10}, 1, 3, 5, 8, 1.1}); // more rejects than made
        tdb->addEntry({antonov, op, {2024, 4, 1}, 1, 7, 1, 8, 0.3});
        tdb->addWorks({volkov, {2024, 3, 11}, 7778, 0, 40});
        tdb->addWorks({volkov, {2024, 3, 12}, 7779, 2, 10.125});
        tdb->addWorks({volkov, {2024, 3, 13}, 7777, 3, 0});
        tdb->addWorks({volkov, {2024, 5, 31}, 7779, 1, 1});
        const QString works = QStringLiteral(
            "(select sum(f.cnt*f.price) from accounts_dep.fatigue f where f.d_date<:d1 and f.d_date>=:d2 and "
            "f.cnt>0 and f.price>0%1)");
        const QString entries = QStringLiteral(
            "(select sum((s.kol_vo-s.brak)*s.cena::numeric) from accounts_dep.smena s where s.data<:d1 and "
            "s.data>=:d2 and s.cena>0 and s.kol_vo>0)");
        const QString figure = QStringLiteral("coalesce(%1::numeric(100,2)::text, '')");
        const QString asItWas =
            QStringLiteral("select %1 || '|' || %2 || '|' || %3 || '|' || (coalesce(%4,0)+coalesce(%5,0))::numeric(20,2)")
                .arg(figure.arg(works.arg(" and f.id_o=7778")), figure.arg(works.arg(" and f.id_o=7777")),
                     figure.arg(entries), entries, works.arg(""));
        TimesheetStore store(dm->db);
        QStringList got, expected;
        for (const TimesheetMonth month : {TimesheetMonth{3, 2024}, TimesheetMonth{4, 2024}, TimesheetMonth{5, 2024},
                                           TimesheetMonth{6, 2024}}) {
            const TimesheetFooter f = store.footer(month);
            got << QStringList{f.averagePieceRate, f.household, f.pieceWork, f.total}.join('|');
            expected << tdb->value(asItWas, {{"d1", month.next()}, {"d2", month.first()}}).toString();
        }
        QCOMPARE(got, expected);
        QCOMPARE(got, QStringList({"202.00|540.00|125.80|888.05", "||1.80|1.80", "|||1.00", "|||0.00"}));
    }

    // Choosing another month, or opening another mode on another month, while the footer is still
    // being read: the footer shows the new month's figures, and the old ones are never shown.
    void staleFooterIsNeverShown_data()
    {
        QTest::addColumn<TimesheetMode>("first");
        QTest::addColumn<TimesheetMode>("then");
        QTest::newRow("month changed") << TimesheetMode::PieceWork << TimesheetMode::PieceWork;
        QTest::newRow("mode changed") << TimesheetMode::Household << TimesheetMode::General;
    }
    void staleFooterIsNeverShown()
    {
        QFETCH(TimesheetMode, first);
        QFETCH(TimesheetMode, then);
        fillMarch();
        tdb->addEntry({antonov, op, {2024, 4, 2}, 1, 2, 0, 1, 7});
        QSignalSpy shown(window.get(), &TimesheetWindow::footerShown);
        window->prepare(first, {3, 2024});
        QCOMPARE(footer(), QStringLiteral("…|…|…|…"));
        if (then == first)
            window->chooseMonth({4, 2024});
        else
            window->prepare(then, {4, 2024});
        QVERIFY(shown.wait());
        QCOMPARE(footer(), QStringLiteral("||14,00|14,00"));
        QCOMPARE(shown.count(), 1);
        QVERIFY(!window->footerComing());
    }

    // A footer whose statement fails shows the database's message and leaves the figures empty;
    // the rows are shown all the same.
    void failingFooter()
    {
        fillMarch();
        tdb->run("alter table accounts_dep.fatigue rename to fatigue_gone");
        QSignalSpy shown(window.get(), &TimesheetWindow::footerShown);
        window->prepare(TimesheetMode::PieceWork, {3, 2024});
        QCOMPARE(window->timesheet().recordCount(), 2);
        QVERIFY(shown.wait());
        QVERIFY2(messages->last().contains("fatigue"), qPrintable(messages->last()));
        QCOMPARE(footer(), QStringLiteral("|||"));
    }

    // "Перестроить" brings new works records into the grid; a failing rebuild shows the
    // database's message and leaves the month's rows as they were.
    void rebuildFromTheWindow()
    {
        fillMarch();
        window->prepare(TimesheetMode::Household);
        window->chooseMonth({3, 2024});
        tdb->addWorks({borisov, {2024, 3, 20}, 7777, 6, 100});
        window->rebuild();
        QCOMPARE(shownRows().size(), 3);
        QVERIFY(window->progressBar->isHidden());

        const QString before = tdb->value("select string_agg(concat_ws(' ', w_id, i_night, d5, d6, d20), ',' order by "
                                          "w_id, i_night) from accounts_dep.h_tabel where smena=0")
                                   .toString();
        tdb->run("create function accounts_dep.fail() returns trigger language plpgsql as $$ begin raise exception "
                 "'injected failure'; end $$");
        tdb->run("create trigger fail before insert on accounts_dep.h_tabel for each row execute function "
                 "accounts_dep.fail()");
        tdb->addWorks({volkov, {2024, 3, 21}, 7777, 1, 100});
        window->rebuild();
        QVERIFY2(messages->last().contains("injected failure"), qPrintable(messages->last()));
        QCOMPARE(tdb->value("select string_agg(concat_ws(' ', w_id, i_night, d5, d6, d20), ',' order by w_id, i_night) "
                            "from accounts_dep.h_tabel where smena=0")
                     .toString(),
                 before);
        QCOMPARE(shownRows().size(), 3);
        QVERIFY(window->rebuildButton->isEnabled());
        QVERIFY(window->progressBar->isHidden());
    }

    // "Проверить" lists the cells the records do not back, "Исправить" writes them and the grid
    // shows the repaired month; a month that is right says so.
    void checkAndRepairFromTheWindow()
    {
        fillMarch();
        window->prepare(TimesheetMode::PieceWork, {3, 2024});
        QStringList listed;
        QString afterRepair;
        QTimer::singleShot(0, window.get(), [&] {
            MonthCheckDialog* dialog = window->checkDialog;
            for (int row = 0; row < dialog->differencesGrid->rowCount(); ++row)
                listed << differenceText(dialog->differences()[row]);
            dialog->repairButton->click();
            afterRepair = dialog->summary->text() + (dialog->repairButton->isEnabled() ? " enabled" : "");
            dialog->closeButton->click();
        });
        window->checkButton->click();
        const QStringList expected{"Антонов А.А., смена 2, 6 число: в табеле 2, по записям —",
                                   "Борисов Б.Б., смена 1, 3 число: в табеле 4, по записям —",
                                   "Гусев Г.Г., смена 1, 5 число: в табеле —, по записям 2"};
        QCOMPARE(listed, expected);
        QCOMPARE(afterRepair, QStringLiteral("Расхождений нет"));
        QVERIFY2(shownRows().join('\n').contains("Гусев Г.Г.||2|||2|3,00|1,50"), qPrintable(shownRows().join('\n')));
    }

    // The statements from the piece-work and the general timesheet: the current worker's previewed,
    // every worker's written into the export folder.
    void statementsFromTheWindow_data()
    {
        QTest::addColumn<TimesheetMode>("mode");
        QTest::addColumn<bool>("offered");
        QTest::newRow("piece-work") << TimesheetMode::PieceWork << true;
        QTest::newRow("household") << TimesheetMode::Household << false;
        QTest::newRow("average piece-rate") << TimesheetMode::AveragePieceRate << false;
        QTest::newRow("general") << TimesheetMode::General << true;
    }
    void statementsFromTheWindow()
    {
        QFETCH(TimesheetMode, mode);
        QFETCH(bool, offered);
        fillMarch();
        window->prepare(mode, {3, 2024});
        QCOMPARE(window->statementButton->isVisibleTo(window.get()), offered);
        QCOMPARE(window->allStatementsButton->isVisibleTo(window.get()), offered);
        if (!offered)
            return;
        QString previewed;
        report::BandReport::setPreviewHook([&](report::BandReport& r) { previewed = r.pages().front().text(); });
        window->grid->selectRow(0);
        window->statementButton->click();
        report::BandReport::setPreviewHook({});
        QVERIFY2(previewed.contains("Антонов А.А.") && previewed.contains("100,00"), qPrintable(previewed));

        const QString path = window->writeAllStatements();
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("Расчетные листки 03.2024.pdf"));
        QCOMPARE(pdfPages(path).size(), 3);  // Антонов, Борисов, Волков: the month's timesheet
        QFile::remove(path);
    }

    // At the start of a year the monthly table has no rows of it: the year box still holds the
    // year (beside each year of the table, once, and no empty one), the month shows empty and its
    // rebuild works.
    void yearWithoutRows()
    {
        const QString row = "insert into accounts_dep.h_tabel(w_id, month, year, smena, d1) values(1, :m, :y, 1, 8)";
        for (const auto& [month, year] : {std::pair{5, QVariant(2019)}, {6, 2019}, {5, 2021}, {7, QVariant()}})
            tdb->run(row, {{"m", month}, {"y", year}});
        window->prepare(TimesheetMode::General);
        QCOMPARE(window->yearBox->currentText(), QString::number(QDate::currentDate().year()));
        QCOMPARE(window->monthBox->currentIndex(), QDate::currentDate().month() - 1);
        QStringList years;
        for (int i = 0; i < window->yearBox->count(); ++i)
            years << window->yearBox->itemText(i);
        QCOMPARE(years, QStringList({"2019", "2021", QString::number(QDate::currentDate().year())}));
        window->chooseMonth({1, 2031});
        QCOMPARE(window->yearBox->currentText(), QStringLiteral("2031"));
        QVERIFY(window->timesheet().isActive());
        QCOMPARE(window->timesheet().recordCount(), 0);
        window->rebuild();
        QVERIFY(messages->shown.isEmpty());
    }

    void exportReadBack_data()
    {
        QTest::addColumn<TimesheetMode>("mode");
        QTest::addColumn<QStringList>("firstRow");  // columns A, B, G (day 5), H (day 6), AH, AI, AJ
        QTest::newRow("household") << TimesheetMode::Household
                                   << QStringList{"Антонов А.А.", "дн.", "3", "", "3", "300", "100"};
        QTest::newRow("general") << TimesheetMode::General << QStringList{"Антонов А.А.", "", "11", "4", "13", "665", ""};
    }
    void exportReadBack()
    {
        QFETCH(TimesheetMode, mode);
        QFETCH(QStringList, firstRow);
        fillMarch();
        window->prepare(mode);
        window->chooseMonth({3, 2024});
        const int count = window->timesheet().recordCount();
        // While the export runs, nothing else can be started and the window does not close.
        bool idleDuringExport = false;
        QTimer::singleShot(0, [&] {
            idleDuringExport = !window->exportButton->isEnabled() && !window->rebuildButton->isEnabled()
                && !window->refreshButton->isEnabled() && !window->monthBox->isEnabled();
            window->reject();
        });
        const QJsonObject cells = exportCells();
        QVERIFY(idleDuringExport);
        QVERIFY(window->exportButton->isEnabled());
        QCOMPARE(window->exportButton->text(), QStringLiteral("Excel (%1 из %1)").arg(count));
        auto value = [&](const QString& cell) {
            const QJsonValue v = cells[cell].toObject()["value"];
            return v.isDouble() ? QString::number(v.toDouble()) : v.toString();
        };
        QCOMPARE(value("A1"), QStringLiteral("Март 2024"));
        QVERIFY(cells["A1"].toObject()["bold"].toBool());
        QCOMPARE(value("A2"), QStringLiteral("Фамилия И.О."));
        for (int day = 1; day <= 31; ++day)
            QCOMPARE(value(columnLetters(day + 2) + "2"), QString::number(day));
        QCOMPARE(value("AH2"), QStringLiteral("Итого (ч.)"));
        QCOMPARE(value("AI2"), QStringLiteral("Итого (р.)"));
        QCOMPARE(value("AJ2"), mode == TimesheetMode::General ? QString() : QStringLiteral("Час (р.)"));
        QStringList first;
        for (const char* column : {"A", "B", "G", "H", "AH", "AI", "AJ"})
            first << value(QString::fromLatin1(column) + "3");
        QCOMPARE(first, firstRow);
        QCOMPARE(cells["G3"].toObject()["type"].toString(), QStringLiteral("n"));
        QVERIFY(!cells.contains("C3"));  // an empty day writes nothing
        QVERIFY(!cells.contains(QStringLiteral("A%1").arg(count + 3)));
    }

    void exportOfAnEmptyMonth()
    {
        window->prepare(TimesheetMode::PieceWork);
        window->chooseMonth({1, 2030});
        const QJsonObject cells = exportCells();
        QCOMPARE(window->exportButton->text(), QStringLiteral("Excel (0 из 0)"));
        QVERIFY(cells.contains("A2"));
        QVERIFY(!cells.contains("A3"));
        window->reject();
        QCOMPARE(window->exportButton->text(), QStringLiteral("Excel"));
    }
};

QTEST_MAIN(TimesheetWindowTest)
#include "test_timesheet_window.moc"
