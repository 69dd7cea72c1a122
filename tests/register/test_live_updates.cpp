// Two copies of the program on one database: what one commits appears in the other's register
// unasked, keeping the other's place; its own writes, rolled-back writes and foreign payloads
// re-read nothing; a dropped connection listens again.
#include "change_notice.h"
#include "entry_store.h"
#include "live_view.h"
#include "timesheet_window.h"
#include "worker_dialog.h"
#include "workers_list.h"
#include "workers_store.h"
#include "works_dialog.h"
#include "works_list.h"
#include "program_fixture.h"
#include "quick_entry_row.h"
#include "register_store.h"
#include "register_window.h"

#include <QDateEdit>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {
const QDate kDay(2024, 3, 13);
// A notification as another copy sends it: an entry added on kDay, shift 1.
const QString kSent = QStringLiteral(R"({"v":1,"copy":"c","kind":"entry","action":"add","days":["2024-03-13"],)"
                                     R"("month":null,"shift":1,"worker":7,"rows":1,"keys":[{"id":5}]})");
constexpr int kSeen = 3000;  // ms: "within a second", with room for a loaded machine
} // namespace

class LiveUpdatesTest : public FixtureTest {
    Q_OBJECT

    // Copy B is the fixture's data module with its register; copy A writes.
    std::unique_ptr<RegisterWindow> reg;
    std::unique_ptr<DataModule> copyA;
    int operation = 0;
    QList<int> workers;

