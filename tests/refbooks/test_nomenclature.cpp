// The nomenclature list TForm26 and the group dialog TForm29.
#include "group_dialog.h"
#include "nomenclature_list.h"
#include "program_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class NomenclatureTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    std::unique_ptr<TForm26> form26;
    std::unique_ptr<TForm29> form29;

private slots:
    void init()
    {
        f = std::make_unique<ProgramFixture>();
        form26 = std::make_unique<TForm26>(f->dm);
        form29 = std::make_unique<TForm29>(f->dm, form26->item);
        form26->setGroupDialog(form29.get());
        for (const char* g : {"Двери", "Дерево", "Окна", "Б'Арт"})
            f->tdb.addGroup(QString::fromUtf8(g));
        // An item of another level is no group.
        f->tdb.run("insert into cmn_classifier.item(s_caption, id_level) values('Дом', 1)");
    }
    void cleanup()
    {
        form26.reset();
        form29.reset();
        f.reset();
    }

    void choose_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("beginning, any letter case") << "дВ" << QStringList{"Двери"} << "Двери";
        QTest::newRow("apostrophe") << "б'" << QStringList{"Б'Арт"} << "Б'Арт";
        QTest::newRow("empty filtered list") << "Я" << QStringList{} << "";
    }
    void choose()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        QFETCH(QString, chosen);
        f->tdb.run("update cmn_classifier.item set s_caption='Двери ' where s_caption='Двери'");
        form26->prepareChoosing();
        QCOMPARE(form26->Tag, 24);
        QCOMPARE(form26->Button3->text(), QStringLiteral("Выбрать"));
        QVERIFY(form26->Button1->isHidden() && form26->Button2->isHidden());
        QCOMPARE(shownTexts(form26->DBGrid1).size(), 4);
        typeText(form26->Edit1, typed);
        QCOMPARE(shownTexts(form26->DBGrid1), shown);
        form26->Button3Click();
        QCOMPARE(form26->result(), int(QDialog::Accepted));
        QCOMPARE(bool(form26->chosen()), !chosen.isEmpty());
        if (form26->chosen()) {
            // The name as stored, not trimmed.
            QCOMPARE(form26->chosen()->text.trimmed(), chosen);
            QCOMPARE(form26->chosen()->text,
                     f->tdb.value("select s_caption from cmn_classifier.item where id=:id", {{"id", form26->chosen()->id}})
                         .toString());
        }
        form26->finish();
        QVERIFY(!form26->Button1->isHidden() && !form26->Button2->isHidden());
        QVERIFY(!form26->Button1->isEnabled());
        QVERIFY(!form26->item.isActive());

        form26->Edit1->clear();
        form26->prepareBrowsing();
        QCOMPARE(form26->Button3->text(), QStringLiteral("Изменить"));
        form26->finish();
    }

    void addAndRename_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        // The list stands on its third row, "Дерево", before an addition.
        QTest::newRow("add, trimmed") << false << "  Арки " << QStringList{"Арки", "Б'Арт", "Двери", "Дерево", "Окна"};
        QTest::newRow("add, empty name") << false << "" << QStringList{"", "Б'Арт", "Двери", "Дерево", "Окна"};
        QTest::newRow("rename, apostrophe") << true << " О'Кна" << QStringList{"Б'Арт", "Двери", "Дерево", "О'Кна"};
    }
    void addAndRename()
    {
        QFETCH(bool, rename);
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        form26->prepareBrowsing();
        QCOMPARE(shownTexts(form26->DBGrid1), QStringList({"Б'Арт", "Двери", "Дерево", "Окна"}));
        form26->item.setRecNo(rename ? 4 : 3);
        whenShown([&] {
            QCOMPARE(form29->Tag, rename ? 2 : 1);
            QCOMPARE(form29->Edit1->text(), rename ? QStringLiteral("Окна") : QString());
            form29->Edit1->setText(typed);
            form29->Button1Click();
            QVERIFY(!form29->isVisible());
        });
        if (rename)
            form26->Button3Click();
        else
            form26->Button2Click();
        QVERIFY(f->messages.shown.isEmpty());
        QCOMPARE(shownTexts(form26->DBGrid1), shown);
        // Back on the record number it had, whichever group that now is.
        QCOMPARE(form26->item.recNo(), rename ? 4 : 3);
        QCOMPARE(f->tdb.count("select count(*) from cmn_classifier.item"), rename ? 5 : 6);
    }

    void failedSaveKeepsDialogOpen()
    {
        form26->prepareBrowsing();
        f->tdb.run("alter table cmn_classifier.item add constraint short_name check (length(s_caption) < 10)");
        whenShown([&] {
            form29->Edit1->setText(QStringLiteral("Очень длинное имя"));
            form29->Button1Click();
            QVERIFY(form29->isVisible());
            QCOMPARE(form29->Edit1->text(), QStringLiteral("Очень длинное имя"));
            form29->reject();
        });
        form26->Button2Click();
        QCOMPARE(f->messages.shown.size(), 1);
        QVERIFY(f->messages.last().contains("short_name"));
        QCOMPARE(shownTexts(form26->DBGrid1).size(), 4);
    }
};

QTEST_MAIN(NomenclatureTest)
#include "test_nomenclature.moc"
