// The history and the month close as the user meets them, through the program's windows: the
// entry's history from the register (Ctrl+H and the grid's context menu), the journal with its
// filters and its spreadsheet, closing and opening a month in the timesheets with the mark in
// both timesheets and the register, and a database without the program's own schema.
#include "by_shift_window.h"
#include "change_journal_window.h"
#include "entry_history_window.h"
#include "entry_store.h"
#include "month_close_bar.h"
#include "program_fixture.h"
#include "register_window.h"
#include "sample_entry.h"
#include "timesheet_window.h"
#include "windows.h"
#include "works_store.h"
#include "workers_store.h"
#include "xlsx_reader.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDate kDay(2024, 3, 13);

// The cells a grid shows, row by row, its columns joined with "|".
QStringList shownRows(QTableView* grid)
{
    QStringList rows;
    const QAbstractItemModel* model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                cells << model->index(r, c).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

class HistoryWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<TestDatabase> tdb;
    std::unique_ptr<Windows> windows;
    int worker = 0, other = 0, operation = 0, product = 0, group = 0;

    // The program started on the test's database and logged in with `role`.
    void start(Role role, TestDatabase::OwnSchema own = TestDatabase::OwnSchema::With)
    {
        messages = std::make_unique<MessageRecorder>();
        tdb = std::make_unique<TestDatabase>(own);
        worker = tdb->addWorker("Аверин");
        other = tdb->addWorker("Борисов");
        group = tdb->addGroup("Стеллажи");
        product = tdb->addProduct("КМ-1", group);
        operation = tdb->addOperation(tdb->addKind("Сборка"), product);
        tdb->addKind("Хоз. работы", 7777);
        windows = std::make_unique<Windows>();
        QVERIFY(windows->start({tdb->settings().database, tdb->settings().host}, {20240301, 3600}));
        // As the login leaves it.
        dm().db.loginRole = role;
        for (int shift = 1; shift <= 4; ++shift)
            dm().shiftList(shift).setParam(QStringLiteral("ok"), QStringLiteral("ta"));
        reg().beginSession(role);
    }
    DataModule& dm() { return windows->dataModule(); }
    RegisterWindow& reg() { return windows->registerWindow(); }
    void registerOn(const QDate& date)
    {
        reg().dateEdit->setDate(date);
        reg().changeDate();
    }
    EntryValues entryOf(int who, int quantity) const { return sampleEntry(who, operation, product, kDay, quantity); }
    Row storedEntry(int who)
    {
        return *firstRow(tdb->db(), "select * from accounts_dep.smena where w_id=:w", {{"w", who}});
    }

private slots:
    // The computer's user the history records, the same on every machine.
    void initTestCase() { qputenv("USER", "ivanova"); }
    void cleanup()
    {
        closeModalDialogs();
        windows.reset();
        tdb.reset();
        messages.reset();
    }

    // Ctrl+H on the register's entry lists its changes, field by field, with who made them.
    void entryHistoryFromTheRegister()
    {
        start(Role::FullRights);
        QVERIFY(EntryStore(dm().db).add(entryOf(worker, 30)));
        QVERIFY(EntryStore(dm().db).change(storedEntry(worker), entryOf(worker, 40)));
        // Shown first: showing a register opens it on today.
        reg().show();
        reg().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&reg()));
        registerOn(kDay);
        QVERIFY(reg().entriesGrid->actions().contains(reg().entryHistoryAction));
        QStringList lines;
        QString caption;
        whenShown<EntryHistoryWindow>([&](EntryHistoryWindow* w) {
            lines = shownRows(w->historyGrid);
            caption = w->entryLabel->text();
            w->reject();
        });
        QTest::keyClick(reg().entriesGrid, Qt::Key_H, Qt::ControlModifier);
        QTRY_VERIFY(!lines.isEmpty());
        QVERIFY2(caption.startsWith("Аверин; КМ-1; Сборка; 13.03.2024"), qPrintable(caption));
        const QString who = QStringLiteral("|Полные права|ivanova|%1|").arg(QSysInfo::machineHostName());
        // The add lists the values it set, the change only the field it changed.
        QVERIFY2(lines.first().contains(who + "Добавление|Рабочий||" + QString::number(worker)), qPrintable(lines.first()));
        QVERIFY(lines.contains("|||||Кол-во||30"));
        QVERIFY2(lines.last().contains(who + "Изменение|Кол-во|30|40"), qPrintable(lines.last()));
        QCOMPARE(lines.filter("Изменение").size(), 1);
    }

    // The journal of the month: every change, then one worker's, one kind of data's, one action's;
    // the selected change's fields; the spreadsheet of what is listed.
    void journalFiltersAndExports()
    {
        start(Role::Viewer);
        dm().db.loginRole = Role::FullRights;  // the changes are made by another copy with full rights
        QVERIFY(EntryStore(dm().db).add(entryOf(worker, 30)));
        QVERIFY(EntryStore(dm().db).add(entryOf(other, 12)));
        QVERIFY(EntryStore(dm().db).change(storedEntry(worker), entryOf(worker, 40)));
        WorksValues works;
        works.nomenclatureId = group;
        works.workerId = worker;
        works.hours = 4;
        works.price = *Decimal4::fromText("100");
        works.date = kDay;
        QVERIFY(WorksStore(dm().db).add(works));
        QVERIFY(WorkersStore(dm().db).change(other, {"Борисов-Белов", std::nullopt}));
        dm().db.loginRole = Role::Viewer;
        QVERIFY(reg().changeJournalAction->isEnabled());

        ChangeJournalWindow& journal = windows->changeJournal();
        journal.prepare();
        QCOMPARE(journal.countLabel->text(), QStringLiteral("Изменений: 5"));
        journal.workerBox->setCurrentIndex(journal.workerBox->findData(worker));
        journal.showChanges();
        QCOMPARE(journal.journal().recordCount(), 3);
        journal.whatBox->setCurrentIndex(journal.whatBox->findData("accounts_dep.smena"));
        journal.actionBox->setCurrentIndex(journal.actionBox->findData("change"));
        journal.showChanges();
        const QStringList rows = shownRows(journal.journalGrid);
        QCOMPARE(rows.size(), 1);
        QVERIFY2(rows.first().endsWith("|Изменение|Позиция|" + QString::number(storedEntry(worker)["id"].asInteger())
                                       + "|Аверин|13.03.2024"),
                 qPrintable(rows.first()));
        QCOMPARE(shownRows(journal.detailsGrid), QStringList{"Кол-во|30|40"});

        // A worker's own record is among the worker's changes.
        journal.workerBox->setCurrentIndex(journal.workerBox->findData(other));
        journal.whatBox->setCurrentIndex(0);
        journal.actionBox->setCurrentIndex(0);
        journal.showChanges();
        QCOMPARE(journal.journal().recordCount(), 2);
        QCOMPARE(shownRows(journal.detailsGrid).first(), "Рабочий||" + QString::number(other));  // the add
        journal.journal().last();
        QCOMPARE(shownRows(journal.detailsGrid), QStringList{"ФИО|Борисов|Борисов-Белов"});

        QTemporaryDir folder;
        qputenv("TABEL_EXPORT_DIR", folder.path().toUtf8());
        journal.exportToExcel();
        const QStringList files = QDir(folder.path()).entryList({"*.xlsx"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        QString error;
        const QJsonObject cells =
            readXlsx(folder.filePath(files.first()), &error)["sheets"].toArray().first().toObject()["cells"].toObject();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(cells["A1"].toObject()["value"].toString(), QStringLiteral("Когда"));
        QCOMPARE(cells["J1"].toObject()["value"].toString(), QStringLiteral("Изменения"));
        QCOMPARE(cells["H3"].toObject()["value"].toString(), QStringLiteral("Борисов-Белов"));
        QCOMPARE(cells["J3"].toObject()["value"].toString(), QStringLiteral("ФИО: Борисов → Борисов-Белов"));
        QVERIFY(!cells.contains("A4"));
        journal.finish();
    }

    // A month closed in the monthly timesheet shows closed there, in the timesheet by shifts and
    // in the register for its dates; the register's delete of its entry is refused; opening asks
    // for the reason, which the history keeps.
    void closeAndOpenAMonth()
    {
        start(Role::FullRights);
        QVERIFY(EntryStore(dm().db).add(entryOf(worker, 30)));
        TimesheetWindow& timesheet = windows->timesheetWindow();
        timesheet.prepare(TimesheetMode::PieceWork, {3, 2024});
        MonthCloseBar* bar = timesheet.monthCloseBar;
        QVERIFY(bar->closeButton->isEnabled());
        QVERIFY(!bar->openButton->isEnabled());
        QVERIFY(bar->mark->text().isEmpty());

        messages->answers << false;
        bar->closeButton->click();
        QVERIFY(bar->mark->text().isEmpty());
        messages->answers << true;
        bar->closeButton->click();
        QVERIFY2(bar->mark->text().startsWith("Месяц 03.2024 закрыт "), qPrintable(bar->mark->text()));
        QVERIFY(!bar->closeButton->isEnabled());
        QVERIFY(bar->openButton->isEnabled());
        timesheet.chooseMonth({4, 2024});
        QVERIFY(bar->mark->text().isEmpty());
        timesheet.finish();

        TimesheetByShiftWindow& byShift = windows->timesheetByShiftWindow();
        byShift.prepare(kDay);
        QVERIFY(byShift.monthCloseBar->mark->text().startsWith("Месяц 03.2024 закрыт "));

        registerOn(kDay);
        QVERIFY(reg().closedMonthMark->text().startsWith("Месяц 03.2024 закрыт "));
        messages->clear();
        messages->answers << true;
        reg().deleteEntry();
        QVERIFY(messages->texts().contains("Месяц 03.2024 закрыт. Изменения запрещены."));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 1);
        registerOn(QDate(2024, 4, 1));
        QVERIFY(reg().closedMonthMark->text().isEmpty());
        reg().show();
        registerOn(kDay);

        // Opening: a cancelled reason opens nothing; a given one opens the month.
        byShift.show();
        byShift.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&byShift));
        byShift.monthCloseBar->openButton->click();
        QVERIFY(byShift.monthCloseBar->mark->text().startsWith("Месяц 03.2024 закрыт "));
        messages->textAnswers << "Ошибка в часах Аверина";
        byShift.monthCloseBar->openButton->click();
        QVERIFY(byShift.monthCloseBar->mark->text().isEmpty());
        QCOMPARE(tdb->value("select new_row->>'reason' from tabel.change_log where action='open'").toString(),
                 QStringLiteral("Ошибка в часах Аверина"));
        // The register, its date unchanged, shows the month open when it is back in front.
        byShift.finish();
        byShift.hide();
        reg().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&reg()));
        QTRY_VERIFY(reg().closedMonthMark->text().isEmpty());
    }

    // Who sees the journal; without the program's own schema the history and the month close are
    // disabled, saying why, and the register works as before.
    void commandsByRoleAndSchema_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("ownSchema");
        QTest::addColumn<bool>("history");
        QTest::addColumn<bool>("journal");
        QTest::newRow("full rights") << int(Role::FullRights) << true << true << true;
        QTest::newRow("viewer") << int(Role::Viewer) << true << true << true;
        QTest::newRow("foremen") << int(Role::Foremen) << true << true << false;
        QTest::newRow("warehouse") << int(Role::Warehouse) << true << true << false;
        QTest::newRow("full rights, no schema") << int(Role::FullRights) << false << false << false;
    }
    void commandsByRoleAndSchema()
    {
        QFETCH(int, role);
        QFETCH(bool, ownSchema);
        QFETCH(bool, history);
        QFETCH(bool, journal);
        start(Role(role), ownSchema ? TestDatabase::OwnSchema::With : TestDatabase::OwnSchema::Without);
        QCOMPARE(reg().entryHistoryAction->isEnabled(), history);
        QCOMPARE(reg().changeJournalAction->isEnabled(), journal);
        // An action without a tooltip of its own shows its text.
        QCOMPARE(reg().changeJournalAction->toolTip() == reg().changeJournalAction->text(), journal);
        if (ownSchema)
            return;
        QVERIFY(reg().entryHistoryAction->toolTip().contains("нет схемы tabel"));
        QVERIFY(reg().changeJournalAction->toolTip().contains("нет схемы tabel"));
        // The register and the timesheets as before, the close commands off.
        QVERIFY(EntryStore(dm().db).add(entryOf(worker, 30)));
        registerOn(kDay);
        QCOMPARE(dm().shiftList1.recordCount(), 1);
        QVERIFY(reg().closedMonthMark->text().isEmpty());
        TimesheetWindow& timesheet = windows->timesheetWindow();
        timesheet.prepare(TimesheetMode::PieceWork, {3, 2024});
        QVERIFY(!timesheet.monthCloseBar->closeButton->isEnabled());
        QVERIFY(!timesheet.monthCloseBar->openButton->isEnabled());
        QVERIFY(timesheet.monthCloseBar->closeButton->toolTip().contains("нет схемы tabel"));
        timesheet.finish();
        QVERIFY(messages->shown.isEmpty());
    }
};

QTEST_MAIN(HistoryWindowsTest)
#include "test_history_windows.moc"
