// The month rebuilds: the rows and cells of the day-by-day algorithm, atomic under a failure,
// one result for two copies at once, and day cell writes of the month kept out while a rebuild
// runs.
#include "database.h"
#include "entry_store.h"
#include "lock_keys.h"
#include "month_rebuild.h"
#include "row_by_row_rebuild.h"
#include "test_database.h"
#include "works_store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

Q_DECLARE_METATYPE(MonthRows)

class MonthRebuildTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> tdb;
    int a = 0, b = 0, c = 0, op = 0, product = 0;

    void addRegister(int worker, const QDate& date, int shift, int hours)
    {
        tdb->addEntry({worker, op, date, shift, 1, 0, hours});
    }
    void addWorks(int worker, int kind, const QDate& date, int hours, int night = 0)
    {
        tdb->addWorks({worker, date, kind, hours, 100, night});
    }
    // Register entries and works of March 2024, of the months around it and of December 2023.
    void addSourceRecords()
    {
        addRegister(a, {2024, 3, 1}, 1, 8);
        addRegister(a, {2024, 3, 1}, 1, 2);
        addRegister(a, {2024, 3, 31}, 4, 3);
        addRegister(b, {2024, 3, 15}, 2, 8);
        addRegister(b, {2024, 3, 15}, 3, 4);
        addRegister(c, {2024, 2, 29}, 1, 8);
        addRegister(c, {2024, 4, 1}, 1, 8);
        addRegister(a, {2023, 12, 31}, 1, 6);
        addRegister(a, {2024, 1, 1}, 1, 7);
        addWorks(a, 7777, {2024, 3, 5}, 3);
        addWorks(a, 7777, {2024, 3, 5}, 5);
        addWorks(a, 7777, {2024, 3, 5}, 2, 1);
        addWorks(a, 7778, {2024, 3, 31}, 4);
        addWorks(b, 7777, {2024, 3, 1}, 8);
        addWorks(c, 7778, {2024, 4, 1}, 4);
        addWorks(b, 7777, {2023, 12, 31}, 6);
        addWorks(b, 7777, {2024, 1, 1}, 7);
    }
    // Monthly rows as a month may hold them before a rebuild: stale, missing and other months'.
    void addTimesheetRows()
    {
        const QString insert = QStringLiteral("insert into accounts_dep.h_tabel(w_id, month, year, smena, i_type, i_night, "
                                              "d1, d2, d20, d29) values(:w, :m, :y, :s, :t, 0, :d1, :d2, :d20, :d29)");
        struct Stored {
            int worker, month, year, shift, type;
            QVariant d1, d2, d20, d29;
        };
        const QVariant none;
        const QList<Stored> rows{{a, 3, 2024, 0, 7777, none, none, 99, none},  {b, 3, 2024, 1, 0, none, 7, none, none},
                                 {a, 3, 2024, 1, 0, 3, none, none, none},      {c, 2, 2024, 1, 0, none, none, none, 8},
                                 {c, 4, 2024, 0, 7778, 4, none, none, none},   {a, 2, 2023, 1, 0, 8, none, none, none},
                                 {b, 2, 2023, 0, 7777, 8, none, none, none}};
        for (const Stored& r : rows)
            tdb->run(insert, {{"w", r.worker}, {"m", r.month}, {"y", r.year}, {"s", r.shift}, {"t", r.type},
                              {"d1", r.d1}, {"d2", r.d2}, {"d20", r.d20}, {"d29", r.d29}});
    }
    // The whole monthly table, every month and family, as sorted lines.
    QStringList allRows(Database& db)
    {
        QStringList days;
        for (int k = 1; k <= 31; ++k)
            days << QStringLiteral("coalesce(d%1::text, '-')").arg(k);
        QSqlQuery q = db.exec(QStringLiteral("select concat_ws(' ', year, month, w_id, smena, i_type, i_night, %1) "
                                             "from accounts_dep.h_tabel")
                                  .arg(days.join(", ")));
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        out.sort();
        return out;
    }
    // A connection of its own, for a second copy of the program.
    static std::unique_ptr<Database> connect(const ConnectionSettings& settings, const QString& name)
    {
        auto db = std::make_unique<Database>(name);
        db->open(settings);
        db->loginRole = Role::FullRights;
        return db;
    }

