// The register window: shift lists, dates and the day-off mark, acceptance, deleting with
// the timesheet cell, and the role restrictions.
#include "data_module.h"
#include "message_recorder.h"
#include "program_fixture.h"
#include "register_window.h"
#include "test_database.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QtTest>
#include <memory>

namespace {
const QDate kWednesday(2024, 3, 13);
const QDate kSaturday(2024, 3, 16);
} // namespace

class RegisterTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<RegisterWindow> reg;
    int worker = 0, operation = 0;

    // Opens the register for a date as a date change would.
    void openOn(const QDate& date)
    {
        reg->dateEdit->setDate(date);
        reg->changeDate();
    }
    QStringList shownColumn(const QString& field)
    {
        QStringList out;
        auto* model = reg->entriesGrid->model();
        for (int col = 0; col < model->columnCount(); ++col) {
            if (static_cast<DatasetModel*>(model)->columns()[col].field != field)
                continue;
            for (int row = 0; row < model->rowCount(); ++row)
                out << model->index(row, col).data().toString();
        }
        return out;
    }
    int hTabelDay(int day)
    {
        return tdb->value(QStringLiteral("select coalesce(d%1, -1) from accounts_dep.h_tabel where w_id=:w").arg(day),
                          {{"w", worker}})
            .toInt();
    }

