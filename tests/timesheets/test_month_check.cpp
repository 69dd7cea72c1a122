// The check of a month's timesheet against its records and its repair: a damaged cell, a missing
// row and an extra row are found and repaired with every other cell unchanged, in the history;
// a closed month and a login without rights are refused with nothing written.
#include "month_check.h"
#include "month_close_store.h"
#include "month_rebuild.h"
#include "test_database.h"

#include <QtTest>
#include <memory>

namespace {

const QDate kMarch(2024, 3, 1);

} // namespace

class MonthCheckTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> tdb;
    int a = 0, b = 0, op = 0;

    // Every cell of the monthly table: "row id:day=hours" for each non-empty cell, plus each row's key.
    QStringList everyCell()
    {
        QStringList days;
        for (int k = 1; k <= 31; ++k)
            days << QStringLiteral("case when d%1 is not null then ' %1=' || d%1 end").arg(k);
        QSqlQuery q = tdb->db().exec(QStringLiteral("select concat_ws(' ', id, year, month, w_id, smena, i_type, i_night) "
                                                    "|| concat(%1) from accounts_dep.h_tabel order by id")
                                         .arg(days.join(", ")));
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }
    QStringList texts(const QVector<CellDifference>& found)
    {
        QStringList out;
        for (const CellDifference& d : found)
            out << differenceText(d);
        return out;
    }
    void damage()
    {
        // A damaged cell, a missing works row and an extra row of a shift without records.
        tdb->run(QStringLiteral("update accounts_dep.h_tabel set d5=99 where w_id=%1 and smena=1").arg(a));
        tdb->run(QStringLiteral("delete from accounts_dep.h_tabel where w_id=%1 and i_type=7778").arg(a));
        tdb->run(QStringLiteral("insert into accounts_dep.h_tabel(w_id, month, year, smena, d7) values(%1, 3, 2024, 3, 4)")
                     .arg(b));
    }