    EntryValues entryOf(int worker, int hours = 8)
    {
        EntryValues v;
        v.workerId = worker;
        v.operationId = operation;
        v.productId = tdb->value("select i_id from accounts_dep.oper where id=:o", {{"o", operation}}).toInt();
        v.price = *Decimal4::fromText("8");
        v.quantity = 2;
        v.hours = hours;
        v.date = kDay;
        return v;
    }
    Dataset& shownList() { return dm->shiftList1; }
    int shownId() { return shownList().field("id").asInteger(); }
    QList<int> shownIds()
    {
        QList<int> ids;
        const int column = shownList().fieldIndex("id");
        for (int r = 0; r < shownList().recordCount(); ++r)
            ids << shownList().valueAt(r, column).toInt();
        return ids;
    }
    int idOf(int worker)
    {
        return tdb->value("select max(id) from accounts_dep.smena where w_id=:w", {{"w", worker}}).toInt();
    }
    // Lets every notification sent so far arrive and be handled (gathering included).
    void settle() { QTest::qWait(Gathered::kInterval + 200); }

private slots:
    void init()
    {
        makeFixture();
        operation = tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("КМ-1"));
        workers.clear();
        for (int n = 0; n < 60; ++n) {
            workers << tdb->addWorker(QStringLiteral("Рабочий %1").arg(n, 2, 10, QChar(u'0')));
            tdb->addEntry({.worker = workers.last(), .operation = operation, .date = kDay});
        }
        QVERIFY(dm->changes.start());
        reg = std::make_unique<RegisterWindow>(*dm);
        reg->beginSession(Role::FullRights);
        reg->show();
        reg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(reg.get()));
        reg->dateEdit->setDate(kDay);
        reg->changeDate();

        copyA = std::make_unique<DataModule>();
        copyA->db.open(tdb->settings());
        copyA->db.loginRole = Role::FullRights;
        copyA->decimalSeparator = QStringLiteral(".");
    }
    void cleanup()
    {
        copyA.reset();
        reg.reset();
        dropFixture();
    }

    void anotherCopysSaveAppearsKeepingPlace()
    {
        // B scrolled down, on the 20th entry, typing in its quick row.
        QScrollBar* scroll = reg->entriesGrid->verticalScrollBar();
        QVERIFY(scroll->maximum() > 5);
        shownList().setRecNo(20);
        const int selected = shownId();
        scroll->setValue(5);
        reg->quickRow->setFocus();
        QWidget* typing = QApplication::focusWidget();
        QVERIFY(typing && (typing == reg->quickRow || reg->quickRow->isAncestorOf(typing)));

        const int newcomer = tdb->addWorker("Аавик");  // sorts first
        QVERIFY(EntryStore(copyA->db).add(entryOf(newcomer)));
        QTRY_VERIFY_WITH_TIMEOUT(shownIds().contains(idOf(newcomer)), kSeen);
        QCOMPARE(shownList().recordCount(), 61);
        QCOMPARE(shownId(), selected);
        QCOMPARE(scroll->value(), 5);
        QCOMPARE(QApplication::focusWidget(), typing);
    }

    void anotherCopysDeleteSelectsTheRowInItsPlace()
    {
        shownList().setRecNo(2);
        const Row doomed = shownList().currentRow();
        const QList<int> before = shownIds();
        copyA->shiftList1.setParam("data", kDay);
        copyA->shiftList1.setParam("ok", "ta");
        copyA->shiftList1.open();
        QVERIFY(copyA->shiftList1.locate("id", doomed["id"].asInteger()));
        QVERIFY(RegisterStore(copyA->db).deleteEntry(copyA->shiftList1.currentRow()));
        QTRY_COMPARE_WITH_TIMEOUT(shownList().recordCount(), 59, kSeen);
        QCOMPARE(shownList().recNo(), 2);
        QCOMPARE(shownId(), before.at(2));
    }

    // What re-reads nothing: this copy's own write, a write rolled back, a payload that is not
    // a notification of this program. A later write of the other copy still arrives.
    void nothingToReread_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("own write") << "own";
        QTest::newRow("rolled back") << "rolled back";
        QTest::newRow("not JSON") << "garbage";
        QTest::newRow("another version") << "version";
    }
    void nothingToReread()
    {
        QFETCH(QString, what);
        QSignalSpy rereads(&shownList(), &Dataset::rowsReset);
        if (what == "own") {
            QVERIFY(EntryStore(dm->db).add(entryOf(tdb->addWorker("Свой"))));
            rereads.clear();  // the writer's own list is not re-read by the store
        } else if (what == "rolled back") {
            Transaction tx(copyA->db);
            QVERIFY(applyRowChange(copyA->db, DataKind::OperationKind, ChangeAction::Add, "accounts_dep.vid_oper",
                                   rowWrite::insert("accounts_dep.vid_oper", "vid", ":vid"), {{"vid", "Откат"}}));
        } else {
            const QString payload = what == "garbage" ? QStringLiteral("garbage") : QString(kSent).replace("\"v\":1", "\"v\":2");
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Ignored a notification"));
            copyA->db.exec("select pg_notify(:channel, :payload)", {{"channel", kChangeChannel}, {"payload", payload}});
        }
        settle();
        QCOMPARE(rereads.count(), 0);

        QVERIFY(EntryStore(copyA->db).add(entryOf(tdb->addWorker("Чужой"))));
        QTRY_VERIFY_WITH_TIMEOUT(rereads.count() > 0, kSeen);
    }

    // A notification that arrives while this copy's connection is busy with a statement is
    // handled once the statement has ended, not at the next statement.
    void arrivesWhileBusy()
    {
        QSignalSpy rereads(&shownList(), &Dataset::rowsReset);
        const ConnectionSettings& s = tdb->settings();
        QProcess other;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGPASSWORD", s.password);
        other.setProcessEnvironment(env);
        other.start("psql", {"-X", "-q", "-h", s.host, "-p", QString::number(s.port), "-U", s.user, "-d", s.database,
                             "-c", QStringLiteral("select pg_sleep(0.3); select pg_notify('%1', '%2')")
                                       .arg(QLatin1String(kChangeChannel), kSent)});
        QVERIFY(other.waitForStarted());
        dm->db.exec("select pg_sleep(1)");
        QVERIFY(other.waitForFinished());
        QCOMPARE(other.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(rereads.count() > 0, kSeen);
    }

    void burstIsGathered()
    {
        QSignalSpy rereads(&shownList(), &Dataset::rowsReset);
        Dataset& listA = copyA->shiftList1;
        listA.setParam("data", kDay);
        listA.setParam("ok", "ta");
        listA.open();
        for (listA.first(); !listA.eof(); listA.next())
            QVERIFY(RegisterStore(copyA->db).toggleAcceptance(listA.currentRow()));
        settle();
        // Each re-read of a list resets it twice (closed, opened); 60 commits in far less than
        // a second: the first at once and the rest gathered into few.
        QVERIFY2(rereads.count() / 2 <= 4, qPrintable(QString::number(rereads.count())));
        QCOMPARE(shownList().field("ok").asString().trimmed(), QStringLiteral("ok"));
    }

    void droppedConnectionListensAgain()
    {
        const int pid = dm->db.scalar("select pg_backend_pid()").toInt();
        tdb->value("select pg_terminate_backend(:pid)", {{"pid", pid}});
        // B's next command finds the connection gone and opens it again, then re-reads.
        QVERIFY(EntryStore(dm->db).add(entryOf(tdb->addWorker("После обрыва"))));
        QVERIFY(dm->db.scalar("select pg_backend_pid()").toInt() != pid);
        QVERIFY(dm->changes.isLive());
        QTRY_COMPARE_WITH_TIMEOUT(shownList().recordCount(), 61, kSeen);

        QVERIFY(EntryStore(copyA->db).add(entryOf(tdb->addWorker("Чужой"))));
        QTRY_COMPARE_WITH_TIMEOUT(shownList().recordCount(), 62, kSeen);
    }

    // The works list and a reference list re-read what they show; a timesheet keeps its rows
    // and says that they changed until F5.
    void otherWindowsFollow()
    {
        reg->hide();
        tdb->addKind("Хозяйственные работы", 7777);
        tdb->addOperation(7777, 7777);
        const int group = tdb->addGroup("Стеллажи");
        WorksDialog worksDialog(*dm);
        WorksList works(*dm, worksDialog);
        works.prepare(kDay);
        works.show();
        WorkerDialog workerDialog(*dm);
        WorkersList workersList(*dm, workerDialog);
        workersList.prepareBrowsing();
        workersList.show();
        const int workersBefore = dm->workers.recordCount();
        TimesheetWindow timesheet(*dm);
        timesheet.prepare(TimesheetMode::PieceWork, TimesheetMonth::of(kDay));
        timesheet.show();
        const int timesheetRows = timesheet.timesheet().recordCount();
        QVERIFY(!timesheet.changedLine->isVisible());

        QVERIFY(WorksStore(copyA->db).add({.nomenclatureId = group, .kind = 7777, .workerId = workers[0], .hours = 4,
                                           .price = *Decimal4::fromText("100"), .date = kDay}));
        QVERIFY(WorkersStore(copyA->db).add({.fio = "Новиков Н.Н.", .position = std::nullopt}));
        QVERIFY(EntryStore(copyA->db).add(entryOf(tdb->addWorker("Новый"))));
        QTRY_COMPARE_WITH_TIMEOUT(works.records.recordCount(), 1, kSeen);
        QTRY_VERIFY_WITH_TIMEOUT(dm->workers.recordCount() > workersBefore, kSeen);
        QTRY_VERIFY_WITH_TIMEOUT(timesheet.changedLine->isVisible(), kSeen);
        QCOMPARE(timesheet.changedLine->text(), QStringLiteral("Данные изменены другим пользователем — Обновить (F5)"));
        QCOMPARE(timesheet.timesheet().recordCount(), timesheetRows);

        QTest::keyClick(&timesheet, Qt::Key_F5);
        QVERIFY(!timesheet.changedLine->isVisible());
        QCOMPARE(timesheet.timesheet().recordCount(), timesheetRows + 1);
        workersList.finish();
        works.finish();
    }

    void payloadsAreReadStrictly_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<bool>("valid");
        const QString good = kSent;
        QTest::newRow("as sent") << good << true;
        QTest::newRow("many rows, no keys") << QString(good).replace(R"("keys":[{"id":5}])", R"("keys":null)") << true;
        QTest::newRow("unknown field") << QString(good).replace("\"v\":1", "\"v\":1,\"x\":0") << false;
        QTest::newRow("missing field") << QString(good).replace("\"worker\":7,", "") << false;
        QTest::newRow("unknown kind") << QString(good).replace("\"entry\"", "\"entries\"") << false;
        QTest::newRow("day not ISO") << QString(good).replace("2024-03-13", "13.03.2024") << false;
        QTest::newRow("month not a first day") << QString(good).replace("\"month\":null", "\"month\":\"2024-03-13\"")
                                               << false;
        QTest::newRow("shift 5") << QString(good).replace("\"shift\":1", "\"shift\":5") << false;
        QTest::newRow("worker as text") << QString(good).replace("\"worker\":7", "\"worker\":\"7\"") << false;
        QTest::newRow("no rows") << QString(good).replace("\"rows\":1", "\"rows\":0") << false;
        QTest::newRow("an array") << QStringLiteral("[1]") << false;
    }
    void payloadsAreReadStrictly()
    {
        QFETCH(QString, payload);
        QFETCH(bool, valid);
        const std::optional<ChangeNotice> notice = parseNotice(payload);
        QCOMPARE(notice.has_value(), valid);
        if (valid) {
            QCOMPARE(notice->days, QList<QDate>{kDay});
            QCOMPARE(notice->shiftNo, 1);
            QCOMPARE(notice->workerId, 7);
        }
    }
};

QTEST_MAIN(LiveUpdatesTest)
#include "test_live_updates.moc"
