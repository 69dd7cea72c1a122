// The products list TForm3, the product dialog TForm7 and their statements.
#include "product_dialog.h"
#include "products_list.h"
#include "program_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class ProductsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm7> form7;

    int products() { return f->tdb.count("select count(*) from cmn_gds_and_srv.gds_and_srv"); }
    int operations() { return f->tdb.count("select count(*) from accounts_dep.oper"); }
    int entries() { return f->tdb.count("select count(*) from accounts_dep.smena"); }

private slots:
    void init()
    {
        f = std::make_unique<ProgramFixture>();
        form3 = std::make_unique<TForm3>(f->dm);
        form7 = std::make_unique<TForm7>(f->dm);
        form3->setDialog(form7.get());
        form3->today = [] { return QDate(2024, 5, 20); };
    }
    void cleanup()
    {
        form3.reset();
        form7.reset();
        f.reset();
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
            f->tdb.addProduct(QString::fromUtf8(m));
        form3->prepareBrowsing();
        QVERIFY(!form3->Edit1->isHidden());
        typeText(form3->Edit1, typed);
        QCOMPARE(shownTexts(form3->DBGrid1), shown);
        form3->Edit1->clear();
        QCOMPARE(shownTexts(form3->DBGrid1).size(), 5);
        // Up and Down move the list; other keys work as usual in this field.
        pressKey(form3->Edit1, Qt::Key_Down);
        QCOMPARE(f->dm.Izdel.recNo(), 2);
        typeText(form3->Edit1, QStringLiteral("ab"));
        pressKey(form3->Edit1, Qt::Key_Left);
        QCOMPARE(form3->Edit1->cursorPosition(), 1);
        form3->finish();
        QVERIFY(!f->dm.Izdel.isActive());
    }

    void gridShowsGroupAndFactor()
    {
        const int group = f->tdb.addGroup(QStringLiteral("Мебель"));
        f->tdb.addProduct(QStringLiteral("Стол"), group, 1.5);
        form3->prepareBrowsing();
        const auto* model = form3->DBGrid1->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Марка изделия"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Номенклатурная группа"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Коробки"));
        QCOMPARE(shownTexts(form3->DBGrid1, 1), QStringList{"Мебель"});
        QCOMPARE(shownTexts(form3->DBGrid1, 2), QStringList{"1.5"});
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
        QMap<QString, int> ids{{"Б-1", f->tdb.addProduct(QStringLiteral("Б-1  "))},
                               {"В-2", f->tdb.addProduct(QStringLiteral("В-2"))}};
        form3->prepareChoosing(1);
        QCOMPARE(form3->Button2->text(), QStringLiteral("Выбрать"));
        QVERIFY(form3->Button2->isDefault());
        QVERIFY(form3->Button1->isHidden() && form3->Button3->isHidden());
        typeText(form3->Edit1, typed);
        form3->Button2Click();
        QCOMPARE(form3->result(), int(QDialog::Accepted));
        QCOMPARE(bool(form3->chosen()), !marka.isEmpty());
        if (form3->chosen()) {
            QCOMPARE(form3->chosen()->text, marka);
            QCOMPARE(form3->chosen()->id, ids[marka]);
        }
        form3->finish();
        QVERIFY(!form3->Button2->isDefault());
        QVERIFY(!f->dm.Izdel.isActive());
    }

    void factorKeys()
    {
        typeText(form7->Edit2, QStringLiteral("1,5x-"));
        QCOMPARE(form7->Edit2->text(), QStringLiteral("1.5"));
        pressKey(form7->Edit2, Qt::Key_Backspace);
        QCOMPARE(form7->Edit2->text(), QStringLiteral("1."));
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
        const int group = f->tdb.addGroup(QStringLiteral("Мебель"));
        const int own = f->tdb.addProduct(QStringLiteral("ШКАФ-Ё"), group, 2);
        f->tdb.addProduct(QStringLiteral("Стул"), group, 3);
        form3->prepareBrowsing();
        form7->setGroupId(0);
        whenShown([&] {
            if (change) {
                QCOMPARE(form7->windowTitle(), QStringLiteral("Изменение данных изделия (7)"));
                QCOMPARE(form7->Edit1->text(), QStringLiteral("ШКАФ-Ё"));
                QCOMPARE(form7->Edit2->text(), QStringLiteral("2"));
                QCOMPARE(form7->groupId(), group);
            } else {
                QCOMPARE(form7->windowTitle(), QStringLiteral("Заведение нового изделия (7)"));
                QCOMPARE(form7->Edit1->text(), QString());
            }
            form7->setGroupId(withGroup ? group : 0);
            form7->Edit1->setText(mark);
            form7->Edit2->setText(factor);
            form7->Button1Click();
            if (form7->isVisible())
                form7->reject();
        });
        if (change) {
            QVERIFY(f->dm.Izdel.locate("id", own));
            form3->Button2Click();
        } else {
            form3->Button1Click();
        }
        if (!message.isEmpty()) {
            QCOMPARE(f->messages.texts(), QStringList{message});
            QCOMPARE(f->messages.shown.first().caption, QStringLiteral("Ошибка"));
            QCOMPARE(form7->result(), int(QDialog::Rejected));
            QCOMPARE(products(), 2);
            QCOMPARE(f->tdb.value("select s_caption from cmn_gds_and_srv.gds_and_srv where id=:id", {{"id", own}})
                         .toString(),
                     QStringLiteral("ШКАФ-Ё"));
            return;
        }
        QVERIFY2(f->messages.shown.isEmpty(), qPrintable(f->messages.last()));
        QCOMPARE(form7->result(), int(QDialog::Accepted));
        QCOMPARE(products(), change ? 2 : 3);
        const Params key{{"m", storedMark}};
        QCOMPARE(f->tdb.value("select massa::text from cmn_gds_and_srv.gds_and_srv where s_caption=:m", key).toString(),
                 storedFactor);
        QCOMPARE(f->tdb.value("select id_class_item::integer from cmn_gds_and_srv.gds_and_srv where s_caption=:m", key)
                     .toInt(),
                 group);
        QCOMPARE(f->tdb.value("select id_msm_bs::integer from cmn_gds_and_srv.gds_and_srv where s_caption=:m", key)
                     .toInt(),
                 6);
        // The list was re-read and shows the product under its group.
        QVERIFY(shownTexts(form3->DBGrid1).contains(storedMark));
        QVERIFY(!form7->item.isActive());
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
        const int kind = f->tdb.addKind(QStringLiteral("Сборка"));
        const int worker = f->tdb.addWorker(QStringLiteral("Аверин"));
        TestDatabase::Entry e;
        e.worker = worker;
        e.operation = f->tdb.addOperation(kind, f->tdb.addProduct(QStringLiteral("Б-другое")));
        f->tdb.addEntry(e);
        const int product = f->tdb.addProduct(QStringLiteral("А-удаляемое"));
        if (withOperation || withEntry) {
            const int op = f->tdb.addOperation(kind, product);
            if (withEntry) {
                e.operation = op;
                e.date = QDate(2024, 1, 10);
                f->tdb.addEntry(e);
            }
            if (!withOperation)  // the entry stays, its operation row is not the product's
                f->tdb.run("update accounts_dep.oper set i_id=0 where id=:id", {{"id", op}});
        }
        form3->prepareBrowsing();
        QVERIFY(f->dm.Izdel.locate("id", product));
        f->messages.answers = answers;
        form3->Button3Click();
        QCOMPARE(f->messages.texts(), questions);
        for (const auto& shown : f->messages.shown) {
            QVERIFY(shown.question);
            QCOMPARE(shown.caption, QStringLiteral("Удаление"));
        }
        QCOMPARE(QList<int>({products(), operations(), entries()}), left);
        QCOMPARE(shownTexts(form3->DBGrid1).size(), left[0]);
    }

    void failedDeleteLosesNothing()
    {
        const int kind = f->tdb.addKind(QStringLiteral("Сборка"));
        const int product = f->tdb.addProduct(QStringLiteral("А-1"));
        TestDatabase::Entry e;
        e.worker = f->tdb.addWorker(QStringLiteral("Аверин"));
        e.operation = f->tdb.addOperation(kind, product);
        f->tdb.addEntry(e);
        // The goods table refuses the delete after the entries are gone.
        f->tdb.run("create function pg_temp_refuse() returns trigger language plpgsql as "
                   "$$ begin raise exception 'goods are locked'; end $$");
        f->tdb.run("create trigger refuse before delete on cmn_gds_and_srv.gds_and_srv "
                   "for each row execute function pg_temp_refuse()");
        form3->prepareBrowsing();
        f->messages.answers = {false, true};
        form3->Button3Click();
        QVERIFY(f->messages.last().contains("goods are locked"));
        QCOMPARE(QList<int>({products(), operations(), entries()}), QList<int>({1, 1, 1}));
    }
};

QTEST_MAIN(ProductsTest)
#include "test_products.moc"
