// The change history and the closed months, through the stores: every kind of write leaves one
// history row with the stored row before and after, in the write's own transaction; a closed
// month refuses every write of its data with nothing written, also when a save races the close;
// a database without the program's own schema works as before.
#include "entry_store.h"
#include "groups_store.h"
#include "lock_keys.h"
#include "kinds_store.h"
#include "month_close_store.h"
#include "month_rebuild.h"
#include "operations_list_store.h"
#include "operations_store.h"
#include "products_store.h"
#include "program_fixture.h"
#include "sample_entry.h"
#include "register_store.h"
#include "repeat_shift_store.h"
#include "workers_store.h"
#include "works_store.h"

#include <QSysInfo>
#include <QtTest>
#include <functional>
#include <thread>

namespace {

const QDate kDay(2024, 3, 13);
const TimesheetMonth kMarch{3, 2024};
const QString kMarchClosed = QStringLiteral("Месяц 03.2024 закрыт. Изменения запрещены.");

} // namespace

class ChangeLogTest : public FixtureTest {
    Q_OBJECT

    int worker = 0, product = 0, operation = 0, group = 0, kind = 0, entry = 0, works = 0;

    EntryValues entryOn(const QDate& date, int quantity = 5) const
    {
        return sampleEntry(worker, operation, product, date, quantity);
    }
    WorksValues worksOn(const QDate& date, int hours = 8) const
    {
        WorksValues v;
        v.nomenclatureId = group;
        v.workerId = worker;
        v.hours = hours;
        v.price = *Decimal4::fromText("100");
        v.date = date;
        return v;
    }
    Row stored(const QString& table, int id)
    {
        return *firstRow(tdb->db(), QStringLiteral("select * from %1 where id=:id").arg(table), {{"id", id}});
    }
    qint64 lastLogged() { return tdb->value("select coalesce(max(id), 0) from tabel.change_log").toLongLong(); }
    // The data a closed month keeps, and the history: what a refused write must leave alone.
    QString everything()
    {
        QStringList all;
        for (const QString table : {"accounts_dep.smena", "accounts_dep.fatigue", "accounts_dep.h_tabel",
                                    "cmn_gds_and_srv.gds_and_srv", "tabel.change_log"})
            all << tdb->value(QStringLiteral("select coalesce(string_agg(t::text, '|' order by t.id), '') from %1 t")
                                  .arg(table))
                       .toString();
        return all.join(u'\n');
    }

