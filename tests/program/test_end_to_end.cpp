// The program as a foreman uses it: login, the register, and a typical entry through the
// entry dialog and both pickers, with the windows wired as at start-up.
#include "data_module.h"
#include "entry_dialog.h"
#include "login_window.h"
#include "message_recorder.h"
#include "operations_list.h"
#include "register_window.h"
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
#include <functional>

namespace {

// Runs `action` on the window of type W as soon as it is shown (modal windows block the
// caller, so the test acts from the event loop they run).
template <class W>
void whenShown(std::function<void(W*)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<W*>(w); window && window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                action(window);
                return;
            }
    });
    poll->start();
}

} // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void typicalEntryEndToEnd()
    {
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
        TForm23& login = windows.loginWindow();
        TForm1& reg = windows.registerWindow();
        bool walkedThrough = false;

        whenShown<TForm1>([&](TForm1* r) {
            QCOMPARE(r->DateT->date(), QDate::currentDate());
            r->RadioButton3->click();
            r->CBox1->setChecked(true);
            whenShown<TForm11>([&](TForm11* entry) {
                QCOMPARE(entry->windowTitle(), QStringLiteral("Заведение новой позиции (11)"));
                QCOMPARE(entry->Edit4->text(), QStringLiteral("0"));
                whenShown<TForm5>([&](TForm5* list) {
                    QVERIFY(windows.dataModule().Workers.locate("fio", "Петров А.С."));
                    list->Button2->click();
                });
                entry->Button3->click();
                QCOMPARE(entry->Edit1->text(), QStringLiteral("Петров А.С."));
                whenShown<TForm4>([](TForm4* list) { list->Button2->click(); });
                entry->Button4->click();
                QCOMPARE(entry->Edit2->text(), QStringLiteral("КМ-1; Сборка; Заготовки"));
                // Lowest norm 8, doubled on a day off, × 1.2 in the third shift.
                QCOMPARE(entry->Edit7->text(), QStringLiteral("19.2"));
                entry->Edit3->setText("5");
                entry->Edit6->setText("8");
                entry->Button1->click();
            });
            r->Button1->click();
            QCOMPARE(windows.dataModule().Smena3.recordCount(), 1);
            walkedThrough = true;
            r->Button4->click();
        });
        login.Edit1->setText(" 7391 ");
        login.Button1->click();

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
