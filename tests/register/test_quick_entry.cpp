// The register's quick-entry row, driven by the keyboard alone: a worker and an operation found
// by typed text, saved by Enter with the shift's price and the day cell, and the refusals that
// leave the input and write nothing; "Повторить смену" into a day off with a duplicate skipped.
#include "program_fixture.h"
#include "quick_entry_row.h"
#include "register_window.h"
#include "repeat_shift_dialog.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
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

    // The source is the same shift on the last date with entries; the checked rows go into the
    // Saturday at twice their lowest norm price, the one already entered is skipped and named, the
    // hours changed in the grid are written and set in the day cell.
    void repeatShift()
    {
        const QDate tuesday(2024, 3, 12), saturday(2024, 3, 16);
        const int other = tdb->addWorker("Петров П.П.");
        tdb->addEntry({fedorov, weld, tuesday, 1, 5, 1, 8, 10.5});
        tdb->addEntry({other, weld, tuesday, 1, 7, 0, 8, 10.5});
        tdb->addEntry({other, paint, tuesday, 1, 1, 0, 1, 3, 5});
        tdb->addEntry({fedorov, weld, saturday, 1, 2, 0, 4, 21});
        tdb->addEntry({fedorov, weld, QDate(2024, 3, 14), 2, 1, 0, 1, 1});  // another shift: not a source
        RepeatShiftDialog dialog(*dm);
        whenShown([&] {
            QCOMPARE(dialog.sourceDateEdit->date(), tuesday);
            QCOMPARE(dialog.grid->rowCount(), 3);
            // By worker: Петров's welding, Петров's paint, Фёдорова's welding.
            QCOMPARE(dialog.grid->item(2, RepeatShiftDialog::Worker)->text(), QStringLiteral("Фёдорова Е.Ю."));
            dialog.grid->item(1, RepeatShiftDialog::Check)->setCheckState(Qt::Unchecked);
            dialog.grid->item(0, RepeatShiftDialog::Hours)->setText("6");
            QVERIFY(dialog.save());
        });
        QVERIFY(dialog.openFor(saturday, true, 1));
        QCOMPARE(messages->texts(), QStringList{"Пропущено 1 позиция: уже заведены"});
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena where data=:d", {{"d", saturday}}), 2);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena where data=:d and w_id=:w and o_id=:o and "
                            "kol_vo=7 and time=6 and cena=21",
                            {{"d", saturday}, {"w", other}, {"o", weld}}),
                 1);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena where data=:d and w_id=:w and kol_vo=2",
                            {{"d", saturday}, {"w", fedorov}}),
                 1);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.h_tabel where w_id=:w and smena=1 and d16=6",
                            {{"w", other}}),
                 1);
    }

    // A cancelled repeat writes nothing.
    void repeatCancelled()
    {
        tdb->addEntry({fedorov, weld, QDate(2024, 3, 12), 1, 5, 1, 8, 10.5});
        RepeatShiftDialog dialog(*dm);
        whenShown([&] { dialog.cancelButton->click(); });
        QVERIFY(!dialog.openFor(kWednesday, false, 1));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 1);
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