    // Every kind of write, by name.
    std::function<Outcome()> write(const QString& name)
    {
        Database& db = dm->db;
        const std::map<QString, std::function<Outcome()>> writes{
            {"entry add", [this, &db] { return EntryStore(db).add(entryOn(kDay.addDays(1))); }},
            {"repeated shift", [this, &db] {
                 int skipped = 0;
                 return RepeatShiftStore(db).write({entryOn(kDay.addDays(1))}, &skipped);
             }},
            {"entry change", [this, &db] { return EntryStore(db).change(stored("accounts_dep.smena", entry), entryOn(kDay, 7)); }},
            {"entry acceptance", [this, &db] { return RegisterStore(db).toggleAcceptance(stored("accounts_dep.smena", entry)); }},
            {"entry delete", [this, &db] { return RegisterStore(db).deleteEntry(stored("accounts_dep.smena", entry)); }},
            {"works add", [this, &db] { return WorksStore(db).add(worksOn(kDay.addDays(1))); }},
            {"works change", [this, &db] { return WorksStore(db).change(stored("accounts_dep.fatigue", works), worksOn(kDay, 6)); }},
            {"works delete", [this, &db] { return WorksStore(db).remove(stored("accounts_dep.fatigue", works)); }},
            {"works prices", [this, &db] { return WorksStore(db).recomputeAveragePrices(kMarch); }},
            {"piece-work rebuild", [&db] { return rebuildMonth(db, MonthRows::PieceWork, kMarch); }},
            {"works rebuild", [&db] { return rebuildMonth(db, MonthRows::Works, kMarch); }},
            {"norm add", [this, &db] {
                 int id = 0;
                 return OperationsStore(*dm).storeNorm(operation, {0, "2", "15", "0"}, &id);
             }},
            {"norm change", [this, &db] {
                 int id = 0;
                 const int norm = tdb->value("select min(id) from accounts_dep.norm").toInt();
                 return OperationsStore(*dm).storeNorm(operation, {norm, "1", "12,5", "0"}, &id);
             }},
            {"norm delete", [this, &db] {
                 return OperationsStore(*dm).deleteNorm(operation, tdb->value("select max(id) from accounts_dep.norm").toInt());
             }},
            {"operation change", [this, &db] { return OperationsStore(*dm).saveOperation(operation, {kind, 1, product}); }},
            {"worker add", [this, &db] { return WorkersStore(db).add({"Борисов", std::nullopt}); }},
            {"worker change", [this, &db] { return WorkersStore(db).change(worker, {"Аверин-Петров", std::nullopt}); }},
            {"worker delete", [this, &db] { return WorkersStore(db).remove(tdb->addWorker("Лишний")); }},
            {"product add", [this, &db] { return ProductsStore(*dm).save(0, {"КМ-2", "1", group}); }},
            {"product change", [this, &db] { return ProductsStore(*dm).save(product, {"КМ-1А", "1", group}); }},
            {"product delete", [this, &db] { return ProductsStore(*dm).remove(tdb->addProduct("Лишнее"), false, true, false); }},
            {"kind add", [this, &db] { return KindsStore(*dm).save(0, "Покраска"); }},
            {"kind change", [this, &db] { return KindsStore(*dm).save(kind, "Сборка узла"); }},
            {"kind delete", [this, &db] { return KindsStore(*dm).remove(tdb->addKind("Лишняя")); }},
            {"group add", [this, &db] { return GroupsStore(db).add("Шкафы"); }},
            {"group rename", [this, &db] { return GroupsStore(db).rename(group, "Стеллажи большие"); }},
            {"month close", [&db] { return MonthCloseStore(db).close({2, 2024}); }},
            {"month open", [&db] {
                 MonthCloseStore(db).close({2, 2024});
                 return MonthCloseStore(db).open({2, 2024}, "Ошибка в часах Иванова");
             }},
        };
        return writes.at(name);
    }

private slots:
    // The computer's user the history records, the same on every machine.
    void initTestCase() { qputenv("USER", "ivanova"); }
    void init()
    {
        makeFixture();
        worker = tdb->addWorker("Аверин");
        group = tdb->addGroup("Стеллажи");
        product = tdb->addProduct("КМ-1", group);
        kind = tdb->addKind("Сборка");
        operation = tdb->addOperation(kind, product);
        tdb->addNorm(operation, 10);
        tdb->addNorm(operation, 12, 2);
        tdb->addKind("Ср. сдельная", 7778);
        entry = tdb->addEntry({worker, operation, kDay, 1, 5, 0, 8, 8});
        works = tdb->addWorks({worker, kDay, 7778, 8, 100, 0, group});
        dm->db.build = QStringLiteral("20240301.3600");
    }
    void cleanup() { dropFixture(); }

