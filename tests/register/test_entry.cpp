// The entry dialog: completeness, duplicates, the written row and price, the timesheet
// cells after adding and changing, and saves of one key from two connections at once.
#include "data_module.h"
#include "entry_dialog.h"
#include "message_recorder.h"
#include "program_fixture.h"
#include "test_database.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <latch>
#include <memory>

namespace {
const QDate kDay(2024, 3, 13);
} // namespace

class EntryTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<EntryDialog> dialog;
    int worker = 0, product = 0, plain = 0, paint = 0;
    OperationChoice nextOperation;  // what the operation picker hands back

    // Fills the dialog as a foreman does: worker and operation from the pickers, then the numbers.
    void fill(int operation, const QString& qty, const QString& hours, const QString& colour = {})
    {
        const bool isPaint = operation == paint;
        nextOperation = {product, operation, *Decimal4::fromText("12.34567"), *Decimal4::fromText("10"),
                         isPaint ? "КМ-1; Покраска; Заготовки" : "КМ-1; Сборка; Готовая продукция"};
        dialog->chooseWorker();
        dialog->chooseOperation();
        QCOMPARE(dialog->colourEdit->isEnabled(), isPaint);
        dialog->quantityEdit->setText(qty);
        dialog->rejectsEdit->setText("0");
        dialog->hoursEdit->setText(hours);
        dialog->colourEdit->setText(colour);
        dialog->dateEdit->setDate(kDay);
    }
    int cell(int day, int shift = 1)
    {
        return tdb->value(QStringLiteral("select coalesce(d%1, -1) from accounts_dep.h_tabel where w_id=:w and "
                                         "smena=:s")
                              .arg(day),
                          {{"w", worker}, {"s", shift}})
            .toInt();
    }