private slots:
    void init()
    {
        makeFixture();
        reg = std::make_unique<RegisterWindow>(*dm);
        worker = tdb->addWorker("Д'Артаньян Ш.Б.");
        const int kind = tdb->addKind("Сборка");
        operation = tdb->addOperation(kind, tdb->addProduct("КМ-1"));
        tdb->addNorm(operation, 10);
    }
    void cleanup()
    {
        reg.reset();
        dropFixture();
    }

    void gridHasTheRegisterColumns()
    {
        auto* grid = reg->entriesGrid;
        QStringList titles;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"Фамилия И.О.", "Марка изделия", "Операция", "Вид", "Цвет", "Часы", "Кол-во",
                                      "Брак", "Итого (р.)", "Премия (%)", "OK", "Заведен"}));
        QCOMPARE(grid->columnWidth(0), 250);
        QCOMPARE(grid->columnWidth(1), 260);
        QCOMPARE(grid->columnWidth(8), 78);
        QVERIFY(grid->isColumnHidden(9));
        QCOMPARE(reg->windowTitle(), QStringLiteral("Табель"));
        QVERIFY(reg->shift1Button->isChecked());
    }

    // Marks "no", "ok" and "да" are listed; "ta" and an empty mark are not. A name with an
    // apostrophe is shown as it is.
    void listsEntriesByMark()
    {
        for (const char* mark : {"no", "ok", "да", "ta", ""})
            tdb->addEntry({worker, operation, kWednesday, 2, 3, 1, 8, 2.5, 0, QString::fromUtf8(mark)});
        tdb->run("update accounts_dep.smena set ok=null where ok=''");
        openOn(kWednesday);
        reg->shift2Button->click();
        QCOMPARE(reg->shift(), 2);
        QCOMPARE(shownColumn("ok"), (QStringList{"no", "ok", "да"}));
        QCOMPARE(shownColumn("fio").value(0), QStringLiteral("Д'Артаньян Ш.Б."));
        QCOMPARE(shownColumn("summa").value(0), QStringLiteral("5"));  // (3 - 1) × 2.5
    }

    void acceptanceColours()
    {
        tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 8, 1, 0, "ok"});
        tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 8, 1, 1, "no"});
        openOn(kWednesday);
        auto* model = reg->entriesGrid->model();
        const QModelIndex accepted = model->index(0, 10), open = model->index(1, 10);
        QCOMPARE(accepted.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::darkGreen));
        QCOMPARE(open.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(open.data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!model->index(0, 0).data(Qt::ForegroundRole).isValid());
    }

    void dateChangeRereadsAndMarksWeekend()
    {
        tdb->addEntry({worker, operation, kSaturday, 1});
        openOn(kSaturday);
        QVERIFY(reg->dayOffBox->isChecked());
        QVERIFY(reg->dayOffBox->styleSheet().contains("bold"));
        QCOMPARE(dm->shiftList1.recordCount(), 1);
        openOn(kWednesday);
        QVERIFY(!reg->dayOffBox->isChecked());
        QCOMPARE(dm->shiftList1.recordCount(), 0);
        // A user's own mark stays until the date changes.
        reg->dayOffBox->setChecked(true);
        reg->shift3Button->click();
        QVERIFY(reg->dayOffBox->isChecked());
        // Enter in the date picker applies a typed date.
        reg->dateEdit->setDate(kSaturday);
        QTest::keyClick(reg->dateEdit, Qt::Key_Return);
        QCOMPARE(dm->shiftList1.param("data").toDate(), kSaturday);
        QVERIFY(reg->dayOffBox->isChecked());
    }

    // Any change of the date, however made, is applied once it rests; the arrows of the box
    // step the date without the calendar.
    void everyDateChangeIsApplied()
    {
        openOn(kWednesday);
        QSignalSpy reads(&dm->shiftList1, &Dataset::rowsReset);
        reg->dateEdit->setFocus();
        reg->dateEdit->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(reg->dateEdit, Qt::Key_Up);
        QTest::keyClick(reg->dateEdit, Qt::Key_Up);
        QTest::keyClick(reg->dateEdit, Qt::Key_Up);
        QCOMPARE(reg->dateEdit->date(), kSaturday);
        QTRY_COMPARE(dm->shiftList1.param("data").toDate(), kSaturday);
        QTest::qWait(600);
        // Closed and opened once for the three steps.
        QCOMPARE(reads.count(), 2);
        QVERIFY(reg->dayOffBox->isChecked());
    }

    // Activation (today's date, the lists) comes once per login, not on every restore.
    void activationOncePerLogin()
    {
        reg->beginSession(Role::FullRights);
        reg->show();
        QCOMPARE(reg->dateEdit->date(), QDate::currentDate());
        reg->dateEdit->setDate(kWednesday);
        reg->changeDate();
        reg->hide();
        reg->show();  // as a restore from the task bar shows it again
        QCOMPARE(reg->dateEdit->date(), kWednesday);
        QCOMPARE(dm->shiftList1.param("data").toDate(), kWednesday);
        reg->hide();
    }

    // Tab leaves the grid for the next control; the grid keeps the acceptance colours on the
    // selected row.
    void gridKeysAndSelectedColours()
    {
        tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 8, 1, 0, "ok"});
        reg->show();
        openOn(kWednesday);
        reg->entriesGrid->setFocus();
        QTest::keyClick(reg->entriesGrid, Qt::Key_Tab);
        QVERIFY(!reg->entriesGrid->hasFocus());
        reg->entriesGrid->setFocus();
        QTest::keyClick(reg->entriesGrid, Qt::Key_Backtab);
        QVERIFY(!reg->entriesGrid->hasFocus());
        const int okColumn = 10;
        QStyleOptionViewItem option;
        option.state |= QStyle::State_Selected;
        const QModelIndex cell = reg->entriesGrid->model()->index(0, okColumn);
        QVERIFY(reg->entriesGrid->selectionModel()->isSelected(cell));
        auto* delegate = dynamic_cast<KeepColoursDelegate*>(reg->entriesGrid->itemDelegate());
        QVERIFY(delegate);
        delegate->initStyleOption(&option, cell);
        QCOMPARE(option.palette.color(QPalette::HighlightedText), QColor(Qt::darkGreen));
        reg->hide();
    }

    void switchingShiftsDoesNotReread()
    {
        openOn(kWednesday);
        tdb->addEntry({worker, operation, kWednesday, 3});
        reg->shift3Button->click();
        QCOMPARE(reg->entriesGrid->model()->rowCount(), 0);
        QVERIFY(reg->shift3Button->styleSheet().contains("bold"));
        QVERIFY(reg->shift1Button->styleSheet().isEmpty());
        reg->shift1Button->click();
        reg->shift3Button->click();
        QCOMPARE(reg->entriesGrid->model()->rowCount(), 0);
        reg->refreshButton->click();
        QCOMPARE(reg->entriesGrid->model()->rowCount(), 1);
    }

    // A date change reads the four lists with one statement; each list gets exactly the fields,
    // the rows and the order its own statement gives: two workers of one name, a worker matched
    // by s_code only, one matched twice (by id and by another person's code), marks left out,
    // another date. Lists whose dates differ read each with its own statement.
    void fourListsReadAtOnceAsEachAlone_data()
    {
        QTest::addColumn<bool>("oneDate");
        QTest::newRow("one date") << true;
        QTest::newRow("shift 3 on another date") << false;
    }
    void fourListsReadAtOnceAsEachAlone()
    {
        QFETCH(bool, oneDate);
        const int namesake = tdb->addWorker("Д'Артаньян Ш.Б.");
        const int byCode = tdb->addWorker("Кодов К.К.");
        const int twice = tdb->addWorker("Дважды Д.Д.");
        tdb->run("update cmn_contractor.person set id = id + 900000 where id = :w", {{"w", byCode}});
        tdb->run("insert into cmn_contractor.person(id, s_code, s_caption) values(800000, :w, 'Другой Д.Д.')",
                 {{"w", QString::number(twice)}});
        const int paint = tdb->addKind("Покраска");
        const int product = tdb->addProduct("АБ-2");
        const int painting = tdb->addOperation(paint, product, 1);
        const int blank = tdb->addOperation(paint, tdb->addProduct("АА-1"), 0);
        int n = 0;
        for (int shift = 1; shift <= 4; ++shift)
            for (int w : {worker, namesake, byCode, twice})
                for (int op : {operation, painting, blank}) {
                    const char* mark = ++n % 7 == 0 ? "ta" : n % 3 == 0 ? "ok" : "no";
                    tdb->addEntry({w, op, kWednesday, shift, n, n % 2, 1 + n % 8, 1.25 * n, op == painting ? n % 3 : 0,
                                   QString::fromUtf8(mark)});
                }
        tdb->addEntry({worker, operation, kSaturday, 3});
        tdb->run("update accounts_dep.smena set ok = null where id % 11 = 0");

        for (int shift = 1; shift <= 4; ++shift)
            dm->shiftList(shift).setParam("data", oneDate || shift != 3 ? kWednesday : kSaturday);
        dm->reopenShiftLists();
        for (int shift = 1; shift <= 4; ++shift) {
            Dataset& list = dm->shiftList(shift);
            Dataset alone(dm->db, "alone", list.sql());
            alone.setParam("data", list.param("data"));
            alone.setParam("ok", list.param("ok"));
            alone.open();
            QVERIFY(list.isActive());
            QCOMPARE(list.fieldNames(), alone.fieldNames());
            QVERIFY2(alone.recordCount() > 0, qPrintable(QString::number(shift)));
            QCOMPARE(list.fetchedRows().size(), alone.fetchedRows().size());
            for (int row = 0; row < alone.fetchedRows().size(); ++row)
                for (int f = 0; f < alone.fieldNames().size(); ++f) {
                    const QVariant mine = list.fetchedRows()[row][f], own = alone.fetchedRows()[row][f];
                    QVERIFY2(mine.typeId() == own.typeId() && mine == own,
                             qPrintable(QStringLiteral("shift %1, row %2, %3: %4 against %5")
                                            .arg(shift)
                                            .arg(row)
                                            .arg(alone.fieldNames()[f], mine.toString(), own.toString())));
                }
        }
        QCOMPARE(dm->shiftList3.recordCount(), oneDate ? dm->shiftList2.recordCount() : 1);
    }

    void doubleClickTogglesAcceptance_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("after");
        QTest::newRow("no becomes ok") << int(Role::FullRights) << "no" << "ok";
        QTest::newRow("ok becomes no") << int(Role::FullRights) << "ok" << "no";
        QTest::newRow("да becomes no") << int(Role::Warehouse) << "да" << "no";
        QTest::newRow("foremen change nothing") << int(Role::Foremen) << "no" << "no";
        QTest::newRow("viewers change nothing") << int(Role::Viewer) << "no" << "no";
    }
    void doubleClickTogglesAcceptance()
    {
        QFETCH(int, role);
        QFETCH(QString, mark);
        tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 8, 1, 0, "no"});
        const int id = tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 8, 1, 5, mark});
        openOn(kWednesday);
        reg->beginSession(Role(role));
        dm->shiftList1.setRecNo(2);
        reg->toggleAcceptance();
        QTEST(tdb->value("select trim(ok) from accounts_dep.smena where id=:id", {{"id", id}}).toString(), "after");
        QCOMPARE(dm->shiftList1.recNo(), 2);
        QCOMPARE(reg->entriesGrid->currentIndex().row(), 1);
    }

    // Deleting one of two entries leaves the day cell at the other entry's hours; deleting
    // the last one sets it to 0; the row's other days stay; declining changes nothing.
    void deleteKeepsTimesheetCell()
    {
        const int first = tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 5});
        tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 3, 1, 7});
        tdb->run("insert into accounts_dep.h_tabel(w_id, month, year, smena, d1, d13) values(:w, 3, 2024, 1, 7, 8)",
                 {{"w", worker}});
        openOn(kWednesday);
        QVERIFY(dm->shiftList1.locate("id", first));

        messages->answers = {false};
        reg->deleteEntry();
        QCOMPARE(messages->shown.last().caption, QStringLiteral("Удаление"));
        QCOMPARE(messages->last(), QStringLiteral("Удалить позицию из списка?"));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 2);
        QCOMPARE(hTabelDay(13), 8);

        QVERIFY(dm->shiftList1.locate("id", first));
        messages->answers = {true};
        reg->deleteEntry();
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 1);
        QCOMPARE(hTabelDay(13), 3);
        QCOMPARE(dm->shiftList1.recordCount(), 1);

        messages->answers = {true};
        reg->deleteEntry();
        QCOMPARE(hTabelDay(13), 0);
        QCOMPARE(hTabelDay(1), 7);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.h_tabel"), 1);
        // On an empty list nothing is asked.
        messages->clear();
        reg->deleteEntry();
        QVERIFY(messages->shown.isEmpty());
    }

    // The date box moved on (not applied yet): the entry's own date is the cell it leaves.
    void deleteKeepsTheEntrysOwnDay()
    {
        tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 5});
        tdb->run("insert into accounts_dep.h_tabel(w_id, month, year, smena, d13) values(:w, 3, 2024, 1, 5)",
                 {{"w", worker}});
        openOn(kWednesday);
        reg->dateEdit->setDate(kWednesday.addDays(1));
        messages->answers = {true};
        reg->deleteEntry();
        QCOMPARE(hTabelDay(13), 0);
        QCOMPARE(hTabelDay(14), -1);
    }

    void failedDeleteLeavesEntryAndCell()
    {
        tdb->addEntry({worker, operation, kWednesday, 1, 1, 0, 5});
        tdb->run("insert into accounts_dep.h_tabel(w_id, month, year, smena, d13) values(:w, 3, 2024, 1, 5)",
                 {{"w", worker}});
        tdb->run("create function fail() returns trigger language plpgsql as $$ begin raise exception "
                 "'таблица заблокирована'; end $$");
        tdb->run("create trigger h_fail before update on accounts_dep.h_tabel for each row execute function fail()");
        openOn(kWednesday);
        messages->answers = {true};
        reg->deleteEntry();
        QVERIFY(messages->last().contains(QStringLiteral("таблица заблокирована")));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 1);
        QCOMPARE(hTabelDay(13), 5);
        QCOMPARE(dm->shiftList1.recordCount(), 1);
    }

    void rolesRestrictTheWindow_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("disabled");
        QTest::newRow("full") << int(Role::FullRights) << "";
        QTest::newRow("viewer") << int(Role::Viewer)
                                << "Button1 Button2 Button3 Button8 RadioButton1 RadioButton2 RadioButton3 "
                                   "RadioButton4 CBox1 DateT N2 N11";
        QTest::newRow("foremen") << int(Role::Foremen) << "Button2 Button3 N2 N11";
        QTest::newRow("warehouse") << int(Role::Warehouse) << "Button1 Button2 Button3 N2 N11";
    }
    void rolesRestrictTheWindow()
    {
        QFETCH(int, role);
        QFETCH(QString, disabled);
        reg->beginSession(Role(role));
        const QStringList off = disabled.split(' ', Qt::SkipEmptyParts);
        for (const char* name : {"Button1", "Button2", "Button3", "Button8", "Button5", "Button4", "RadioButton1",
                                 "RadioButton2", "RadioButton3", "RadioButton4", "CBox1", "DBGrid2", "DateT"}) {
            auto* w = reg->findChild<QWidget*>(name);
            QVERIFY2(w, name);
            QCOMPARE(w->isEnabled(), !off.contains(name));
        }
        QCOMPARE(reg->referenceBooksMenu->menuAction()->isEnabled(), !off.contains("N2"));
        QCOMPARE(reg->timesheetsMenu->menuAction()->isEnabled(), !off.contains("N11"));
        QVERIFY(reg->reportsMenu->menuAction()->isEnabled());
        QVERIFY(reg->exitAction->isEnabled());
    }

    void menuHasEveryItem()
    {
        QStringList items;
        for (QAction* a : reg->findChildren<QAction*>())
            if (!a->objectName().isEmpty())
                items << a->objectName() + "=" + a->text().remove('&');
        items.sort();
        QStringList expected{"N1=Рабочие", "N10=Сводные отчеты", "N13=Табель по сменам",
                                     "N14=Табель хоз. работ", "N15=Табель ср. сдельная", "N17=Общий табель",
                                     "N3=Изделия", "N4=Цены", "N5=Выход", "N6=Операции", "N8=Ном. группы",
                                     "N9=Табель сделка", "entryHistoryAction=История позиции",
                                     "changeJournalAction=Журнал изменений"};
        expected.sort();
        QCOMPARE(items, expected);
    }
};

QTEST_MAIN(RegisterTest)
#include "test_register_window.moc"
