// The register opens the timesheet window in its four modes and the timesheet by shifts for its
// date from the menu "Табель", and the
// works list of its date from "Ср.сд./хоз. работы", whose dialog picks the worker and the
// nomenclature group from the lists in their choosing mode.
#include "data_module.h"
#include "message_recorder.h"
#include "nomenclature_list.h"
#include "program_fixture.h"
#include "register_window.h"
#include "test_database.h"
#include "timesheet_window.h"
#include "by_shift_window.h"
#include "windows.h"
#include "workers_list.h"
#include "works_dialog.h"
#include "works_list.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TimesheetLinksTest : public QObject {
    Q_OBJECT

private slots:
    void menuAndButtonOpenTheirWindows()
    {
        MessageRecorder messages;
        TestDatabase tdb;
        tdb.addWorker("Антонов А.А.");
        tdb.addGroup("Стеллажи");
        Windows windows;
        QVERIFY(windows.start({tdb.settings().database, tdb.settings().host}, {20240227, 0}));
        RegisterWindow& reg = windows.registerWindow();
        // As a login with full rights leaves it.
        windows.dataModule().db.loginRole = Role::FullRights;

        const QList<std::tuple<QAction*, TimesheetMode, QString>> items{
            {reg.pieceWorkTimesheetAction, TimesheetMode::PieceWork, "Табель сделка (27)"},
            {reg.householdTimesheetAction, TimesheetMode::Household, "Табель хоз. работы (27)"},
            {reg.averagePieceRateTimesheetAction, TimesheetMode::AveragePieceRate, "Табель ср. сдельная (27)"},
            {reg.generalTimesheetAction, TimesheetMode::General, "Общий табель (27)"}};
        for (const auto& [action, mode, caption] : items) {
            bool seen = false;
            whenShown([&, mode = mode, caption = caption] {
                TimesheetWindow& w = windows.timesheetWindow();
                seen = w.isVisible();
                QCOMPARE(w.mode(), mode);
                QCOMPARE(w.windowTitle(), caption);
                QVERIFY(w.timesheet().isActive());
                w.reject();
            });
            action->trigger();
            QVERIFY2(seen, qPrintable(caption));
            QVERIFY(!windows.timesheetWindow().timesheet().isActive());
        }

        reg.dateEdit->setDate({2024, 3, 16});
        bool walked = false;
        whenShown<WorksList>([&](WorksList* list) {
            QCOMPARE(list->date(), QDate(2024, 3, 16));
            QVERIFY(list->dayOffBox->isChecked());
            whenShown<WorksDialog>([&](WorksDialog* dialog) {
                whenShown<WorkersList>([&](WorkersList* workers) {
                    QCOMPARE(workers->mode(), ListMode::Choose);
                    workers->changeButton->click();
                });
                dialog->chooseWorkerButton->click();
                QCOMPARE(dialog->workerEdit->text(), QStringLiteral("Антонов А.А."));
                whenShown<NomenclatureList>([&](NomenclatureList* items) {
                    QCOMPARE(items->mode(), ListMode::Choose);
                    items->changeButton->click();
                });
                dialog->chooseNomenclatureButton->click();
                QCOMPARE(dialog->nomenclatureEdit->text(), QStringLiteral("Стеллажи"));
                walked = true;
                dialog->reject();
                list->reject();
            });
            list->addButton->click();
        });
        reg.worksButton->click();
        QVERIFY(walked);
        QVERIFY(messages.shown.isEmpty());
    }

    // The month of the register's date; the years from 2007 to the later of next year and the
    // date's year, the date's year chosen.
    void byShiftsForTheRegisterDate_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("lastYear");
        QTest::newRow("2024") << QDate(2024, 3, 16) << QDate::currentDate().year() + 1;
        QTest::newRow("years ahead") << QDate(2031, 12, 3) << 2031;
    }
    void byShiftsForTheRegisterDate()
    {
        QFETCH(QDate, date);
        QFETCH(int, lastYear);
        MessageRecorder messages;
        TestDatabase tdb;
        Windows windows;
        QVERIFY(windows.start({tdb.settings().database, tdb.settings().host}, {20240227, 0}));
        RegisterWindow& reg = windows.registerWindow();
        reg.dateEdit->setDate(date);
        bool seen = false;
        whenShown([&] {
            TimesheetByShiftWindow& w = windows.timesheetByShiftWindow();
            seen = w.isVisible();
            QCOMPARE(w.windowTitle(), QStringLiteral("Табель по времени"));
            QCOMPARE(w.monthBox->currentIndex(), date.month() - 1);
            QCOMPARE(w.yearBox->itemText(0), QStringLiteral("2007"));
            QCOMPARE(w.yearBox->itemText(w.yearBox->count() - 1), QString::number(lastYear));
            QCOMPARE(w.yearBox->currentText(), QString::number(date.year()));
            DataModule& dm = windows.dataModule();
            QVERIFY(dm.shiftTimesheet1.isActive() && dm.shiftTimesheet2.isActive() && dm.shiftTimesheet3.isActive());
            QCOMPARE(dm.shiftTimesheet3.param("date2").toDate(), TimesheetMonth::of(date).next());
            w.reject();
        });
        reg.timesheetByShiftsAction->trigger();
        QVERIFY(seen);
        QVERIFY(!windows.dataModule().shiftTimesheet1.isActive());
        QVERIFY(messages.shown.isEmpty());
    }
};

QTEST_MAIN(TimesheetLinksTest)
#include "test_timesheet_links.moc"
