// The kinds of operations list (TForm8) and the kind dialog (TForm9).
#include "kind_dialog.h"
#include "kinds_list.h"
#include "program_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class KindsTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<KindDialog> dialog;
    std::unique_ptr<KindsList> list;

    QStringList storedNames()
    {
        QStringList out;
        QSqlQuery q = tdb->db().exec("select trim(vid) from accounts_dep.vid_oper order by id");
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

private slots:
    void init()
    {
        makeFixture();
        dialog = std::make_unique<KindDialog>(*dm);
        list = std::make_unique<KindsList>(*dm, *dialog);
    }
    void cleanup()
    {
        list.reset();
        dialog.reset();
        dropFixture();
    }

    void choose_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("beginning, any letter case") << "пОк" << QStringList{"Покраска", "покрытие"} << "Покраска";
        QTest::newRow("not inside a name") << "краска" << QStringList{} << "";
        QTest::newRow("apostrophe") << "Д'" << QStringList{"Д'Арт"} << "Д'Арт";
    }
    void choose()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        QFETCH(QString, chosen);
        QMap<QString, int> ids;
        for (const char* v : {"Покраска", "покрытие", "Сборка", "Д'Арт"})
            ids[QString::fromUtf8(v)] = tdb->addKind(QString::fromUtf8(v));
        // Browsing has no search field.
        list->prepareBrowsing();
        QVERIFY(list->searchEdit->isHidden());
        list->finish();

        list->prepareChoosing();
        QCOMPARE(list->changeButton->text(), QStringLiteral("&Выбрать"));
        QVERIFY(list->changeButton->isDefault());
        QVERIFY(list->addButton->isHidden() && list->deleteButton->isHidden());
        QVERIFY(!list->searchEdit->isHidden());
        typeText(list->searchEdit, typed);
        QCOMPARE(shownTexts(list->grid), shown);
        // Enter in the search field chooses.
        list->show();
        pressKey(list->searchEdit, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(list->result(), int(QDialog::Accepted));
        QCOMPARE(bool(list->chosen()), !chosen.isEmpty());
        if (list->chosen()) {
            QCOMPARE((*list->chosen())["vid"].asString().trimmed(), chosen);
            QCOMPARE((*list->chosen())["id"].asInteger(), ids[chosen]);
        }
        list->finish();
        QVERIFY(list->searchEdit->isHidden());
        QVERIFY(!list->changeButton->isDefault());
        QVERIFY(!dm->operationKinds.isActive());

        // The menu opener shows every kind again, whatever the picker's search left.
        list->prepareBrowsing();
        QCOMPARE(shownTexts(list->grid).size(), 4);
        QCOMPARE(list->changeButton->text(), QStringLiteral("&Изменить"));
        QVERIFY(!list->addButton->isHidden() && !list->deleteButton->isHidden());
        list->finish();
    }

    void save_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("stored");
        const QString refused = QStringLiteral("Такая операция уже заведена!");
        const QString empty = QStringLiteral("Все поля должны быть заполнены!");
        // "Покраска" (renamed) and "Сборка" exist.
        QTest::newRow("add, trimmed") << false << "  Резка " << ""
                                      << QStringList{"Покраска", "Сборка", "Резка"};
        QTest::newRow("add, apostrophe") << false << "Д'Арт" << "" << QStringList{"Покраска", "Сборка", "Д'Арт"};
        QTest::newRow("add, same name in other case") << false << "ПОКРАСКА" << refused
                                                      << QStringList{"Покраска", "Сборка"};
        QTest::newRow("add, empty") << false << "   " << empty << QStringList{"Покраска", "Сборка"};
        QTest::newRow("rename to own name in other case") << true << "покраска" << ""
                                                          << QStringList{"покраска", "Сборка"};
        QTest::newRow("rename to another's name") << true << "сБОРКА" << refused
                                                  << QStringList{"Покраска", "Сборка"};
    }
    void save()
    {
        QFETCH(bool, rename);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QStringList, stored);
        tdb->addKind(QStringLiteral("Покраска"));
        tdb->addKind(QStringLiteral("Сборка"));
        list->prepareBrowsing();
        whenShown([&] {
            QCOMPARE(dialog->windowTitle(), rename ? QStringLiteral("Изменение данных вида операции")
                                                  : QStringLiteral("Заведение нового вида операций"));
            QCOMPARE(dialog->nameEdit->text(), rename ? QStringLiteral("Покраска") : QString());
            dialog->nameEdit->clear();
            typeText(dialog->nameEdit, typed);
            dialog->save();
            // A refused save leaves the dialog open with the input.
            QCOMPARE(dialog->isVisible(), !message.isEmpty());
            if (dialog->isVisible()) {
                QCOMPARE(dialog->nameEdit->text(), typed);
                dialog->reject();
            }
        });
        if (rename)
            list->changeOrChoose();  // the list stands on "Покраска"
        else
            list->addRow();
        QCOMPARE(messages->texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(messages->shown.first().caption, QStringLiteral("Ошибка"));
        QCOMPARE(storedNames(), stored);
        QCOMPARE(shownTexts(list->grid).size(), stored.size());
        QCOMPARE(dm->operationKinds.recNo(), 1);
    }

    void deleteKind_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("withOperation");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("no") << false << false << QStringList{"Покраска", "Сборка"};
        QTest::newRow("yes") << true << false << QStringList{"Сборка"};
        QTest::newRow("yes, but the kind has operations") << true << true << QStringList{"Покраска", "Сборка"};
    }
    void deleteKind()
    {
        QFETCH(bool, answer);
        QFETCH(bool, withOperation);
        QFETCH(QStringList, stored);
        const int kind = tdb->addKind(QStringLiteral("Покраска"));
        tdb->addKind(QStringLiteral("Сборка"));
        if (withOperation)
            tdb->addOperation(kind, tdb->addProduct(QStringLiteral("М-1")));
        list->prepareBrowsing();
        messages->answers = {answer};
        list->deleteRow();
        QCOMPARE(messages->shown.first().text, QStringLiteral("Удалить вид операции?"));
        QCOMPARE(messages->shown.first().caption, QStringLiteral("Удаление"));
        QCOMPARE(messages->shown.size(), withOperation ? 2 : 1);
        QCOMPARE(storedNames(), stored);
        QCOMPARE(shownTexts(list->grid), stored);
    }
};

QTEST_MAIN(KindsTest)
#include "test_kinds.moc"
