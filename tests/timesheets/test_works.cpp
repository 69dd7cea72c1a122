// The works list and dialog: the price with its factors, the refusals in order, the day cells
// after add, change and delete, a record changed meanwhile, a failed save, the month's average
// piece-rate prices.
#include "program_fixture.h"
#include "works_dialog.h"
#include "works_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

namespace {
const QDate kDay(2024, 3, 13);  // a Wednesday
}

class WorksTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<WorksDialog> dialog;
    std::unique_ptr<WorksList> list;
    int antonov = 0, borisov = 0, item = 0;
    int nextWorker = 0;  // what the worker picker hands back

    // The day cell of the worker's works row of the kind and flag; -1 when there is no row.
    int cell(int worker, int day, int kind = 7777, int night = 0)
    {
        const QVariant v = tdb->value(QStringLiteral("select coalesce(d%1, -1) from accounts_dep.h_tabel where w_id=:w and "
                                                     "smena=0 and i_type=:k and i_night=:n and month=3 and year=2024")
                                          .arg(day),
                                      {{"w", worker}, {"k", kind}, {"n", night}});
        return v.isValid() ? v.toInt() : -1;
    }
    // Fills the open dialog as a foreman does and saves it.
    bool fillAndSave(const QString& hours, bool night = false)
    {
        dialog->chooseWorker();
        dialog->chooseNomenclature();
        dialog->hoursEdit->setText(hours);
        dialog->nightBox->setChecked(night);
        return dialog->save();
    }
    bool add(int worker, const QString& hours, bool night = false)
    {
        nextWorker = worker;
        bool saved = false;
        whenShown([&] { saved = fillAndSave(hours, night); });
        list->addRecord();
        return saved;
    }
    // Locates the record of the list (re-read) with `hours` hours.
    bool locate(int hours)
    {
        list->prepare(list->date());
        return list->records.locate("cnt", hours);
    }

