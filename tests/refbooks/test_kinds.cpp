// The kinds of operations list TForm8 and the kind dialog TForm9.
#include "kind_dialog.h"
#include "kinds_list.h"
#include "program_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class KindsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    std::unique_ptr<TForm8> form8;
    std::unique_ptr<TForm9> form9;

    QStringList storedNames()
    {
        QStringList out;
        QSqlQuery q = f->tdb.db().exec("select trim(vid) from accounts_dep.vid_oper order by id");
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

private slots:
    void init()
    {
        f = std::make_unique<ProgramFixture>();
        form8 = std::make_unique<TForm8>(f->dm);
        form9 = std::make_unique<TForm9>(f->dm);
        form8->setDialog(form9.get());
    }
    void cleanup()
    {
        form8.reset();
        form9.reset();
        f.reset();
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
            ids[QString::fromUtf8(v)] = f->tdb.addKind(QString::fromUtf8(v));
        // Browsing has no search field.
        form8->prepareBrowsing();
        QVERIFY(form8->Edit1->isHidden());
        form8->finish();

        form8->prepareChoosing(1);
        QCOMPARE(form8->Button2->text(), QStringLiteral("Выбрать"));
        QVERIFY(form8->Button2->isDefault());
        QVERIFY(form8->Button1->isHidden() && form8->Button3->isHidden());
        QVERIFY(!form8->Edit1->isHidden());
        typeText(form8->Edit1, typed);
        QCOMPARE(shownTexts(form8->DBGrid1), shown);
        // Enter in the search field chooses.
        form8->show();
        pressKey(form8->Edit1, Qt::Key_Return);
        QVERIFY(!form8->isVisible());
        QCOMPARE(form8->result(), int(QDialog::Accepted));
        QCOMPARE(bool(form8->chosen()), !chosen.isEmpty());
        if (form8->chosen()) {
            QCOMPARE(form8->chosen()->text, chosen);  // trimmed: vid is fixed-width text
            QCOMPARE(form8->chosen()->id, ids[chosen]);
        }
        form8->finish();
        QVERIFY(form8->Edit1->isHidden());
        QVERIFY(!form8->Button2->isDefault());
        QVERIFY(!f->dm.Vid_oper.isActive());

        // The menu opener shows every kind again, whatever the picker's search left.
        form8->prepareBrowsing();
        QCOMPARE(shownTexts(form8->DBGrid1).size(), 4);
        QCOMPARE(form8->Button2->text(), QStringLiteral("Изменить"));
        QVERIFY(!form8->Button1->isHidden() && !form8->Button3->isHidden());
        form8->finish();
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
        f->tdb.addKind(QStringLiteral("Покраска"));
        f->tdb.addKind(QStringLiteral("Сборка"));
        form8->prepareBrowsing();
        whenShown([&] {
            QCOMPARE(form9->windowTitle(), rename ? QStringLiteral("Изменение данных вида операции")
                                                  : QStringLiteral("Заведение нового вида операций"));
            QCOMPARE(form9->Edit1->text(), rename ? QStringLiteral("Покраска") : QString());
            form9->Edit1->clear();
            typeText(form9->Edit1, typed);
            form9->Button1Click();
            // A refused save leaves the dialog open with the input.
            QCOMPARE(form9->isVisible(), !message.isEmpty());
            if (form9->isVisible()) {
                QCOMPARE(form9->Edit1->text(), typed);
                form9->reject();
            }
        });
        if (rename)
            form8->Button2Click();  // the list stands on "Покраска"
        else
            form8->Button1Click();
        QCOMPARE(f->messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(f->messages.shown.first().caption, QStringLiteral("Ошибка"));
        QCOMPARE(storedNames(), stored);
        QCOMPARE(shownTexts(form8->DBGrid1).size(), stored.size());
        QCOMPARE(f->dm.Vid_oper.recNo(), 1);
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
        const int kind = f->tdb.addKind(QStringLiteral("Покраска"));
        f->tdb.addKind(QStringLiteral("Сборка"));
        if (withOperation)
            f->tdb.addOperation(kind, f->tdb.addProduct(QStringLiteral("М-1")));
        form8->prepareBrowsing();
        f->messages.answers = {answer};
        form8->Button3Click();
        QCOMPARE(f->messages.shown.first().text, QStringLiteral("Удалить вид операции?"));
        QCOMPARE(f->messages.shown.first().caption, QStringLiteral("Удаление"));
        QCOMPARE(f->messages.shown.size(), withOperation ? 2 : 1);
        QCOMPARE(storedNames(), stored);
        QCOMPARE(shownTexts(form8->DBGrid1), stored);
    }
};

QTEST_MAIN(KindsTest)
#include "test_kinds.moc"
