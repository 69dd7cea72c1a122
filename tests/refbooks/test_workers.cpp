// The workers list TForm5 and the worker dialog TForm2.
#include "program_fixture.h"
#include "worker_dialog.h"
#include "workers_list.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

class WorkersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm5> form5;

    QString fioOf(int id)
    {
        return f->tdb.value(QStringLiteral("select fio from accounts_dep.person where id=:id"), {{"id", id}}).toString();
    }
    QString positionOf(int id)
    {
        return f->tdb.value(QStringLiteral("select s_staffpos_hl from accounts_dep.person where id=:id"), {{"id", id}})
            .toString();
    }
    int addDepartment(const QString& caption)
    {
        return f->tdb.value(QStringLiteral("insert into cmn_department.department(s_caption) values(:c) returning "
                                           "id::integer"),
                            {{"c", caption}})
            .toInt();
    }

private slots:
    void init()
    {
        f = std::make_unique<ProgramFixture>();
        form2 = std::make_unique<TForm2>(f->dm);
        form5 = std::make_unique<TForm5>(f->dm);
        form5->setDialog(form2.get());
    }
    void cleanup()
    {
        form5.reset();
        form2.reset();
        f.reset();
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
            f->tdb.addWorker(QString::fromUtf8(fio));
        form5->prepareBrowsing();
        typeText(form5->Edit1, typed);
        QCOMPARE(form5->Edit1->text(), typed);
        QCOMPARE(shownTexts(form5->DBGrid1), shown);
        form5->Edit1->clear();
        QCOMPARE(shownTexts(form5->DBGrid1).size(), 5);
        form5->finish();
        QVERIFY(!f->dm.Workers.isActive());
    }

    void searchFieldKeys()
    {
        for (const char* fio : {"Аверин", "Борисов", "Волков"})
            f->tdb.addWorker(QString::fromUtf8(fio));
        form5->prepareChoosing(1);
        typeText(form5->Edit1, QStringLiteral("Бо"));
        form5->Edit1->clear();
        pressKey(form5->Edit1, Qt::Key_Down);
        pressKey(form5->Edit1, Qt::Key_Down);
        QCOMPARE(f->dm.Workers.recNo(), 3);
        pressKey(form5->Edit1, Qt::Key_Up);
        QCOMPARE(f->dm.Workers.field("fio").asString(), QStringLiteral("Борисов"));
        QCOMPARE(form5->DBGrid1->currentIndex().row(), 1);
        // Cursor keys do nothing in the field; typing still works.
        typeText(form5->Edit1, QStringLiteral("Бр"));
        pressKey(form5->Edit1, Qt::Key_Home);
        pressKey(form5->Edit1, Qt::Key_Left);
        QCOMPARE(form5->Edit1->cursorPosition(), 2);
    }

    void choose_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fio");
        QTest::newRow("entry dialog") << 1 << "" << "Аверин А.";
        QTest::newRow("works dialog, after a search") << 24 << "во" << "Волков В.";
        QTest::newRow("empty filtered list") << 1 << "Я" << "";
    }
    void choose()
    {
        QFETCH(int, tag);
        QFETCH(QString, typed);
        QFETCH(QString, fio);
        QMap<QString, int> ids;
        for (const char* name : {"Аверин А.   ", "Волков В."})
            ids[QString::fromUtf8(name).trimmed()] = f->tdb.addWorker(QString::fromUtf8(name));
        form5->Edit1->setText(QStringLiteral("left from before"));
        form5->prepareChoosing(tag);
        QCOMPARE(form5->Tag, tag);
        QCOMPARE(form5->Button2->text(), QStringLiteral("Выбрать"));
        QVERIFY(form5->Button2->isDefault());
        QVERIFY(form5->Button1->isHidden());
        QVERIFY(form5->Button3->isHidden());
        QVERIFY(!form5->Edit1->isHidden());
        QCOMPARE(form5->Edit1->text(), QString());
        QCOMPARE(shownTexts(form5->DBGrid1).size(), 2);

        typeText(form5->Edit1, typed);
        form5->Button2Click();
        QCOMPARE(form5->result(), int(QDialog::Accepted));
        if (fio.isEmpty()) {
            QVERIFY(!form5->chosen());
        } else {
            QVERIFY(form5->chosen());
            QCOMPARE(form5->chosen()->text, fio);
            QCOMPARE(form5->chosen()->id, ids[fio]);
        }
        form5->finish();
        QVERIFY(!f->dm.Workers.isActive());

        // The menu opener puts the list back into browsing.
        form5->prepareBrowsing();
        QCOMPARE(form5->Button2->text(), QStringLiteral("Изменить"));
        QVERIFY(!form5->Button2->isDefault());
        QVERIFY(!form5->Button1->isHidden() && !form5->Button3->isHidden());
        form5->finish();
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
        form5->prepareBrowsing();
        whenShown([&] {
            QCOMPARE(form2->windowTitle(), QStringLiteral("Заведение данных нового работника"));
            QCOMPARE(form2->Edit1->text(), QString());
            QCOMPARE(form2->LCB_department->count(), 1);
            if (withDepartment)
                form2->LCB_department->setCurrentIndex(0);
            typeText(form2->Edit1, typed);
            form2->Button1->click();
        });
        form5->Button1Click();
        QCOMPARE(form2->result(), int(QDialog::Accepted));
        QCOMPARE(f->tdb.count("select count(*) from accounts_dep.person"), 1);
        const int id = f->tdb.value("select id from accounts_dep.person").toInt();
        QCOMPARE(fioOf(id), fio);
        QCOMPARE(positionOf(id), position);
        QVERIFY(f->tdb.value("select s_staffpos_hl is not null from accounts_dep.person").toBool());
        // The list shows the new worker.
        QCOMPARE(shownTexts(form5->DBGrid1), QStringList{fio});
        QVERIFY(f->messages.shown.isEmpty());
    }

    void emptyNameIsRefused()
    {
        const int id = f->tdb.addWorker(QStringLiteral("Аверин"));
        form2->Tag = 2;
        form2->PersonId = id;
        form2->reloadLists();
        form2->Edit1->setText(QStringLiteral("   "));
        form2->show();
        form2->Button1Click();
        QCOMPARE(f->messages.texts(), QStringList{"ФИО нужно заполнить!"});
        QCOMPARE(f->messages.shown.first().caption, QStringLiteral("Ошибка"));
        QCOMPARE(f->messages.shown.first().icon, msg::Icon::Error);
        QVERIFY(form2->isVisible());
        QCOMPARE(fioOf(id), QStringLiteral("Аверин"));
        form2->hide();
    }

    void changeWorkerKeepsItsDepartment()
    {
        const int shop1 = addDepartment(QStringLiteral("Цех №1"));
        addDepartment(QStringLiteral("Цех №2"));
        const int other = f->tdb.addWorker(QStringLiteral("Аверин"));
        const int worker = f->tdb.addWorker(QStringLiteral("Борисов"));
        const int loose = f->tdb.addWorker(QStringLiteral("Волков"));
        f->tdb.run("update accounts_dep.person set s_staffpos_hl='Цех №1' where id=:id", {{"id", worker}});
        f->tdb.run("update accounts_dep.person set s_staffpos_hl='Склад' where id=:id", {{"id", loose}});

        // The dialog's lists still hold "Цех №2" from an earlier addition.
        form2->reloadLists();
        form2->LCB_department->setCurrentIndex(form2->LCB_department->findText(QStringLiteral("Цех №2")));

        form5->prepareBrowsing();
        f->dm.Workers.setRecNo(2);
        whenShown([&] {
            QCOMPARE(form2->windowTitle(), QStringLiteral("Изменение данных работника"));
            QCOMPARE(form2->Tag, 2);
            QCOMPARE(form2->PersonId, worker);
            QCOMPARE(form2->Edit1->text(), QStringLiteral("Борисов"));
            QCOMPARE(form2->LCB_department->currentText(), QStringLiteral("Цех №1"));
            form2->Edit1->setText(QStringLiteral("Борисов Б.Б. "));
            form2->Button1Click();
        });
        form5->Button2Click();
        QCOMPARE(fioOf(worker), QStringLiteral("Борисов Б.Б."));
        QCOMPARE(positionOf(worker), QStringLiteral("Цех №1"));
        QCOMPARE(f->tdb.value("select id_department::integer from accounts_dep.person where id=:id", {{"id", worker}})
                     .toInt(),
                 shop1);
        QCOMPARE(fioOf(other), QStringLiteral("Аверин"));
        // The list closes after a change and stands on the same row.
        QCOMPARE(form5->result(), int(QDialog::Accepted));
        QCOMPARE(f->dm.Workers.recNo(), 2);

        // A position text that is no department stays when the worker is renamed.
        f->dm.Workers.setRecNo(3);
        whenShown([&] {
            QCOMPARE(form2->LCB_department->currentIndex(), -1);
            form2->Button1Click();
        });
        form5->Button2Click();
        QCOMPARE(positionOf(loose), QStringLiteral("Склад"));
        form5->finish();
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
        f->tdb.addWorker(QStringLiteral("Аверин"));
        const int worker = f->tdb.addWorker(QStringLiteral("Борисов"));
        if (withEntry) {
            const int product = f->tdb.addProduct(QStringLiteral("М-1"));
            TestDatabase::Entry e;
            e.worker = worker;
            e.operation = f->tdb.addOperation(f->tdb.addKind(QStringLiteral("Сборка")), product);
            f->tdb.addEntry(e);
        }
        form5->prepareBrowsing();
        f->dm.Workers.setRecNo(2);
        f->messages.answers = {answer};
        form5->Button3Click();
        QCOMPARE(f->messages.shown.first().text, QStringLiteral("Удалить работника?"));
        QCOMPARE(f->messages.shown.first().caption, QStringLiteral("Удаление"));
        QVERIFY(f->messages.shown.first().question);
        QCOMPARE(f->tdb.count("select count(*) from accounts_dep.person"), left);
        QCOMPARE(f->messages.shown.size(), withEntry ? 2 : 1);
        if (withEntry)
            QVERIFY(f->messages.last().contains("smena"));
        QCOMPARE(shownTexts(form5->DBGrid1).size(), left);
    }

    void wheelStepsTheFocusedList()
    {
        for (const char* c : {"Мастер", "Слесарь", "Токарь"})
            f->tdb.run("insert into hrms_staffpos.staffpos(s_caption) values(:c)", {{"c", QString::fromUtf8(c)}});
        form2->reloadLists();
        form2->show();
        QVERIFY(QTest::qWaitForWindowExposed(form2.get()));
        auto wheel = [&](QWidget* target, int delta) {
            QWheelEvent e(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &e);
        };
        form2->LCB_staffpos->setFocus();
        wheel(form2->Edit1, -120);
        wheel(form2->Edit1, -120);
        QCOMPARE(form2->LCB_staffpos->currentText(), QStringLiteral("Слесарь"));
        wheel(form2->LCB_staffpos, 120);
        QCOMPARE(form2->LCB_staffpos->currentText(), QStringLiteral("Мастер"));
        // Focus elsewhere: no list moves, not even the one under the pointer.
        form2->Edit1->setFocus();
        wheel(form2->LCB_staffpos, -120);
        QCOMPARE(form2->LCB_staffpos->currentText(), QStringLiteral("Мастер"));
        form2->hide();
    }
};

QTEST_MAIN(WorkersTest)
#include "test_workers.moc"