private slots:
    void init()
    {
        makeFixture();
        dialog = std::make_unique<EntryDialog>(*dm);
        worker = tdb->addWorker("Д'Артаньян Ш.Б.");
        dialog->setPickers({[this] { return Row::of({{"id", worker}, {"fio", "Д'Артаньян Ш.Б.  "}}); },
                            [this](int) { return std::optional<OperationChoice>(nextOperation); }});
        product = tdb->addProduct("КМ-1");
        plain = tdb->addOperation(tdb->addKind("Сборка"), product, 0);
        paint = tdb->addOperation(tdb->addKind("Покраска"), product, 1);
    }
    void cleanup()
    {
        dialog.reset();
        dropFixture();
    }

    void completenessInOrder_data()
    {
        QTest::addColumn<QString>("emptied");
        QTest::newRow("worker") << "Edit1";
        QTest::newRow("operation") << "Edit2";
        QTest::newRow("quantity") << "Edit3";
        QTest::newRow("rejects") << "Edit4";
        QTest::newRow("colour of a paint operation") << "Edit5";
        QTest::newRow("hours") << "Edit6";
    }
    void completenessInOrder()
    {
        QFETCH(QString, emptied);
        fill(paint, "5", "8", "3005");
        dialog->findChild<QLineEdit*>(emptied)->setText("  ");
        QVERIFY(!dialog->save());
        QCOMPARE(messages->texts(), QStringList{"Все поля должны быть заполнены!"});
        QCOMPARE(messages->shown.last().caption, QStringLiteral("Ошибка"));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 0);
        // The input stays as the user left it.
        QCOMPARE(dialog->quantityEdit->text(), emptied == "Edit3" ? QStringLiteral("  ") : QStringLiteral("5"));
    }

    // The written row: price with a point rounded to four places, mark "no", today's entry
    // date, colour 0 for a plain operation; the fields are empty afterwards.
    void addWritesTheEntryAndTheDayCell()
    {
        fill(plain, "5", "3");
        QVERIFY(dialog->save());
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(tdb->value("select cena::text || '|' || kol_vo || '|' || brak || '|' || time || '|' || color || '|' "
                            "|| ok || '|' || data || '|' || vvod::date || '|' || smena from accounts_dep.smena")
                     .toString(),
                 QStringLiteral("12.3457|5|0|3|0|no|2024-03-13|%1|1").arg(QDate::currentDate().toString(Qt::ISODate)));
        for (QLineEdit* e : dialog->findChildren<QLineEdit*>(QRegularExpression("^Edit\\d$")))
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
        QCOMPARE(cell(13), 3);

        // A second entry of the day: the cell holds the day's total.
        fill(paint, "2", "4", "1");
        QVERIFY(dialog->save());
        QCOMPARE(cell(13), 7);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.h_tabel"), 1);
    }

    void duplicates()
    {
        fill(paint, "1", "1", "3005");
        QVERIFY(dialog->save());
        fill(paint, "9", "2", "3005");
        QVERIFY(!dialog->save());
        QCOMPARE(messages->texts(), QStringList{"Позиция с такими параметрами уже заведена!"});
        QCOMPARE(dialog->quantityEdit->text(), QStringLiteral("9"));  // the input stays
        fill(paint, "9", "2", "5015");
        QVERIFY(dialog->save());
        fill(plain, "1", "1");
        QVERIFY(dialog->save());
        fill(plain, "1", "1");
        QVERIFY(!dialog->save());
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 3);
    }

    // A change excludes the entry itself from the duplicate test; moving it to another date
    // recomputes both the cell it left and the one it joined.
    void changeMovesHoursBetweenCells()
    {
        const int other = tdb->addEntry({worker, plain, kDay, 1, 1, 0, 2, 1, 9});
        const int id = tdb->addEntry({worker, plain, kDay, 1, 1, 0, 5});
        tdb->run("insert into accounts_dep.h_tabel(w_id, month, year, smena, d13) values(:w, 3, 2024, 1, 7)",
                 {{"w", worker}});
        dm->shiftList1.setParam("data", kDay);
        dm->shiftList1.open();
        QVERIFY(dm->shiftList1.locate("id", id));
        whenShown([&] {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Изменение данных о позиции (11)"));
            QCOMPARE(dialog->workerEdit->text(), QStringLiteral("Д'Артаньян Ш.Б."));
            QCOMPARE(dialog->operationEdit->text(), QStringLiteral("КМ-1; Сборка; Готовая продукция"));
            QVERIFY(!dialog->colourEdit->isEnabled());
            // Unchanged: saved over itself.
            QVERIFY(dialog->save());
        });
        dialog->openForChange(dm->shiftList1.currentRow(), 1);
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(cell(13), 7);

        QVERIFY(dm->shiftList1.locate("id", id));
        whenShown([&] {
            dialog->dateEdit->setDate(kDay.addDays(2));
            dialog->hoursEdit->setText("6");
            QVERIFY(dialog->save());
        });
        dialog->openForChange(dm->shiftList1.currentRow(), 1);
        QCOMPARE(cell(13), 2);
        QCOMPARE(cell(15), 6);
        QCOMPARE(tdb->value("select data from accounts_dep.smena where id=:id", {{"id", id}}).toDate(), kDay.addDays(2));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena where id=:id and ok='no'", {{"id", other}}), 1);
    }

    void paintEntryOpensWithColour()
    {
        tdb->addEntry({worker, paint, kDay, 1, 1, 0, 5, 1, 3005});
        dm->shiftList1.setParam("data", kDay);
        dm->shiftList1.open();
        whenShown([&] {
            QVERIFY(dialog->colourEdit->isEnabled());
            QVERIFY(dialog->colourLabel->isEnabled());
            QCOMPARE(dialog->colourEdit->text(), QStringLiteral("3005"));
            dialog->reject();
        });
        dialog->openForChange(dm->shiftList1.currentRow(), 1);
    }

    void numberTooLongIsRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("colour") << "Edit5";
        QTest::newRow("hours") << "Edit6";
    }
    void numberTooLongIsRefused()
    {
        QFETCH(QString, field);
        fill(paint, "1", "1", "1");
        dialog->findChild<QLineEdit*>(field)->setText("99999999999");
        QVERIFY(!dialog->save());
        QVERIFY(messages->last().contains(QStringLiteral("слишком велико")));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 0);
    }

    void numbersOutOfRange_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("rejects");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("message");
        QTest::newRow("more rejects than pieces") << "5" << "10" << "8" << "Брак не может быть больше количества.";
        QTest::newRow("25 hours") << "5" << "0" << "25" << "Время должно быть от 0 до 24 часов.";
        QTest::newRow("24 hours, all rejects") << "5" << "5" << "24" << "";
        // Set by code (as a change of a row stored so shows them): the fields take no sign.
        QTest::newRow("-1 hours") << "5" << "0" << "-1" << "Время должно быть от 0 до 24 часов.";
        QTest::newRow("-1 rejects") << "5" << "-1" << "8" << "Брак не может быть отрицательным.";
        QTest::newRow("-5 pieces") << "-5" << "0" << "8" << "Количество не может быть отрицательным.";
    }
    void numbersOutOfRange()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, rejects);
        QFETCH(QString, hours);
        QFETCH(QString, message);
        fill(plain, quantity, hours);
        dialog->rejectsEdit->setText(rejects);
        QCOMPARE(dialog->save(), message.isEmpty());
        QCOMPARE(messages->texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), message.isEmpty() ? 1 : 0);
    }

    void failedCellLeavesNothingWritten()
    {
        tdb->run("create function fail() returns trigger language plpgsql as $$ begin raise exception "
                 "'табель закрыт'; end $$");
        tdb->run("create trigger h_fail before insert on accounts_dep.h_tabel for each row execute function fail()");
        fill(plain, "1", "8");
        QVERIFY(!dialog->save());
        QVERIFY(messages->last().contains(QStringLiteral("табель закрыт")));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 0);
        QCOMPARE(dialog->quantityEdit->text(), QStringLiteral("1"));
    }

    void recalculationFillsZerosAndSums()
    {
        fill(plain, "", "");
        dialog->recalculate();
        QCOMPARE(dialog->quantityEdit->text(), QStringLiteral("0"));
        QCOMPARE(dialog->hoursEdit->text(), QStringLiteral("0"));
        dialog->quantityEdit->setText("3");
        dialog->recalculate();
        QCOMPARE(dialog->priceEdit->text(), QStringLiteral("12,3457"));
        QCOMPARE(dialog->basePriceEdit->text(), QStringLiteral("10"));
        QCOMPARE(dialog->amountEdit->text(), QStringLiteral("37,0371"));
    }

    // Two copies of the program save the same key at the same moment: one entry and one
    // timesheet row, whatever the timing.
    void concurrentSavesOfOneKey()
    {
        const int rounds = 8;
        std::atomic<int> failures{0}, refusals{0};
        for (int round = 0; round < rounds; ++round) {
            std::latch start(2);
            auto saver = [&] {
                DataModule own;
                own.db.open(tdb->settings());
                own.db.loginRole = Role::FullRights;
                EntryStore store(own.db);
                EntryValues v;
                v.workerId = worker;
                v.operationId = plain;
                v.productId = product;
                v.price = *Decimal4::fromText("8");
                v.quantity = 1;
                v.hours = 4;
                v.date = kDay.addDays(round);
                start.arrive_and_wait();
                try {
                    if (!store.add(v))
                        ++refusals;
                } catch (const DbError&) {
                    ++failures;
                }
            };
            std::unique_ptr<QThread> a(QThread::create(saver)), b(QThread::create(saver));
            a->start();
            b->start();
            QVERIFY(a->wait(30000));
            QVERIFY(b->wait(30000));
        }
        QCOMPARE(failures.load(), 0);
        QCOMPARE(refusals.load(), rounds);
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), rounds);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.h_tabel"), 1);
        QCOMPARE(cell(13), 4);
        QCOMPARE(cell(20), 4);
    }
};

QTEST_MAIN(EntryTest)
#include "test_entry.moc"
