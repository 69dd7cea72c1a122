// The nomenclature list (TForm26) and the group dialog (TForm29).
#include "group_dialog.h"
#include "nomenclature_list.h"
#include "program_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class NomenclatureTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<GroupDialog> dialog;
    std::unique_ptr<NomenclatureList> list;

private slots:
    void init()
    {
        makeFixture();
        dialog = std::make_unique<GroupDialog>(*dm);
        list = std::make_unique<NomenclatureList>(*dm, *dialog);
        for (const char* g : {"Двери", "Дерево", "Окна", "Б'Арт"})
            tdb->addGroup(QString::fromUtf8(g));
        // An item of another level is no group.
        tdb->run("insert into cmn_classifier.item(s_caption, id_level) values('Дом', 1)");
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
        QTest::newRow("beginning, any letter case") << "дВ" << QStringList{"Двери"} << "Двери";
        QTest::newRow("apostrophe") << "б'" << QStringList{"Б'Арт"} << "Б'Арт";
        QTest::newRow("empty filtered list") << "Я" << QStringList{} << "";
    }
    void choose()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        QFETCH(QString, chosen);
        tdb->run("update cmn_classifier.item set s_caption='Двери ' where s_caption='Двери'");
        list->prepareChoosing();
        QCOMPARE(list->mode(), ListMode::Choose);
        QCOMPARE(list->changeButton->text(), QStringLiteral("&Выбрать"));
        QVERIFY(list->deleteButton->isHidden() && list->addButton->isHidden());
        QCOMPARE(shownTexts(list->grid).size(), 4);
        typeText(list->searchEdit, typed);
        QCOMPARE(shownTexts(list->grid), shown);
        list->changeOrChoose();
        QCOMPARE(list->result(), int(QDialog::Accepted));
        QCOMPARE(bool(list->chosen()), !chosen.isEmpty());
        if (list->chosen()) {
            // The name as stored, not trimmed.
            const Row& row = *list->chosen();
            QCOMPARE(row["s_caption"].asString().trimmed(), chosen);
            QCOMPARE(row["s_caption"].asString(),
                     tdb->value("select s_caption from cmn_classifier.item where id=:id", {{"id", row["id"].asInteger()}})
                         .toString());
        }
        list->finish();
        QVERIFY(!list->deleteButton->isHidden() && !list->addButton->isHidden());
        QVERIFY(!list->deleteButton->isEnabled());
        QVERIFY(!list->groups.isActive());

        list->searchEdit->clear();
        list->prepareBrowsing();
        QCOMPARE(list->changeButton->text(), QStringLiteral("&Изменить"));
        list->finish();
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
        list->prepareBrowsing();
        QCOMPARE(shownTexts(list->grid), QStringList({"Б'Арт", "Двери", "Дерево", "Окна"}));
        list->groups.setRecNo(rename ? 4 : 3);
        whenShown([&] {
            QCOMPARE(dialog->mode(), rename ? DialogMode::Change : DialogMode::Add);
            QCOMPARE(dialog->nameEdit->text(), rename ? QStringLiteral("Окна") : QString());
            dialog->nameEdit->setText(typed);
            dialog->save();
            QVERIFY(!dialog->isVisible());
        });
        if (rename)
            list->changeOrChoose();
        else
            list->addRow();
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(shownTexts(list->grid), shown);
        // Back on the record number it had, whichever group that now is.
        QCOMPARE(list->groups.recNo(), rename ? 4 : 3);
        QCOMPARE(tdb->count("select count(*) from cmn_classifier.item"), rename ? 5 : 6);
    }

    void failedSaveKeepsDialogOpen()
    {
        list->prepareBrowsing();
        tdb->run("alter table cmn_classifier.item add constraint short_name check (length(s_caption) < 10)");
        whenShown([&] {
            dialog->nameEdit->setText(QStringLiteral("Очень длинное имя"));
            dialog->save();
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->nameEdit->text(), QStringLiteral("Очень длинное имя"));
            dialog->reject();
        });
        list->addRow();
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY(messages->last().contains("short_name"));
        QCOMPARE(shownTexts(list->grid).size(), 4);
    }
};

QTEST_MAIN(NomenclatureTest)
#include "test_nomenclature.moc"