private slots:
    void init()
    {
        tdb = std::make_unique<TestDatabase>();
        a = tdb->addWorker("Антонов А.А.");
        b = tdb->addWorker("Борисов Б.Б.");
        op = tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("КМ-1"));
        tdb->addEntry({a, op, {2024, 3, 5}, 1, 10, 0, 6});
        tdb->addEntry({a, op, {2024, 3, 5}, 1, 10, 0, 4});
        tdb->addEntry({a, op, {2024, 3, 6}, 2, 10, 0, 8});
        tdb->addEntry({b, op, {2024, 3, 7}, 1, 10, 0, 8});
        tdb->addEntry({a, op, {2024, 4, 5}, 1, 10, 0, 8});  // another month
        tdb->addWorks({a, {2024, 3, 9}, 7777, 3});
        tdb->addWorks({a, {2024, 3, 9}, 7778, 5, 1, 1});
        tdb->addWorks({a, {2024, 3, 10}, 7778, 2, 1, 1});
        QVERIFY(rebuildMonth(tdb->db(), MonthRows::PieceWork, {3, 2024}));
        QVERIFY(rebuildMonth(tdb->db(), MonthRows::Works, {3, 2024}));
    }
    void cleanup() { tdb.reset(); }

    void rightMonthHasNoDifferences()
    {
        // A cell of 0 without records, as a delete of the day's last entry leaves it, is right.
        tdb->run(QStringLiteral("update accounts_dep.h_tabel set d20=0 where w_id=%1 and smena=1").arg(a));
        QVERIFY(findMonthDifferences(tdb->db(), kMarch).isEmpty());
        const QStringList before = everyCell();
        QVERIFY(repairMonth(tdb->db(), kMarch));
        QCOMPARE(everyCell(), before);
        QCOMPARE(tdb->count("select count(*) from tabel.change_log where action='repair'"), 0);
    }

    void findsAndRepairsOnlyTheDifferingCells()
    {
        damage();
        const QStringList expected{
            "Антонов А.А., смена 1, 5 число: в табеле 99, по записям 10",
            "Антонов А.А., Ср. сдельная ноч., 9 число: в табеле —, по записям 5",
            "Антонов А.А., Ср. сдельная ноч., 10 число: в табеле —, по записям 2",
            "Борисов Б.Б., смена 3, 7 число: в табеле 4, по записям —",
        };
        QCOMPARE(texts(findMonthDifferences(tdb->db(), kMarch)), expected);

        QStringList before = everyCell();
        QVERIFY(repairMonth(tdb->db(), kMarch));
        QVERIFY(findMonthDifferences(tdb->db(), kMarch).isEmpty());
        // Exactly the three cells of existing rows, and the one row inserted.
        QStringList after = everyCell();
        const QString inserted = after.takeLast();
        QVERIFY2(inserted.endsWith(QStringLiteral(" 2024 3 %1 0 7778 1 9=5 10=2").arg(a)), qPrintable(inserted));
        for (QString& row : before) {
            if (row.contains(QStringLiteral(" 2024 3 %1 1 0 0").arg(a)))
                row.replace(" 5=99", " 5=10");
            if (row.contains(QStringLiteral(" 2024 3 %1 3 0 0").arg(b)))
                row.replace(" 7=4", "");
        }
        QCOMPARE(after, before);

        // One history row of the repair, with the rows before and after.
        const QVariant logged = tdb->value(
            "select jsonb_array_length(old_row)::text || ' ' || jsonb_array_length(new_row) from tabel.change_log "
            "where action='repair' and table_name='accounts_dep.h_tabel'");
        QCOMPARE(logged.toString(), QStringLiteral("2 3"));
    }

    // Two rows of one key (a plant's table may lack the unique key): the first takes the hours.
    void duplicateRowsOfAKey()
    {
        tdb->run("drop index accounts_dep.h_tabel_key");
        tdb->run(QStringLiteral("insert into accounts_dep.h_tabel(w_id, month, year, smena, d5, d6) values(%1, 3, 2024, 1, 2, 1)")
                     .arg(a));
        const QStringList expected{"Антонов А.А., смена 1, 5 число: в табеле 12, по записям 10",
                                   "Антонов А.А., смена 1, 6 число: в табеле 1, по записям —"};
        QCOMPARE(texts(findMonthDifferences(tdb->db(), kMarch)), expected);
        QVERIFY(repairMonth(tdb->db(), kMarch));
        QVERIFY(findMonthDifferences(tdb->db(), kMarch).isEmpty());
        QCOMPARE(tdb->value(QStringLiteral("select string_agg(concat(d5, '/', d6), ' ' order by id) from "
                                           "accounts_dep.h_tabel where w_id=%1 and smena=1 and month=3").arg(a))
                     .toString(),
                 QStringLiteral("10/ /"));
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("message");
        QTest::newRow("closed month") << true << int(Role::FullRights)
                                      << "Месяц 03.2024 закрыт. Изменения запрещены.";
        QTest::newRow("viewer") << false << int(Role::Viewer) << "Недостаточно прав для пересчёта табеля.";
        QTest::newRow("foremen") << false << int(Role::Foremen) << "Недостаточно прав для пересчёта табеля.";
    }
    void refusals()
    {
        QFETCH(bool, closed);
        QFETCH(int, role);
        QFETCH(QString, message);
        damage();
        Database& db = tdb->db();
        if (closed)
            QVERIFY(MonthCloseStore(db).close({3, 2024}));
        db.loginRole = Role(role);
        const QStringList before = everyCell();
        const qint64 logged = tdb->value("select count(*) from tabel.change_log").toLongLong();
        QCOMPARE(repairMonth(db, kMarch).refusal(), message);
        QVERIFY(!db.inTransaction());
        QCOMPARE(everyCell(), before);
        QCOMPARE(tdb->value("select count(*) from tabel.change_log").toLongLong(), logged);
        // It can still be checked.
        QCOMPARE(findMonthDifferences(db, kMarch).size(), 4);
    }
};

QTEST_MAIN(MonthCheckTest)
#include "test_month_check.moc"
