// The register's quick-entry row, driven by the keyboard alone: a worker and an operation found
// by typed text, saved by Enter with the shift's price and the day cell, and the refusals that
// leave the input and write nothing.
#include "program_fixture.h"
#include "quick_entry_row.h"
#include "register_window.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {
const QDate kWednesday(2024, 3, 13);
} // namespace

class QuickEntryTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<RegisterWindow> reg;
    QuickEntryRow* row = nullptr;
    int fedorov = 0, weld = 0, paint = 0;

    void type(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        typeText(field, text);
    }
    void enter(QWidget* field) { QTest::keyClick(field, Qt::Key_Return); }

private slots:
    void init()
    {
        makeFixture();
        tdb->addWorker("Федоров А.А.");
        fedorov = tdb->addWorker("Фёдорова Е.Ю.");
        tdb->addWorker("Алфёров Б.Б.");
        const int product = tdb->addProduct("МАРКА-Х1");
        weld = tdb->addOperation(tdb->addKind("Сварка шва"), product);
        tdb->addNorm(weld, 10.5);
        tdb->addNorm(weld, 12);
        paint = tdb->addOperation(tdb->addKind("Краска"), tdb->addProduct("МАРКА-Х2"));
        tdb->addNorm(paint, 3);
        reg = std::make_unique<RegisterWindow>(*dm);
        reg->beginSession(Role::FullRights);
        reg->show();
        reg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(reg.get()));
        reg->dateEdit->setDate(kWednesday);
        reg->changeDate();
        reg->chooseShift(3);
        row = reg->quickRow;
    }
    void cleanup()
    {
        reg.reset();
        dropFixture();
    }

    // "фёдоро" finds both spellings, the one starting so first; Down and Enter take the second
    // match; "Х1 свар" finds the operation; Enter in "Часы" saves at the third shift's ×1.2.
    void keyboardEntry()
    {
        type(row->workerEdit, "федоро");
        QVERIFY(row->matchList->isVisible());
        QCOMPARE(row->matchList->count(), 2);
        QVERIFY(row->matchList->item(1)->text().startsWith("Фёдорова Е.Ю."));
        QTest::keyClick(row->workerEdit, Qt::Key_Down);
        QTest::keyClick(row->workerEdit, Qt::Key_Down);
        enter(row->workerEdit);
        QCOMPARE(row->workerEdit->text(), QStringLiteral("Фёдорова Е.Ю."));
        QVERIFY(row->operationEdit->hasFocus());
        type(row->operationEdit, "х1 свар");
        QCOMPARE(row->matchList->count(), 1);
        enter(row->operationEdit);
        QVERIFY(!row->colourEdit->isEnabled());
        typeText(row->quantityEdit, "40");
        enter(row->quantityEdit);
        typeText(row->rejectsEdit, "2");
        enter(row->rejectsEdit);
        typeText(row->hoursEdit, "8");
        enter(row->hoursEdit);

        QCOMPARE(messages->texts(), QStringList{});
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena where w_id=:w and o_id=:o and smena=3 and "
                            "kol_vo=40 and brak=2 and time=8 and cena=12.6 and data=:d",
                            {{"w", fedorov}, {"o", weld}, {"d", kWednesday}}),
                 1);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.h_tabel where w_id=:w and smena=3 and d13=8",
                            {{"w", fedorov}}),
                 1);
        // The entry is selected; the numbers are cleared, the worker stays, the cursor is on
        // "Операция"; the register stays open.
        QCOMPARE(dm->shiftList3.field("o_id").asInteger(), weld);
        QVERIFY(row->quantityEdit->text().isEmpty() && row->hoursEdit->text().isEmpty());
        QCOMPARE(row->workerEdit->text(), QStringLiteral("Фёдорова Е.Ю."));
        QVERIFY(row->operationEdit->hasFocus());
        QVERIFY(reg->isVisible());
    }

    // A worker's number takes that worker; a painting operation asks for the colour, and Enter
    // there saves; Escape clears the row without closing the register.
    void numberColourAndEscape()
    {
        type(row->workerEdit, QString::number(fedorov));
        enter(row->workerEdit);
        QCOMPARE(row->workerEdit->text(), QStringLiteral("Фёдорова Е.Ю."));
        type(row->operationEdit, "краск");
        enter(row->operationEdit);
        QVERIFY(row->colourEdit->isEnabled());
        typeText(row->quantityEdit, "5");
        typeText(row->hoursEdit, "4");
        enter(row->hoursEdit);
        QVERIFY(row->colourEdit->hasFocus());
        typeText(row->colourEdit, "3005");
        enter(row->colourEdit);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena where color=3005 and brak=0"), 1);
        QTest::keyClick(row->quantityEdit, Qt::Key_Escape);
        QVERIFY(row->workerEdit->text().isEmpty() && row->operationEdit->text().isEmpty());
        QVERIFY(reg->isVisible());
    }

    // Refused with the dialog's message, the input kept and nothing written.
    void refusals_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("rejects");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicate") << "3" << "" << "Позиция с такими параметрами уже заведена!";
        QTest::newRow("rejects above quantity") << "3" << "4" << "Брак не может быть больше количества.";
        QTest::newRow("no quantity") << "" << "" << "Все поля должны быть заполнены!";
    }
    void refusals()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, rejects);
        QFETCH(QString, message);
        tdb->addEntry({fedorov, weld, kWednesday, 3, 1, 0, 1, 12.6});
        type(row->workerEdit, "Фёдорова");
        enter(row->workerEdit);
        type(row->operationEdit, "свар");
        enter(row->operationEdit);
        row->quantityEdit->setText(quantity);
        row->rejectsEdit->setText(rejects);
        row->hoursEdit->setText("8");
        enter(row->hoursEdit);
        QCOMPARE(messages->texts(), QStringList{message});
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 1);
        QCOMPARE(row->hoursEdit->text(), QStringLiteral("8"));
        QCOMPARE(row->quantityEdit->text(), quantity);
    }

    // The viewer and the warehouse do not see the row.
    void hiddenForRolesThatMayNotAdd()
    {
        for (Role role : {Role::Viewer, Role::Warehouse, Role::Foremen}) {
            reg->beginSession(role);
            QCOMPARE(row->isVisible(), role == Role::Foremen);
        }
    }
};

QTEST_MAIN(QuickEntryTest)
#include "test_quick_entry.moc"
