// The products list (TForm3), the product dialog (TForm7) and their statements.
#include "product_dialog.h"
#include "products_list.h"
#include "program_fixture.h"
#include "register_invariants.h"
#include "timesheet_cell.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class ProductsTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<ProductDialog> dialog;
    std::unique_ptr<ProductsList> list;

    int products() { return tdb->count("select count(*) from cmn_gds_and_srv.gds_and_srv"); }
    int operations() { return tdb->count("select count(*) from accounts_dep.oper"); }
    int entries() { return tdb->count("select count(*) from accounts_dep.smena"); }
    void updateCellOf(int worker, int shift, const QDate& day)
    {
        QVERIFY(updateDayCell(tdb->db(), worker, shift, day, true));
    }

private slots:
    void init()
    {
        makeFixture();
        dialog = std::make_unique<ProductDialog>(*dm);
        list = std::make_unique<ProductsList>(*dm, *dialog);
        list->today = [] { return QDate(2024, 5, 20); };
    }
    void cleanup()
    {
        list.reset();
        dialog.reset();
        dropFixture();
    }

    void search_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("beginning, any letter case") << "шк" << QStringList{"ШКАФ-1", "шкаф-2"};
        QTest::newRow("not inside a mark") << "каф" << QStringList{};
        QTest::newRow("apostrophe") << "Д'" << QStringList{"Д'Арт"};
        QTest::newRow("percent literally") << "50%" << QStringList{"50%_стол"};
    }
    void search()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        for (const char* m : {"ШКАФ-1", "шкаф-2", "Д'Арт", "50%_стол", "500"})
            tdb->addProduct(QString::fromUtf8(m));
        list->prepareBrowsing();
        QVERIFY(!list->searchEdit->isHidden());
        typeText(list->searchEdit, typed);
        QCOMPARE(shownTexts(list->grid), shown);
        list->searchEdit->clear();
        QCOMPARE(shownTexts(list->grid).size(), 5);
        // Up and Down move the list; other keys work as usual in this field.
        pressKey(list->searchEdit, Qt::Key_Down);
        QCOMPARE(dm->products.recNo(), 2);
        typeText(list->searchEdit, QStringLiteral("ab"));
        pressKey(list->searchEdit, Qt::Key_Left);
        QCOMPARE(list->searchEdit->cursorPosition(), 1);
        list->finish();
        QVERIFY(!dm->products.isActive());
    }

    void gridShowsGroupAndFactor()
    {
        const int group = tdb->addGroup(QStringLiteral("Мебель"));
        tdb->addProduct(QStringLiteral("Стол"), group, 1.5);
        list->prepareBrowsing();
        const auto* model = list->grid->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Марка изделия"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Номенклатурная группа"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Коробки"));
        QCOMPARE(shownTexts(list->grid, 1), QStringList{"Мебель"});
        QCOMPARE(shownTexts(list->grid, 2), QStringList{"1,5"});
    }

    void choose_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("marka");
        QTest::newRow("first row") << "" << "Б-1";
        QTest::newRow("after a search") << "в" << "В-2";
        QTest::newRow("empty filtered list") << "Я" << "";
    }
    void choose()
    {
        QFETCH(QString, typed);
        QFETCH(QString, marka);
        QMap<QString, int> ids{{"Б-1", tdb->addProduct(QStringLiteral("Б-1  "))},
                               {"В-2", tdb->addProduct(QStringLiteral("В-2"))}};
        list->prepareChoosing();
        QCOMPARE(list->changeButton->text(), QStringLiteral("&Выбрать"));
        QVERIFY(list->changeButton->isDefault());
        QVERIFY(list->addButton->isHidden() && list->deleteButton->isHidden());
        typeText(list->searchEdit, typed);
        list->changeOrChoose();
        QCOMPARE(list->result(), int(QDialog::Accepted));
        QCOMPARE(bool(list->chosen()), !marka.isEmpty());
        if (list->chosen()) {
            QCOMPARE((*list->chosen())["marka"].asString().trimmed(), marka);
            QCOMPARE((*list->chosen())["id"].asInteger(), ids[marka]);
        }
        list->finish();
        QVERIFY(!list->changeButton->isDefault());
        QVERIFY(!dm->products.isActive());
    }

    void factorKeys()
    {
        typeText(dialog->factorEdit, QStringLiteral("1,5x-"));
        QCOMPARE(dialog->factorEdit->text(), QStringLiteral("1.5"));
        pressKey(dialog->factorEdit, Qt::Key_Backspace);
        QCOMPARE(dialog->factorEdit->text(), QStringLiteral("1."));
    }

    void save_data()
    {
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<bool>("withGroup");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("storedMark");
        QTest::addColumn<QString>("storedFactor");
        const QString refused = QStringLiteral("Такая марка изделия уже заведена!");
        const QString missing = QStringLiteral("Все поля должны быть заполнены!");
        // An existing product "ШКАФ-Ё" with factor 2 is the one changed.
        QTest::newRow("add, comma factor") << false << " Стол " << "1,5" << true << "" << "Стол" << "1.500000";
        QTest::newRow("add, whole factor") << false << "Стол" << "12" << true << "" << "Стол" << "12.000000";
        QTest::newRow("add, apostrophe") << false << "Д'Арт \"1\"" << "0.25" << true << "" << "Д'Арт \"1\""
                                         << "0.250000";
        QTest::newRow("add, same mark in other case") << false << "шкаф-ё" << "1" << true << refused << "" << "";
        QTest::newRow("add, no group") << false << "Стол" << "1" << false << missing << "" << "";
        QTest::newRow("add, no factor") << false << "Стол" << " " << true << missing << "" << "";
        QTest::newRow("add, no mark") << false << "  " << "1" << true << missing << "" << "";
        QTest::newRow("change, own mark kept") << true << "ШКАФ-Ё" << "1,5" << true << "" << "ШКАФ-Ё" << "1.500000";
        QTest::newRow("change, own mark in other case") << true << "Шкаф-ё" << "12" << true << "" << "Шкаф-ё"
                                                        << "12.000000";
        QTest::newRow("change to another's mark") << true << "стул" << "1" << true << refused << "" << "";
    }
    void save()
    {
        QFETCH(bool, change);
        QFETCH(QString, mark);
        QFETCH(QString, factor);
        QFETCH(bool, withGroup);
        QFETCH(QString, message);
        QFETCH(QString, storedMark);
        QFETCH(QString, storedFactor);
        const int group = tdb->addGroup(QStringLiteral("Мебель"));
        const int own = tdb->addProduct(QStringLiteral("ШКАФ-Ё"), group, 2);
        tdb->addProduct(QStringLiteral("Стул"), group, 3);
        list->prepareBrowsing();
        dialog->setGroupId(0);
        whenShown([&] {
            if (change) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Изменение данных изделия (7)"));
                QCOMPARE(dialog->markEdit->text(), QStringLiteral("ШКАФ-Ё"));
                QCOMPARE(dialog->factorEdit->text(), QStringLiteral("2"));
                QCOMPARE(dialog->groupId(), group);
            } else {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Заведение нового изделия (7)"));
                QCOMPARE(dialog->markEdit->text(), QString());
            }
            dialog->setGroupId(withGroup ? group : 0);
            dialog->markEdit->setText(mark);
            dialog->factorEdit->setText(factor);
            dialog->save();
            if (dialog->isVisible())
                dialog->reject();
        });
        if (change) {
            QVERIFY(dm->products.locate("id", own));
            list->changeOrChoose();
        } else {
            list->addRow();
        }
        if (!message.isEmpty()) {
            QCOMPARE(messages->texts(), QStringList{message});
            QCOMPARE(messages->shown.first().caption, QStringLiteral("Ошибка"));
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
            QCOMPARE(products(), 2);
            QCOMPARE(tdb->value("select s_caption from cmn_gds_and_srv.gds_and_srv where id=:id", {{"id", own}})
                         .toString(),
                     QStringLiteral("ШКАФ-Ё"));
            return;
        }
        QVERIFY2(messages->shown.isEmpty(), qPrintable(messages->last()));
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(products(), change ? 2 : 3);
        const Params key{{"m", storedMark}};
        QCOMPARE(tdb->value("select massa::text from cmn_gds_and_srv.gds_and_srv where s_caption=:m", key).toString(),
                 storedFactor);
        QCOMPARE(tdb->value("select id_class_item::integer from cmn_gds_and_srv.gds_and_srv where s_caption=:m", key)
                     .toInt(),
                 group);
        QCOMPARE(tdb->value("select id_msm_bs::integer from cmn_gds_and_srv.gds_and_srv where s_caption=:m", key)
                     .toInt(),
                 6);
        // The list was re-read and shows the product under its group.
        QVERIFY(shownTexts(list->grid).contains(storedMark));
        QVERIFY(!dialog->groups.isActive());
    }

    void entriesSince_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("since");
        QTest::newRow("May") << QDate(2024, 5, 20) << QDate(2000, 4, 1);
        QTest::newRow("January") << QDate(2025, 1, 3) << QDate(2000, 12, 1);
    }
    void entriesSince()
    {
        QFETCH(QDate, today);
        QTEST(ProductsStore::entriesSince(today), "since");
    }

    void deleteProduct_data()
    {
        QTest::addColumn<bool>("withOperation");
        QTest::addColumn<bool>("withEntry");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QList<int>>("left");  // products, operations, entries
        const QString ops = QStringLiteral("По изделию есть расценки они будут удалены!!!");
        const QString withEntries = QStringLiteral(
            "По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут удалены. Удалить изделие? ");
        const QString plain = QStringLiteral("Удалить изделие? ");
        QTest::newRow("nothing attached: one question") << false << false << QList<bool>{true} << QStringList{plain}
                                                        << QList<int>{1, 1, 1};
        QTest::newRow("declined") << false << false << QList<bool>{false} << QStringList{plain} << QList<int>{2, 1, 1};
        QTest::newRow("keep operations, delete product") << true << false << QList<bool>{false, true}
                                                         << QStringList{ops, plain} << QList<int>{1, 2, 1};
        QTest::newRow("delete operations, keep product") << true << false << QList<bool>{true, false}
                                                         << QStringList{ops, plain} << QList<int>{2, 1, 1};
        QTest::newRow("everything") << true << true << QList<bool>{true, true} << QStringList{ops, withEntries}
                                    << QList<int>{1, 1, 1};
        QTest::newRow("entries and product, operations kept") << true << true << QList<bool>{false, true}
                                                              << QStringList{ops, withEntries} << QList<int>{1, 2, 1};
        QTest::newRow("entries declined") << false << true << QList<bool>{false} << QStringList{withEntries}
                                          << QList<int>{2, 2, 2};
    }
    void deleteProduct()
    {
        QFETCH(bool, withOperation);
        QFETCH(bool, withEntry);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, questions);
        QFETCH(QList<int>, left);
        // Another product with an operation and an entry that must survive every case.
        const int kind = tdb->addKind(QStringLiteral("Сборка"));
        const int worker = tdb->addWorker(QStringLiteral("Аверин"));
        TestDatabase::Entry e;
        e.worker = worker;
        e.operation = tdb->addOperation(kind, tdb->addProduct(QStringLiteral("Б-другое")));
        tdb->addEntry(e);
        const int product = tdb->addProduct(QStringLiteral("А-удаляемое"));
        if (withOperation || withEntry) {
            const int op = tdb->addOperation(kind, product);
            if (withEntry) {
                e.operation = op;
                e.date = QDate(2024, 1, 10);
                tdb->addEntry(e);
            }
            if (!withOperation)  // the entry stays, its operation row is not the product's
                tdb->run("update accounts_dep.oper set i_id=0 where id=:id", {{"id", op}});
        }
        list->prepareBrowsing();
        QVERIFY(dm->products.locate("id", product));
        messages->answers = answers;
        list->deleteRow();
        QCOMPARE(messages->texts(), questions);
        for (const auto& shown : messages->shown) {
            QVERIFY(shown.question);
            QCOMPARE(shown.caption, QStringLiteral("Удаление"));
        }
        QCOMPARE(QList<int>({products(), operations(), entries()}), left);
        QCOMPARE(shownTexts(list->grid).size(), left[0]);
    }

    // The entries deleted with a product take their hours out of the timesheet's day cells;
    // the other product's entry of the same day keeps its hours there.
    void deleteWithEntriesKeepsDayCells()
    {
        const int kind = tdb->addKind(QStringLiteral("Сборка"));
        const int worker = tdb->addWorker(QStringLiteral("Аверин"));
        const int kept = tdb->addOperation(kind, tdb->addProduct(QStringLiteral("Б-остаётся")));
        const int product = tdb->addProduct(QStringLiteral("А-удаляемое"));
        const int dropped = tdb->addOperation(kind, product);
        for (const auto& [operation, day, hours] : {std::tuple{kept, 4, 3}, {dropped, 4, 5}, {dropped, 5, 8}}) {
            tdb->addEntry({worker, operation, QDate(2024, 5, day), 2, 1, 0, hours});
            updateCellOf(worker, 2, QDate(2024, 5, day));
        }
        list->prepareBrowsing();
        QVERIFY(dm->products.locate("id", product));
        messages->answers = {false, true};
        list->deleteRow();
        QCOMPARE(tdb->value("select d4||'/'||d5 from accounts_dep.h_tabel where w_id=:w", {{"w", worker}}).toString(),
                 QStringLiteral("3/0"));
        QCOMPARE(tdb->count(invariants::cellsOffRegister()), 0);
    }

    void failedDeleteLosesNothing()
    {
        const int kind = tdb->addKind(QStringLiteral("Сборка"));
        const int product = tdb->addProduct(QStringLiteral("А-1"));
        TestDatabase::Entry e;
        e.worker = tdb->addWorker(QStringLiteral("Аверин"));
        e.operation = tdb->addOperation(kind, product);
        tdb->addEntry(e);
        // The goods table refuses the delete after the entries are gone.
        tdb->run("create function pg_temp_refuse() returns trigger language plpgsql as "
                   "$$ begin raise exception 'goods are locked'; end $$");
        tdb->run("create trigger refuse before delete on cmn_gds_and_srv.gds_and_srv "
                   "for each row execute function pg_temp_refuse()");
        list->prepareBrowsing();
        messages->answers = {false, true};
        list->deleteRow();
        QVERIFY(messages->last().contains("goods are locked"));
        QCOMPARE(QList<int>({products(), operations(), entries()}), QList<int>({1, 1, 1}));
    }
};

QTEST_MAIN(ProductsTest)
#include "test_products.moc"