private slots:
    void init()
    {
        makeFixture();
        tdb->addKind("Хозяйственные работы", 7777);
        tdb->addKind("Средне-сдельные работы", 7778);
        tdb->addNorm(tdb->addOperation(7777, 7777), 100);
        tdb->addNorm(tdb->addOperation(7778, 7778), 80);
        antonov = tdb->addWorker("Антонов А.А.");
        borisov = tdb->addWorker("Борисов Б.Б.");
        item = tdb->addGroup("Стеллажи");
        dialog = std::make_unique<WorksDialog>(*dm);
        dialog->setPickers({[this] { return std::optional(Row::of({{"id", nextWorker}, {"fio", "Работник  "}})); },
                            [this] { return std::optional(Row::of({{"id", item}, {"s_caption", "Стеллажи"}})); }});
        list = std::make_unique<WorksList>(*dm, *dialog);
        list->prepare(kDay);
    }
    void cleanup()
    {
        list.reset();
        dialog.reset();
        dropFixture();
    }

    void priceWithFactors_data()
    {
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<bool>("night");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("marks");  // "Вых." and "Ноч." as the list shows them
        QTest::newRow("plain") << false << false << "100.0000" << "|";
        QTest::newRow("day off") << true << false << "200.0000" << "+|";
        QTest::newRow("night") << false << true << "120.0000" << "|+";
        QTest::newRow("day off at night") << true << true << "240.0000" << "+|+";
    }
    void priceWithFactors()
    {
        QFETCH(bool, dayOff);
        QFETCH(bool, night);
        QFETCH(QString, price);
        QFETCH(QString, marks);
        list->dayOffBox->setChecked(dayOff);
        nextWorker = antonov;
        whenShown([&] {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Хоз. работы/среднесдельная (24)"));
            QCOMPARE(dialog->workKindBox->currentText(), QStringLiteral("Хозяйственные работы"));
            QCOMPARE(dialog->hoursEdit->text(), QStringLiteral("0"));
            QCOMPARE(dialog->priceEdit->text(), QStringLiteral("100"));
            dialog->hoursEdit->setText("3");
            QCOMPARE(dialog->amountEdit->text(), QStringLiteral("300"));  // hours × price as typed
            QVERIFY(fillAndSave("3", night));
        });
        list->addRecord();
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(tdb->value("select concat_ws('|', id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, "
                            "i_holiday, i_night) from accounts_dep.fatigue")
                     .toString(),
                 QStringLiteral("%1|7777|%2|2024-03-13|3|2024|1|3|%3|%4|%5")
                     .arg(item)
                     .arg(antonov)
                     .arg(price)
                     .arg(int(dayOff))
                     .arg(int(night)));
        QCOMPARE(list->records.recordCount(), 1);
        QCOMPARE(list->records["s_holiday"].asString() + "|" + list->records["s_night"].asString(), marks);
        QCOMPARE(cell(antonov, 13, 7777, int(night)), 3);
    }

    void refusalsInOrder_data()
    {
        QTest::addColumn<bool>("worker");
        QTest::addColumn<bool>("nomenclature");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("normPrice");
        const QString incomplete = "Все поля должны быть заполнены!";
        QTest::newRow("no worker") << false << true << "0" << incomplete << 100.0;
        QTest::newRow("no item") << true << false << "5" << incomplete << 100.0;
        QTest::newRow("no hours") << true << true << "" << "Нужно завести количество!" << 100.0;
        QTest::newRow("0 hours") << true << true << "0" << "Нужно завести количество!" << 100.0;
        QTest::newRow("25 hours") << true << true << "25" << "Количество часов не может быть больше 24." << 100.0;
        QTest::newRow("negative price") << true << true << "5" << "Цена не может быть отрицательной." << -1.5;
        QTest::newRow("NaN norm price") << true << true << "5" << "Цена нормы вида работ не является числом." << qQNaN();
        QTest::newRow("infinite norm price") << true << true << "5" << "Цена вне допустимых пределов." << qInf();
        QTest::newRow("norm price 1e308") << true << true << "5" << "Цена вне допустимых пределов." << 1e308;
    }
    void refusalsInOrder()
    {
        QFETCH(bool, worker);
        QFETCH(bool, nomenclature);
        QFETCH(QString, hours);
        QFETCH(QString, message);
        QFETCH(double, normPrice);
        tdb->run("update accounts_dep.norm set price=:p", {{"p", normPrice}});
        nextWorker = antonov;
        whenShown([&] {
            if (worker)
                dialog->chooseWorker();
            if (nomenclature)
                dialog->chooseNomenclature();
            dialog->hoursEdit->setText(hours);
            QVERIFY(!dialog->save());
            QVERIFY(dialog->isVisible());
            dialog->reject();
        });
        list->addRecord();
        QCOMPARE(messages->texts(), QStringList{message});
        QCOMPARE(messages->shown.first().caption, QStringLiteral("Ошибка"));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.fatigue"), 0);
    }

    // Two records of a day make the day's cell; a change of hours recomputes it, a change of
    // worker or kind moves the hours from the cell it left to the one it joins; a delete leaves
    // the day's other hours and the row's other days.
    void dayCellsFollowTheRecords()
    {
        tdb->addWorks({antonov, kDay.addDays(1), 7777, 4});
        rebuildMonthRows();
        QVERIFY(add(antonov, "3"));
        QVERIFY(add(antonov, "5"));
        QCOMPARE(cell(antonov, 13), 8);

        QVERIFY(locate(3));
        whenShown([&] {
            QVERIFY(!dialog->nightBox->isEnabled());
            QCOMPARE(dialog->workerEdit->text(), QStringLiteral("Антонов А.А."));
            dialog->hoursEdit->setText("6");
            QVERIFY(dialog->save());
        });
        list->changeRecord();
        QCOMPARE(cell(antonov, 13), 11);

        QVERIFY(locate(6));
        nextWorker = borisov;
        whenShown([&] {
            dialog->chooseWorker();
            QVERIFY(dialog->save());
        });
        list->changeRecord();
        QCOMPARE(cell(antonov, 13), 5);
        QCOMPARE(cell(borisov, 13), 6);

        QVERIFY(locate(5));
        whenShown([&] {
            dialog->workKindBox->setCurrentIndex(dialog->workKindBox->findData(7778));
            QCOMPARE(dialog->priceEdit->text(), QStringLiteral("80"));
            QVERIFY(dialog->save());
        });
        list->changeRecord();
        QCOMPARE(cell(antonov, 13), 0);
        QCOMPARE(cell(antonov, 13, 7778), 5);
        QCOMPARE(tdb->value("select price::text from accounts_dep.fatigue where cnt=5").toString(),
                 QStringLiteral("80.0000"));

        QVERIFY(locate(6));
        messages->answers = {true};
        list->deleteRecord();
        QCOMPARE(messages->shown.last().text, QStringLiteral("Удалить позицию из списка?"));
        QCOMPARE(messages->shown.last().caption, QStringLiteral("Удаление"));
        QCOMPARE(cell(borisov, 13), 0);
        QCOMPARE(cell(antonov, 14), 4);
        QCOMPARE(list->records.recordCount(), 1);

        messages->answers = {false};
        list->deleteRecord();
        QCOMPARE(list->records.recordCount(), 1);
        QCOMPARE(cell(antonov, 13, 7778), 5);
    }

    // Another copy changed the record after the list was read: nothing is written.
    void recordChangedMeanwhile()
    {
        QVERIFY(add(antonov, "3"));
        QVERIFY(locate(3));
        tdb->run("update accounts_dep.fatigue set cnt=4");
        tdb->run("update accounts_dep.h_tabel set d13=4");
        whenShown([&] {
            dialog->hoursEdit->setText("7");
            QVERIFY(!dialog->save());
        });
        list->changeRecord();
        QCOMPARE(messages->texts(), QStringList{kWorksChangedMeanwhile});
        QCOMPARE(tdb->value("select cnt from accounts_dep.fatigue").toInt(), 4);
        QCOMPARE(cell(antonov, 13), 4);
        QCOMPARE(list->records["cnt"].asInteger(), 4);  // the list was read anew

        tdb->run("update accounts_dep.fatigue set cnt=2");
        messages->answers = {true};
        list->deleteRecord();
        QCOMPARE(messages->last(), kWorksChangedMeanwhile);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.fatigue"), 1);
    }

    // A save whose day cell fails writes nothing: the record and its cell are one transaction.
    void failedSaveWritesNothing()
    {
        tdb->run("create function accounts_dep.fail() returns trigger language plpgsql as $$ begin raise exception "
                 "'injected failure'; end $$");
        tdb->run("create trigger fail before insert on accounts_dep.h_tabel for each row execute function "
                 "accounts_dep.fail()");
        whenShown([&] {
            QVERIFY(!fillAndSave("3"));
            dialog->reject();
        });
        nextWorker = antonov;
        list->addRecord();
        QVERIFY2(messages->last().contains("injected failure"), qPrintable(messages->last()));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.fatigue"), 0);
    }

    // Every average piece-rate record of the month gets the worker's earnings per hour on the
    // record's group: doubled on a day off, 0 without piece-work; other months and kinds keep
    // their prices.
    void averagePrices()
    {
        const int product = tdb->addProduct("КМ-1", item);
        const int op = tdb->addOperation(tdb->addKind("Сборка"), product);
        const QDate december(2024, 12, 10);
        tdb->addEntry({antonov, op, {2024, 12, 2}, 1, 10, 0, 8, 12.5});
        tdb->addEntry({antonov, op, {2025, 1, 1}, 1, 100, 0, 1, 99});
        tdb->addEntry({antonov, op, {2024, 11, 30}, 1, 100, 0, 1, 99});
        const int plain = tdb->addWorks({antonov, december, 7778, 4, 1, 0, item});
        const int dayOff = tdb->addWorks({.worker = antonov, .date = december.addDays(1), .kind = 7778, .hours = 4, .price = 1, .groupId = item, .dayOff = 1});
        const int noPieceWork = tdb->addWorks({borisov, december, 7778, 4, 1, 0, item});
        const int january = tdb->addWorks({antonov, {2025, 1, 2}, 7778, 4, 1, 0, item});
        const int household = tdb->addWorks({antonov, december, 7777, 4, 1, 0, item});
        list->prepare(december);
        list->recomputeAveragePrices();
        QVERIFY(messages->shown.isEmpty());
        auto price = [&](int id) {
            return tdb->value("select price::text from accounts_dep.fatigue where id=:id", {{"id", id}}).toString();
        };
        QCOMPARE(price(plain), QStringLiteral("15.6300"));  // 125 / 8
        QCOMPARE(price(dayOff), QStringLiteral("31.2500"));
        QCOMPARE(price(noPieceWork), QStringLiteral("0.0000"));
        QCOMPARE(price(january), QStringLiteral("1.0000"));
        QCOMPARE(price(household), QStringLiteral("1.0000"));
        QVERIFY(list->records.locate("id", plain));
        QCOMPARE(list->records["summ"].asString(), QStringLiteral("62.5200"));
    }

    // The day-off mark follows the date from the moment the list opens.
    void dayOffFollowsTheDate()
    {
        list->prepare({2024, 3, 16});
        QVERIFY(list->dayOffBox->isChecked());
        list->prepare(kDay);
        QVERIFY(!list->dayOffBox->isChecked());
        list->dateEdit->setDate({2024, 3, 17});
        QVERIFY(list->dayOffBox->isChecked());
    }

private:
    void rebuildMonthRows()
    {
        tdb->run("insert into accounts_dep.h_tabel(w_id, month, year, smena, i_type, i_night, d14) "
                 "values(:w, 3, 2024, 0, 7777, 0, 4)",
                 {{"w", antonov}});
    }
};

QTEST_MAIN(WorksTest)
#include "test_works.moc"
