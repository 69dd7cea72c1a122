// Changes and deletes made from a list that another copy of the program has changed since:
// nothing is written, the user is told, and every day cell stays equal to the register.
#include "entry_dialog.h"
#include "entry_store.h"
#include "program_fixture.h"
#include "register_invariants.h"
#include "register_store.h"

#include <QLineEdit>
#include <QtTest>

namespace {
const QDate kDay(2024, 3, 13);
} // namespace

class OtherCopiesTest : public FixtureTest {
    Q_OBJECT

    int w1 = 0, w2 = 0, w3 = 0, operation = 0, product = 0, entry = 0;

    EntryValues valuesFor(int worker, const QDate& date, int hours)
    {
        EntryValues v;
        v.workerId = worker;
        v.operationId = operation;
        v.productId = product;
        v.price = *Decimal4::fromText("8");
        v.quantity = 2;
        v.hours = hours;
        v.date = date;
        return v;
    }
    // The entry as this copy's list shows it.
    Row shownEntry()
    {
        dm->shiftList1.setParam("data", kDay);
        dm->shiftList1.reopen();
        return dm->shiftList1.locate("id", entry) ? dm->shiftList1.currentRow() : Row();
    }
    int cell(int worker, int day)
    {
        return tdb->value(QStringLiteral("select coalesce(d%1, -1) from accounts_dep.h_tabel where w_id=:w and smena=1")
                              .arg(day),
                          {{"w", worker}})
            .toInt();
    }

private slots:
    void init()
    {
        makeFixture();
        w1 = tdb->addWorker("Аверин");
        w2 = tdb->addWorker("Борисов");
        w3 = tdb->addWorker("Волков");
        product = tdb->addProduct("КМ-1");
        operation = tdb->addOperation(tdb->addKind("Сборка"), product);
        // The entry both copies see, saved through the program so its cell is right.
        QVERIFY(EntryStore(dm->db).add(valuesFor(w1, kDay, 8)));
        entry = tdb->value("select id from accounts_dep.smena").toInt();
    }
    void cleanup() { dropFixture(); }

    // What the other copy did meanwhile, and then what this copy tries from its old list.
    void staleListWritesNothing_data()
    {
        QTest::addColumn<QString>("other");  // moved | deleted | rehoured | accepted
        QTest::addColumn<QString>("mine");   // change | delete | accept
        QTest::newRow("change after a move") << "moved" << "change";
        QTest::newRow("change after a delete") << "deleted" << "change";
        QTest::newRow("change after new hours") << "rehoured" << "change";
        QTest::newRow("delete after a move") << "moved" << "delete";
        QTest::newRow("delete after a delete") << "deleted" << "delete";
        QTest::newRow("change after an acceptance") << "accepted" << "change";
        QTest::newRow("delete after an acceptance") << "accepted" << "delete";
        QTest::newRow("accept after new hours") << "rehoured" << "accept";
    }
    void staleListWritesNothing()
    {
        QFETCH(QString, other);
        QFETCH(QString, mine);
        const Row shown = shownEntry();
        QVERIFY(!shown.isEmpty());

        EntryStore theirs(tdb->db());
        if (other == "deleted")
            QVERIFY(RegisterStore(tdb->db()).deleteEntry(shown));
        else if (other == "accepted")
            QVERIFY(RegisterStore(tdb->db()).toggleAcceptance(shown));
        else
            QVERIFY(theirs.change(shown, valuesFor(other == "moved" ? w2 : w1, kDay, other == "moved" ? 8 : 5)));
        const QString before = tdb->value("select string_agg(id||':'||w_id||':'||time||':'||ok, ',') from accounts_dep.smena")
                                   .toString();

        const Outcome outcome = mine == "change" ? EntryStore(dm->db).change(shown, valuesFor(w3, kDay.addDays(1), 6))
            : mine == "delete"                   ? RegisterStore(dm->db).deleteEntry(shown)
                                                 : RegisterStore(dm->db).toggleAcceptance(shown);
        QVERIFY(!outcome);
        QVERIFY(outcome.isStale());
        QCOMPARE(outcome.refusal(), kEntryChangedMeanwhile);
        QCOMPARE(tdb->value("select string_agg(id||':'||w_id||':'||time||':'||ok, ',') from accounts_dep.smena").toString(),
                 before);
        QCOMPARE(tdb->count(invariants::cellsOffRegister()), 0);
    }

    // The check itself finds a cell that no entry holds, and one that misses its entry's hours.
    void offCellsAreFound()
    {
        QCOMPARE(tdb->count(invariants::cellsOffRegister()), 0);
        tdb->run("update accounts_dep.h_tabel set d13=9, d20=4 where w_id=:w", {{"w", w1}});
        QCOMPARE(tdb->count(invariants::cellsOffRegister()), 2);
    }

    // The list that is still right: a change moves the hours between both cells, a delete
    // clears the cell of the entry's own date, whatever date the register's box shows.
    void currentListWrites()
    {
        EntryStore store(dm->db);
        QVERIFY(store.change(shownEntry(), valuesFor(w2, kDay, 7)));
        QCOMPARE(cell(w1, 13), 0);
        QCOMPARE(cell(w2, 13), 7);
        QVERIFY(RegisterStore(dm->db).deleteEntry(shownEntry()));
        QCOMPARE(cell(w2, 13), 0);
        QCOMPARE(tdb->count(invariants::cellsOffRegister()), 0);
    }

    // The entry dialog reports it and goes back to the list instead of claiming success.
    void dialogTellsAndCloses()
    {
        const Row shown = shownEntry();
        QVERIFY(RegisterStore(tdb->db()).deleteEntry(shown));
        auto dialog = std::make_unique<EntryDialog>(*dm);
        whenShown([&] {
            dialog->hoursEdit->setText("5");
            QVERIFY(!dialog->save());
            QVERIFY(!dialog->isVisible());
        });
        QVERIFY(!dialog->openForChange(shown, 1));
        QCOMPARE(messages->texts(), QStringList{kEntryChangedMeanwhile});
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 0);
    }

    // A day already holding hours that no cell can take: the save is refused whole.
    void dayCellThatWouldOverflow()
    {
        tdb->addEntry({w1, operation, kDay, 1, 1, 0, 2147483647, 1, 5});
        EntryValues another = valuesFor(w1, kDay, 3);
        another.colour = 1;
        const Outcome outcome = EntryStore(dm->db).add(another);
        QVERIFY(!outcome);
        QVERIFY2(outcome.refusal().contains(QStringLiteral("не помещаются в табель")), qPrintable(outcome.refusal()));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 2);
        QCOMPARE(cell(w1, 13), 8);
    }
};

QTEST_MAIN(OtherCopiesTest)
#include "test_other_copies.moc"
