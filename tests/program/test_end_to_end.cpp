// The program as a foreman uses it: login, the register, and a typical entry through the
// entry dialog and both pickers, with the windows wired as at start-up.
#include "data_module.h"
#include "entry_dialog.h"
#include "login_window.h"
#include "message_recorder.h"
#include "program_fixture.h"
#include "operations_list.h"
#include "register_window.h"
#include "russian.h"
#include "test_database.h"
#include "windows.h"
#include "workers_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void typicalEntryEndToEnd()
    {
        useRussian();
        MessageRecorder messages;
        TestDatabase tdb;
        const int worker = tdb.addWorker("Петров А.С.");
        tdb.addWorker("Сидоров Б.В.");
        const int op = tdb.addOperation(tdb.addKind("Сборка"), tdb.addProduct("КМ-1"), 1);
        tdb.addNorm(op, 10);
        tdb.addNorm(op, 8);

        const QByteArray port = qgetenv("PGPORT");
        qputenv("PGPORT", QByteArray::number(tdb.settings().port));
        Windows windows;
        QVERIFY(windows.start({tdb.settings().database, tdb.settings().host}, {20240227, 54663}));
        qputenv("PGPORT", port);
        LoginWindow& login = windows.loginWindow();
        RegisterWindow& reg = windows.registerWindow();
        bool walkedThrough = false;

        whenShown<RegisterWindow>([&](RegisterWindow* r) {
            QCOMPARE(r->dateEdit->date(), QDate::currentDate());
            r->shift3Button->click();
            r->dayOffBox->setChecked(true);
            whenShown<EntryDialog>([&](EntryDialog* entry) {
                QCOMPARE(entry->windowTitle(), QStringLiteral("Заведение новой позиции (11)"));
                QCOMPARE(entry->rejectsEdit->text(), QStringLiteral("0"));
                whenShown<WorkersList>([&](WorkersList* list) {
                    QVERIFY(windows.dataModule().workers.locate("fio", "Петров А.С."));
                    list->changeButton->click();
                });
                entry->chooseWorkerButton->click();
                QCOMPARE(entry->workerEdit->text(), QStringLiteral("Петров А.С."));
                whenShown<OperationsList>([](OperationsList* list) { list->changeButton->click(); });
                entry->chooseOperationButton->click();
                QCOMPARE(entry->operationEdit->text(), QStringLiteral("КМ-1; Сборка; Заготовки"));
                // Lowest norm 8, doubled on a day off, × 1.2 in the third shift.
                QCOMPARE(entry->priceEdit->text(), QStringLiteral("19,2"));
                entry->quantityEdit->setText("5");
                entry->hoursEdit->setText("8");
                entry->saveButton->click();
            });
            r->addButton->click();
            QCOMPARE(windows.dataModule().shiftList3.recordCount(), 1);
            walkedThrough = true;
            r->exitButton->click();
        });
        login.wordEdit->setText(" 7391 ");
        login.logInButton->click();

        QVERIFY(walkedThrough);
        QVERIFY(!reg.isVisible());
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(tdb.value("select cena::text || '|' || smena || '|' || ok from accounts_dep.smena").toString(),
                 QStringLiteral("19.2|3|no"));
        QCOMPARE(tdb.value(QStringLiteral("select d%1 from accounts_dep.h_tabel where w_id=:w and smena=3")
                               .arg(QDate::currentDate().day()),
                           {{"w", worker}})
                     .toInt(),
                 8);
    }
};

QTEST_MAIN(ProgramTest)
#include "test_end_to_end.moc"
