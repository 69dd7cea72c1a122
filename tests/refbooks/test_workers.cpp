// The workers list (TForm5) and the worker dialog (TForm2).
#include "program_fixture.h"
#include "window_memory.h"
#include "worker_dialog.h"
#include "workers_list.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

class WorkersTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<WorkerDialog> dialog;
    std::unique_ptr<WorkersList> list;

    QString fioOf(int id)
    {
        return tdb->value(QStringLiteral("select fio from accounts_dep.person where id=:id"), {{"id", id}}).toString();
    }
    QString positionOf(int id)
    {
        return tdb->value(QStringLiteral("select s_staffpos_hl from accounts_dep.person where id=:id"), {{"id", id}})
            .toString();
    }
    int addDepartment(const QString& caption)
    {
        return tdb->value(QStringLiteral("insert into cmn_department.department(s_caption) values(:c) returning "
                                           "id::integer"),
                            {{"c", caption}})
            .toInt();
    }

private slots:
    void init()
    {
        makeFixture();
        dialog = std::make_unique<WorkerDialog>(*dm);
        list = std::make_unique<WorkersList>(*dm, *dialog);
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
        QTest::newRow("beginning, any letter case") << "иВ" << QStringList{"Иванов И.И.", "иванова А.А."};
        QTest::newRow("not inside a name") << "ов" << QStringList{};
        QTest::newRow("apostrophe") << "O'" << QStringList{"O'Brien P."};
        QTest::newRow("percent and underscore literally") << "100%_" << QStringList{"100%_Жук"};
        QTest::newRow("underscore is no wildcard") << "1_" << QStringList{};
    }
    void search()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        for (const char* fio : {"Иванов И.И.", "иванова А.А.", "Петров П.П.", "O'Brien P.", "100%_Жук"})
            tdb->addWorker(QString::fromUtf8(fio));
        list->prepareBrowsing();
        typeText(list->searchEdit, typed);
        QCOMPARE(list->searchEdit->text(), typed);
        QCOMPARE(shownTexts(list->grid), shown);
        list->searchEdit->clear();
        QCOMPARE(shownTexts(list->grid).size(), 5);
        list->finish();
        QVERIFY(!dm->workers.isActive());
    }

    void searchFieldKeys()
    {
        for (const char* fio : {"Аверин", "Борисов", "Волков"})
            tdb->addWorker(QString::fromUtf8(fio));
        list->prepareChoosing();
        typeText(list->searchEdit, QStringLiteral("Бо"));
        list->searchEdit->clear();
        pressKey(list->searchEdit, Qt::Key_Down);
        pressKey(list->searchEdit, Qt::Key_Down);
        QCOMPARE(dm->workers.recNo(), 3);
        pressKey(list->searchEdit, Qt::Key_Up);
        QCOMPARE(dm->workers.field("fio").asString(), QStringLiteral("Борисов"));
        QCOMPARE(list->grid->currentIndex().row(), 1);
        // Cursor keys do nothing in the field; typing still works.
        typeText(list->searchEdit, QStringLiteral("Бр"));
        pressKey(list->searchEdit, Qt::Key_Home);
        pressKey(list->searchEdit, Qt::Key_Left);
        QCOMPARE(list->searchEdit->cursorPosition(), 2);
    }

    void choose_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fio");
        QTest::newRow("first row") << "" << "Аверин А.";
        QTest::newRow("after a search") << "во" << "Волков В.";
        QTest::newRow("empty filtered list") << "Я" << "";
    }
    void choose()
    {
        QFETCH(QString, typed);
        QFETCH(QString, fio);
        QMap<QString, int> ids;
        for (const char* name : {"Аверин А.   ", "Волков В."})
            ids[QString::fromUtf8(name).trimmed()] = tdb->addWorker(QString::fromUtf8(name));
        list->searchEdit->setText(QStringLiteral("left from before"));
        list->prepareChoosing();
        QCOMPARE(list->mode(), ListMode::Choose);
        QCOMPARE(list->changeButton->text(), QStringLiteral("&Выбрать"));
        QVERIFY(list->changeButton->isDefault());
        QVERIFY(list->addButton->isHidden());
        QVERIFY(list->deleteButton->isHidden());
        QVERIFY(!list->searchEdit->isHidden());
        QCOMPARE(list->searchEdit->text(), QString());
        QCOMPARE(shownTexts(list->grid).size(), 2);

        typeText(list->searchEdit, typed);
        list->changeOrChoose();
        QCOMPARE(list->result(), int(QDialog::Accepted));
        if (fio.isEmpty()) {
            QVERIFY(!list->chosen());
        } else {
            QVERIFY(list->chosen());
            QCOMPARE((*list->chosen())["fio"].asString().trimmed(), fio);
            QCOMPARE((*list->chosen())["id"].asInteger(), ids[fio]);
        }
        list->finish();
        QVERIFY(!dm->workers.isActive());

        // The menu opener puts the list back into browsing.
        list->prepareBrowsing();
        QCOMPARE(list->changeButton->text(), QStringLiteral("&Изменить"));
        QVERIFY(!list->changeButton->isDefault());
        QVERIFY(!list->addButton->isHidden() && !list->deleteButton->isHidden());
        list->finish();
    }

    void addWorker_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("withDepartment");
        QTest::addColumn<QString>("fio");
        QTest::addColumn<QString>("position");
        QTest::newRow("trimmed, department caption stored") << "  Жуков Ж.Ж. " << true << "Жуков Ж.Ж." << "Цех №1";
        QTest::newRow("no department: empty position") << "Жуков Ж.Ж." << false << "Жуков Ж.Ж." << "";
        QTest::newRow("apostrophe and quotes") << "O'Neil \"Д\"" << false << "O'Neil \"Д\"" << "";
    }
    void addWorker()
    {
        QFETCH(QString, typed);
        QFETCH(bool, withDepartment);
        QFETCH(QString, fio);
        QFETCH(QString, position);
        addDepartment(QStringLiteral("Цех №1"));
        list->prepareBrowsing();
        whenShown([&] {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Заведение данных нового работника"));
            QCOMPARE(dialog->nameEdit->text(), QString());
            QCOMPARE(dialog->departmentBox->count(), 1);
            if (withDepartment)
                dialog->departmentBox->setCurrentIndex(0);
            typeText(dialog->nameEdit, typed);
            dialog->saveButton->click();
        });
        list->addRow();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.person"), 1);
        const int id = tdb->value("select id from accounts_dep.person").toInt();
        QCOMPARE(fioOf(id), fio);
        QCOMPARE(positionOf(id), position);
        QVERIFY(tdb->value("select s_staffpos_hl is not null from accounts_dep.person").toBool());
        // The list shows the new worker.
        QCOMPARE(shownTexts(list->grid), QStringList{fio});
        QVERIFY(messages->shown.isEmpty());
    }

    void emptyNameIsRefused()
    {
        const int id = tdb->addWorker(QStringLiteral("Аверин"));
        whenShown([&] {
            QCOMPARE(dialog->nameEdit->text(), QStringLiteral("Аверин"));
            dialog->nameEdit->setText(QStringLiteral("   "));
            dialog->save();
            QCOMPARE(messages->texts(), QStringList{"ФИО нужно заполнить!"});
            QCOMPARE(messages->shown.first().caption, QStringLiteral("Ошибка"));
            QCOMPARE(messages->shown.first().icon, msg::Icon::Error);
            QVERIFY(dialog->isVisible());
            dialog->reject();
        });
        QVERIFY(!dialog->openForChange(Row::of({{"id", id}, {"fio", "Аверин"}})));
        QCOMPARE(fioOf(id), QStringLiteral("Аверин"));
    }

    void changeWorkerKeepsItsDepartment()
    {
        addDepartment(QStringLiteral("Цех №1"));
        addDepartment(QStringLiteral("Цех №2"));
        const int other = tdb->addWorker(QStringLiteral("Аверин"));
        const int worker = tdb->addWorker(QStringLiteral("Борисов"));
        const int loose = tdb->addWorker(QStringLiteral("Волков"));
        tdb->run("update accounts_dep.person set s_staffpos_hl='Цех №1' where id=:id", {{"id", worker}});
        tdb->run("update accounts_dep.person set s_staffpos_hl='Склад' where id=:id", {{"id", loose}});

        // The dialog's lists still hold "Цех №2" from an earlier addition.
        dialog->reloadLists();
        dialog->departmentBox->setCurrentIndex(dialog->departmentBox->findText(QStringLiteral("Цех №2")));

        list->prepareBrowsing();
        dm->workers.setRecNo(2);
        whenShown([&] {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Изменение данных работника"));
            QCOMPARE(dialog->mode(), DialogMode::Change);
            QCOMPARE(dialog->nameEdit->text(), QStringLiteral("Борисов"));
            QCOMPARE(dialog->departmentBox->currentText(), QStringLiteral("Цех №1"));
            dialog->nameEdit->setText(QStringLiteral("Борисов Б.Б. "));
            dialog->save();
        });
        list->changeOrChoose();
        QCOMPARE(fioOf(worker), QStringLiteral("Борисов Б.Б."));
        QCOMPARE(positionOf(worker), QStringLiteral("Цех №1"));
        QCOMPARE(fioOf(other), QStringLiteral("Аверин"));
        // The list closes after a change and stands on the same row.
        QCOMPARE(list->result(), int(QDialog::Accepted));
        QCOMPARE(dm->workers.recNo(), 2);

        // A position text that is no department stays when the worker is renamed.
        dm->workers.setRecNo(3);
        whenShown([&] {
            QCOMPARE(dialog->departmentBox->currentIndex(), -1);
            dialog->save();
        });
        list->changeOrChoose();
        QCOMPARE(positionOf(loose), QStringLiteral("Склад"));
        list->finish();
    }

    void deleteWorker_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("withEntry");
        QTest::addColumn<int>("left");
        QTest::newRow("no") << false << false << 2;
        QTest::newRow("yes") << true << false << 1;
        QTest::newRow("yes, but the worker has entries") << true << true << 2;
    }
    void deleteWorker()
    {
        QFETCH(bool, answer);
        QFETCH(bool, withEntry);
        QFETCH(int, left);
        tdb->addWorker(QStringLiteral("Аверин"));
        const int worker = tdb->addWorker(QStringLiteral("Борисов"));
        if (withEntry) {
            const int product = tdb->addProduct(QStringLiteral("М-1"));
            TestDatabase::Entry e;
            e.worker = worker;
            e.operation = tdb->addOperation(tdb->addKind(QStringLiteral("Сборка")), product);
            tdb->addEntry(e);
        }
        list->prepareBrowsing();
        dm->workers.setRecNo(2);
        messages->answers = {answer};
        list->deleteRow();
        QCOMPARE(messages->shown.first().text, QStringLiteral("Удалить работника?"));
        QCOMPARE(messages->shown.first().caption, QStringLiteral("Удаление"));
        QVERIFY(messages->shown.first().question);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.person"), left);
        QCOMPARE(messages->shown.size(), withEntry ? 2 : 1);
        if (withEntry)
            QCOMPARE(messages->last(), QStringLiteral("Работник используется и не может быть удалён."));
        QCOMPARE(shownTexts(list->grid).size(), left);
    }

    void wheelStepsTheFocusedList()
    {
        for (const char* c : {"Мастер", "Слесарь", "Токарь"})
            tdb->run("insert into hrms_staffpos.staffpos(s_caption) values(:c)", {{"c", QString::fromUtf8(c)}});
        dialog->reloadLists();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        auto wheel = [&](QWidget* target, int delta) {
            QWheelEvent e(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &e);
        };
        dialog->staffPositionBox->setFocus();
        wheel(dialog->nameEdit, -120);
        wheel(dialog->nameEdit, -120);
        QCOMPARE(dialog->staffPositionBox->currentText(), QStringLiteral("Слесарь"));
        wheel(dialog->staffPositionBox, 120);
        QCOMPARE(dialog->staffPositionBox->currentText(), QStringLiteral("Мастер"));
        // Focus elsewhere: no list moves, not even the one under the pointer.
        dialog->nameEdit->setFocus();
        wheel(dialog->staffPositionBox, -120);
        QCOMPARE(dialog->staffPositionBox->currentText(), QStringLiteral("Мастер"));
        dialog->hide();
    }

    // The list grows and takes back its size, position and column widths after a restart (a
    // new memory on the same settings file, a new window); it never gets smaller than built.
    void sizeAndColumnsSurviveARestart()
    {
        tdb->addWorker("Иванов И.И.");
        QTemporaryDir folder;
        const QString file = folder.filePath("tabel.ini");
        const QSize built = list->size();
        {
            WindowMemory memory(file);
            qApp->installEventFilter(&memory);
            whenShown([&] {
                QCOMPARE(list->minimumSize(), built);
                list->resize(built.width() + 200, built.height() + 100);
                list->grid->setColumnWidth(0, 333);
                list->reject();
            });
            list->browse();
        }
        list.reset();
        list = std::make_unique<WorkersList>(*dm, *dialog);
        WindowMemory memory(file);
        qApp->installEventFilter(&memory);
        whenShown([&] {
            QCOMPARE(list->size(), QSize(built.width() + 200, built.height() + 100));
            QCOMPARE(list->grid->columnWidth(0), 333);
            list->resize(100, 100);
            QCOMPARE(list->size(), built);
            list->reject();
        });
        list->browse();
    }
};

QTEST_MAIN(WorkersTest)
#include "test_workers.moc"