private slots:
    void init()
    {
        tdb = std::make_unique<TestDatabase>();
        a = tdb->addWorker("Антонов");
        b = tdb->addWorker("Борисов");
        c = tdb->addWorker("Волков");
        product = tdb->addProduct("КМ-1");
        op = tdb->addOperation(tdb->addKind("Сборка"), product);
        addSourceRecords();
        addTimesheetRows();
    }
    void cleanup() { tdb.reset(); }

    void sameRowsAsDayByDay_data()
    {
        QTest::addColumn<MonthRows>("rows");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("expectedLine");  // a line the month has afterwards
        const QString dash = QStringLiteral(" -");
        QTest::newRow("works, March") << MonthRows::Works << 3 << 2024
                                      << QStringLiteral("2024 3 {a} 0 7777 0") + dash.repeated(4) + " 8" + dash.repeated(26);
        QTest::newRow("piece-work, March") << MonthRows::PieceWork << 3 << 2024
                                           << QStringLiteral("2024 3 {a} 1 0 0 10") + dash.repeated(30);
        QTest::newRow("works, December") << MonthRows::Works << 12 << 2023
                                         << QStringLiteral("2023 12 {b} 0 7777 0") + dash.repeated(30) + " 6";
        QTest::newRow("piece-work, December") << MonthRows::PieceWork << 12 << 2023
                                              << QStringLiteral("2023 12 {a} 1 0 0") + dash.repeated(30) + " 6";
        QTest::newRow("works, month without records") << MonthRows::Works << 2 << 2023 << QString();
        QTest::newRow("piece-work, month without records") << MonthRows::PieceWork << 2 << 2023 << QString();
    }
    void sameRowsAsDayByDay()
    {
        QFETCH(MonthRows, rows);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QString, expectedLine);
        Database& db = tdb->db();
        const QStringList before = allRows(db);
        QVERIFY(rebuildMonthRowByRow(db, rows, {month, year}) > 0);
        const QStringList expected = allRows(db);
        expectedLine.replace("{a}", QString::number(a)).replace("{b}", QString::number(b));
        if (!expectedLine.isEmpty())
            QVERIFY2(expected.contains(expectedLine), qPrintable(expected.join('\n')));
        else
            QVERIFY(monthRowsText(db, rows, {month, year}).isEmpty());
        QVERIFY(expected != before);

        tdb->run("delete from accounts_dep.h_tabel");
        addTimesheetRows();
        rebuildMonth(db, rows, {month, year});
        QCOMPARE(allRows(db), expected);
    }

    void failureLeavesTheMonth_data()
    {
        QTest::addColumn<MonthRows>("rows");
        QTest::newRow("works") << MonthRows::Works;
        QTest::newRow("piece-work") << MonthRows::PieceWork;
    }
    void failureLeavesTheMonth()
    {
        QFETCH(MonthRows, rows);
        tdb->run(QStringLiteral("create function accounts_dep.fail_for_b() returns trigger language plpgsql as $$ "
                                "begin raise exception 'injected failure'; end $$"));
        tdb->run(QStringLiteral("create trigger fail_for_b before insert on accounts_dep.h_tabel for each row "
                                "when (new.w_id = %1) execute function accounts_dep.fail_for_b()")
                     .arg(b));
        Database& db = tdb->db();
        const QStringList before = allRows(db);
        QString error;
        try {
            rebuildMonth(db, rows, {3, 2024});
        } catch (const DbError& e) {
            error = e.message();
        }
        QVERIFY2(error.contains("injected failure"), qPrintable(error));
        QVERIFY(!db.inTransaction());
        QCOMPARE(allRows(db), before);
    }

    // Two copies rebuilding one month at the same moment: no error, the one result.
    void twoCopiesAtOnce()
    {
        Database& db = tdb->db();
        rebuildMonth(db, MonthRows::Works, {3, 2024});
        const QStringList expected = allRows(db);
        tdb->run("delete from accounts_dep.h_tabel where smena=0 and month=3");
        const ConnectionSettings settings = tdb->settings();
        std::atomic<int> failures{0};
        QString error;
        auto copy = [&](int n) {
            auto own = connect(settings, QStringLiteral("copy_%1").arg(n));
            for (int i = 0; i < 15; ++i) {
                try {
                    rebuildMonth(*own, MonthRows::Works, {3, 2024});
                } catch (const DbError& e) {
                    if (failures++ == 0)
                        error = e.message();
                }
            }
        };
        std::thread first(copy, 1), second(copy, 2);
        first.join();
        second.join();
        QVERIFY2(failures == 0, qPrintable(error));
        QCOMPARE(allRows(db), expected);
    }

    // A save of the month that comes while a rebuild holds the month waits for it, then writes
    // its day cell into the rebuilt row.
    void cellWriteWaitsForRebuild_data()
    {
        QTest::addColumn<MonthRows>("rows");
        QTest::newRow("works save") << MonthRows::Works;
        QTest::newRow("entry save") << MonthRows::PieceWork;
    }
    void cellWriteWaitsForRebuild()
    {
        QFETCH(MonthRows, rows);
        const ConnectionSettings settings = tdb->settings();
        const TimesheetMonth march{3, 2024};
        auto rebuilding = connect(settings, "rebuilding");
        rebuilding->begin();
        rebuilding->lockKey(lock_keys::timesheetMonth(3, 2024));
        for (const QString& statement : {rebuildStatements(rows).remove, rebuildStatements(rows).insert})
            rebuilding->execute(statement, rebuildParams(march));

        bool saved = false;
        std::thread saving([&] {
            auto own = connect(settings, "saving");
            if (rows == MonthRows::Works) {
                WorksValues v;
                v.nomenclatureId = 1;
                v.kind = 7777;
                v.workerId = a;
                v.hours = 4;
                v.price = *Decimal4::fromText("100");
                v.date = {2024, 3, 5};
                saved = WorksStore(*own).add(v).isDone();
            } else {
                EntryValues v;
                v.workerId = a;
                v.operationId = op;
                v.productId = product;
                v.price = *Decimal4::fromText("1");
                v.quantity = 1;
                v.hours = 4;
                v.colour = 5;
                v.date = {2024, 3, 1};
                v.shiftNo = 1;
                saved = EntryStore(*own).add(v).isDone();
            }
        });
        // The save is waiting for a lock the rebuild holds.
        QElapsedTimer waited;
        waited.start();
        while (tdb->count("select count(*) from pg_locks where not granted") == 0 && waited.elapsed() < 30000)
            QThread::msleep(10);
        rebuilding->commit();
        saving.join();
        QVERIFY(saved);
        const QString cell = rows == MonthRows::Works
            ? "select d5 from accounts_dep.h_tabel where w_id=:w and smena=0 and i_type=7777 and i_night=0 and month=3"
            : "select d1 from accounts_dep.h_tabel where w_id=:w and smena=1 and month=3";
        QCOMPARE(tdb->value(cell, {{"w", a}}).toInt(), rows == MonthRows::Works ? 3 + 5 + 4 : 8 + 2 + 4);
    }
};

QTEST_MAIN(MonthRebuildTest)
#include "test_month_rebuild.moc"