    // The history row of each kind of write: its action, table and the stored row before and
    // after (an SQL expression over the row and its text).
    void eachWriteLeavesOneRow_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const QString smena = "accounts_dep.smena", fatigue = "accounts_dep.fatigue", norm = "accounts_dep.norm";
        QTest::newRow("entry add") << "add" << smena << "old_row" << "new_row->>'kol_vo' = '5' and new_row->>'data' = '2024-03-14'";
        QTest::newRow("repeated shift") << "add" << smena << "old_row" << "new_row->>'kol_vo' = '5' and new_row->>'data' = '2024-03-14'";
        QTest::newRow("entry change") << "change" << smena << "old_row->>'kol_vo' = '5'" << "new_row->>'kol_vo' = '7'";
        QTest::newRow("entry acceptance") << "accept" << smena << "old_row->>'ok' = 'no'" << "new_row->>'ok' = 'ok'";
        QTest::newRow("entry delete") << "delete" << smena << "old_row->>'kol_vo' = '5'" << "new_row";
        QTest::newRow("works add") << "add" << fatigue << "old_row" << "new_row->>'cnt' = '8'";
        QTest::newRow("works change") << "change" << fatigue << "old_row->>'cnt' = '8'" << "new_row->>'cnt' = '6'";
        QTest::newRow("works delete") << "delete" << fatigue << "old_row->>'cnt' = '8'" << "new_row";
        // The worker's piece-work of the month on the group's products: 5 × 8 in 8 hours.
        QTest::newRow("works prices") << "rebuild" << fatigue << "(old_row->0->>'price')::numeric = 100"
                                      << "(new_row->0->>'price')::numeric = 5 and row_key->>'month' = '3'";
        QTest::newRow("piece-work rebuild") << "rebuild" << "accounts_dep.h_tabel" << "jsonb_array_length(old_row) = 0"
                                            << "(new_row->0->>'d13')::int = 8 and row_key->>'rows' = 'piece-work'";
        QTest::newRow("works rebuild") << "rebuild" << "accounts_dep.h_tabel" << "jsonb_array_length(old_row) = 0"
                                       << "(new_row->0->>'i_type')::int = 7778 and row_key->>'rows' = 'works'";
        QTest::newRow("norm add") << "add" << norm << "old_row" << "(new_row->>'price')::numeric = 15";
        QTest::newRow("norm change") << "change" << norm << "(old_row->>'price')::numeric = 10"
                                     << "(new_row->>'price')::numeric = 12.5";
        QTest::newRow("norm delete") << "delete" << norm << "(old_row->>'price')::numeric = 12" << "new_row";
        QTest::newRow("operation change") << "change" << "accounts_dep.oper" << "old_row->>'naimen' = '0'"
                                          << "new_row->>'naimen' = '1'";
        QTest::newRow("worker add") << "add" << "accounts_dep.person" << "old_row" << "new_row->>'fio' = 'Борисов'";
        QTest::newRow("worker change") << "change" << "accounts_dep.person" << "old_row->>'fio' = 'Аверин'"
                                       << "new_row->>'fio' = 'Аверин-Петров'";
        QTest::newRow("worker delete") << "delete" << "accounts_dep.person" << "old_row->>'fio' = 'Лишний'" << "new_row";
        QTest::newRow("product add") << "add" << "cmn_gds_and_srv.gds_and_srv" << "old_row"
                                     << "new_row->>'s_caption' = 'КМ-2'";
        QTest::newRow("product change") << "change" << "cmn_gds_and_srv.gds_and_srv" << "old_row->>'s_caption' = 'КМ-1'"
                                        << "new_row->>'s_caption' = 'КМ-1А'";
        QTest::newRow("product delete") << "delete" << "cmn_gds_and_srv.gds_and_srv"
                                        << "old_row->>'s_caption' = 'Лишнее'" << "new_row";
        QTest::newRow("kind add") << "add" << "accounts_dep.vid_oper" << "old_row" << "rtrim(new_row->>'vid') = 'Покраска'";
        QTest::newRow("kind change") << "change" << "accounts_dep.vid_oper" << "rtrim(old_row->>'vid') = 'Сборка'"
                                     << "rtrim(new_row->>'vid') = 'Сборка узла'";
        QTest::newRow("kind delete") << "delete" << "accounts_dep.vid_oper" << "rtrim(old_row->>'vid') = 'Лишняя'"
                                     << "new_row";
        QTest::newRow("group add") << "add" << "cmn_classifier.item" << "old_row" << "new_row->>'s_caption' = 'Шкафы'";
        QTest::newRow("group rename") << "change" << "cmn_classifier.item" << "old_row->>'s_caption' = 'Стеллажи'"
                                      << "new_row->>'s_caption' = 'Стеллажи большие'";
        QTest::newRow("month close") << "close" << "tabel.closed_month" << "old_row"
                                     << "new_row->>'month' = '2' and row_key = '{\"year\": 2024, \"month\": 2}'";
        QTest::newRow("month open") << "open" << "tabel.closed_month" << "old_row->>'month' = '2'"
                                    << "new_row->>'reason' = 'Ошибка в часах Иванова'";
    }
    void eachWriteLeavesOneRow()
    {
        QFETCH(QString, action);
        QFETCH(QString, table);
        QFETCH(QString, before);
        QFETCH(QString, after);
        // An open of a month needs its close first, which is a row of its own.
        const bool closesFirst = QByteArray(QTest::currentDataTag()) == "month open";
        const qint64 mark = lastLogged();
        QCOMPARE(write(QString::fromLatin1(QTest::currentDataTag()))().refusal(), QString());
        QCOMPARE(tdb->count("select count(*) from tabel.change_log where id > :m", {{"m", mark}}), closesFirst ? 2 : 1);
        // A bare "old_row" or "new_row" says there is none.
        auto holds = [](const QString& check) {
            return check == "old_row" || check == "new_row" ? check + " is null" : check;
        };
        const QString logged = QStringLiteral("select count(*) from tabel.change_log where id = (select max(id) from "
                                              "tabel.change_log) and action = :a and table_name = :t and row_key is not "
                                              "null and (%1) and (%2)")
                                   .arg(holds(before), holds(after));
        QCOMPARE(tdb->count(logged, {{"a", action}, {"t", table}}), 1);
    }

    // Who wrote: the login's role, the computer's user and name, the build.
    void whoWrote()
    {
        dm->db.loginRole = Role::Foremen;
        QVERIFY(EntryStore(dm->db).add(entryOn(kDay.addDays(1))));
        const Row row = *firstRow(tdb->db(), "select * from tabel.change_log order by id desc limit 1");
        QCOMPARE(row["login_role"].asString(), QStringLiteral("foremen"));
        QCOMPARE(row["host"].asString(), QSysInfo::machineHostName());
        QCOMPARE(row["os_user"].asString(), QStringLiteral("ivanova"));
        QCOMPARE(row["build"].asString(), QStringLiteral("20240301.3600"));
        QVERIFY(row["at"].asDateTime().secsTo(QDateTime::currentDateTime()) < 60);
    }

    // Writes of several rows leave one history row per written row.
    void severalRowsEach()
    {
        qint64 mark = lastLogged();
        QVERIFY(OperationsStore(*dm).saveOperation(0, {kind, 1, product}));
        QCOMPARE(tdb->value("select string_agg(table_name || ' ' || action, ', ' order by id) from tabel.change_log "
                            "where id > :m",
                            {{"m", mark}})
                     .toString(),
                 QStringLiteral("accounts_dep.oper add, accounts_dep.norm add"));

        tdb->addEntry({worker, operation, kDay.addDays(2), 2, 3, 0, 4, 8});
        mark = lastLogged();
        QVERIFY(ProductsStore(*dm).remove(product, true, true, true));
        QCOMPARE(tdb->value("select string_agg(table_name || ' ' || action || ' ' || count, ', ' order by min) from "
                            "(select table_name, action, count(*), min(id) from tabel.change_log where id > :m "
                            "group by table_name, action) x",
                            {{"m", mark}})
                     .toString(),
                 QStringLiteral("accounts_dep.smena delete 2, accounts_dep.norm delete 3, accounts_dep.oper delete 2, "
                                "cmn_gds_and_srv.gds_and_srv delete 1"));
    }

    // A write that fails after its first statement wrote history leaves none; a refused one none.
    void failedWriteLeavesNone()
    {
        const qint64 mark = lastLogged();
        const int norms = tdb->count("select count(*) from accounts_dep.norm");
        // The operation's norms go first, then the operation, which an entry still refers to.
        QVERIFY_THROWS_EXCEPTION(DbError, ProductsStore(*dm).remove(product, true, false, false));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.norm"), norms);
        QVERIFY(EntryStore(dm->db).add(entryOn(kDay, 5)).refusal().contains("уже заведена"));
        QCOMPARE(tdb->count("select count(*) from tabel.change_log where id > :m", {{"m", mark}}), 0);
    }

    // Every write of a closed month's data is refused with nothing written.
    void closedMonthRefuses_data()
    {
        QTest::addColumn<QString>("write");
        for (const char* w : {"entry add", "repeated shift", "entry change", "entry acceptance", "entry delete", "works add", "works change",
                              "works delete", "works prices", "piece-work rebuild", "works rebuild"})
            QTest::newRow(w) << QString::fromLatin1(w);
        QTest::newRow("entry moved into the month") << "moved in";
        QTest::newRow("entry moved out of the month") << "moved out";
        QTest::newRow("product delete with its entries") << "product";
    }
    void closedMonthRefuses()
    {
        QFETCH(QString, write);
        const int april = tdb->addEntry({worker, operation, QDate(2024, 4, 2), 1, 5, 0, 8, 8});
        QVERIFY(MonthCloseStore(dm->db).close(kMarch));
        const QString before = everything();
        Outcome outcome = Outcome::failed();
        if (write == "moved in")
            outcome = EntryStore(dm->db).change(stored("accounts_dep.smena", april), entryOn(kDay.addDays(3)));
        else if (write == "moved out")
            outcome = EntryStore(dm->db).change(stored("accounts_dep.smena", entry), entryOn(QDate(2024, 4, 3)));
        else if (write == "product")
            outcome = ProductsStore(*dm).remove(product, false, true, true);
        else
            outcome = this->write(write)();
        QCOMPARE(outcome.refusal(), kMarchClosed);
        QCOMPARE(everything(), before);
        // The month after is open; the month is open again once opened.
        QVERIFY(EntryStore(dm->db).add(entryOn(QDate(2024, 4, 5))));
        QVERIFY(MonthCloseStore(dm->db).open(kMarch, "Исправление"));
        QVERIFY(EntryStore(dm->db).add(entryOn(kDay.addDays(5))));
    }

    // Closing and opening: full rights only, a reason to open, not twice.
    void closeAndOpenRefusals()
    {
        MonthCloseStore months(dm->db);
        dm->db.loginRole = Role::Viewer;
        QCOMPARE(months.close(kMarch).refusal(), QStringLiteral("Недостаточно прав для закрытия и открытия месяцев."));
        dm->db.loginRole = Role::FullRights;
        QCOMPARE(months.open(kMarch, "Исправление").refusal(), QStringLiteral("Месяц 03.2024 не закрыт."));
        QVERIFY(months.close(kMarch));
        QCOMPARE(months.close(kMarch).refusal(), QStringLiteral("Месяц 03.2024 уже закрыт."));
        QCOMPARE(months.open(kMarch, "  ").refusal(), QStringLiteral("Укажите причину открытия месяца."));
        QVERIFY(months.closeOf(kMarch));
        QCOMPARE(months.closeOf(kMarch)->closedBy, "ivanova@" + QSysInfo::machineHostName());
        QVERIFY(!months.closeOf({4, 2024}));
    }

    // A save racing a close either lands before the close, and is in the history before it, or is
    // refused; two connections, each step awaited in pg_locks.
    void saveRacingClose_data()
    {
        QTest::addColumn<bool>("saveFirst");
        QTest::addColumn<bool>("deletes");  // the register's delete, which locks the month in its own statement
        QTest::newRow("the save holds the month first") << true << false;
        QTest::newRow("the close holds the month first") << false << false;
        QTest::newRow("the close holds the month first, a delete") << false << true;
    }
    void saveRacingClose()
    {
        QFETCH(bool, saveFirst);
        QFETCH(bool, deletes);
        const EntryValues values = entryOn(kDay.addDays(1));
        auto waiting = [&](int count) {
            QTRY_COMPARE_WITH_TIMEOUT(
                tdb->count("select count(*) from pg_locks where locktype='advisory' and not granted"), count, 10000);
        };
        // The test's own connection holds what makes the other side wait.
        Database& holder = tdb->db();
        holder.begin();
        if (saveFirst) {
            // The entry's key: the save takes the month (shared) first, then waits for the key.
            holder.lockKey(lock_keys::entry(values.workerId, values.operationId, values.productId, values.date,
                                            values.shiftNo, values.colour));
        } else {
            // A close in progress: the month held exclusively and its row written.
            holder.lockKey(lock_keys::timesheetMonth(3, 2024));
            holder.exec("insert into tabel.closed_month values (2024, 3, now(), 'другая копия')");
        }
        Outcome saved = Outcome::failed(), closed = Outcome::failed();
        const Row shown = stored("accounts_dep.smena", entry);
        std::thread saving([&] {
            saved = onConnectionOfItsOwn([&](Database& db) {
                return deletes ? RegisterStore(db).deleteEntry(shown) : EntryStore(db).add(values);
            });
        });
        waiting(1);
        std::thread closing;
        if (saveFirst) {
            closing = std::thread(
                [&] { closed = onConnectionOfItsOwn([](Database& db) { return MonthCloseStore(db).close(kMarch); }); });
            waiting(2);
        }
        holder.commit();
        saving.join();
        if (closing.joinable())
            closing.join();
        if (saveFirst) {
            QVERIFY(saved);
            QVERIFY(closed);
            QCOMPARE(tdb->value("select string_agg(action, ' ' order by id) from tabel.change_log").toString(),
                     QStringLiteral("add close"));
        } else {
            QCOMPARE(saved.refusal(), kMarchClosed);
            QCOMPARE(tdb->count("select count(*) from tabel.change_log"), 0);
        }
        QCOMPARE(tdb->value("select string_agg(kol_vo::text, ' ' order by id) from accounts_dep.smena").toString(),
                 saveFirst ? QStringLiteral("5 5") : QStringLiteral("5"));
    }

    // A database without the program's own schema: every write as before, no history, and
    // closing a month refused with the reason.
    void withoutOwnSchema()
    {
        TestDatabase plain(TestDatabase::OwnSchema::Without);
        DataModule other;
        other.db.open(plain.settings());
        other.db.loginRole = Role::FullRights;
        QVERIFY(!historyAvailable(other.db));
        const int w = plain.addWorker("Аверин");
        const int p = plain.addProduct("КМ-1");
        EntryValues v = entryOn(kDay);
        v.workerId = w;
        v.productId = p;
        v.operationId = plain.addOperation(plain.addKind("Сборка"), p);
        QVERIFY(EntryStore(other.db).add(v));
        QVERIFY(rebuildMonth(other.db, MonthRows::PieceWork, kMarch));
        QVERIFY(RegisterStore(other.db).deleteEntry(
            *firstRow(plain.db(), "select * from accounts_dep.smena")));
        QCOMPARE(MonthCloseStore(other.db).close(kMarch).refusal(), historyUnavailableReason(other.db));
        QVERIFY(historyUnavailableReason(other.db).contains("нет схемы tabel"));
        QCOMPARE(plain.count("select count(*) from pg_namespace where nspname = 'tabel'"), 0);
    }

private:
    // Runs a store command on a connection of its own, as another copy of the program would.
    Outcome onConnectionOfItsOwn(const std::function<Outcome(Database&)>& command)
    {
        Database db(QStringLiteral("other_copy"));
        db.open(tdb->settings());
        db.loginRole = Role::FullRights;
        const Outcome outcome = command(db);
        db.close();
        return outcome;
    }
};

QTEST_MAIN(ChangeLogTest)
#include "test_change_log.moc"
