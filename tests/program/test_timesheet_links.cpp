// The register opens the timesheet window in its four modes from the menu "Табель", and the
// works list of its date from "Ср.сд./хоз. работы", whose dialog picks the worker and the
// nomenclature group from the lists in their choosing mode.
#include "data_module.h"
#include "message_recorder.h"
#include "nomenclature_list.h"
#include "program_fixture.h"
#include "register_window.h"
#include "test_database.h"
#include "timesheet_window.h"
#include "windows.h"
#include "workers_list.h"
#include "works_dialog.h"
#include "works_list.h"

#include <QAction>
#include <QCheckBox>
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

        const QList<std::tuple<QAction*, TimesheetMode, QString>> items{
            {reg.N9, TimesheetMode::PieceWork, "Табель сделка (27)"},
            {reg.N14, TimesheetMode::Household, "Табель хоз. работы (27)"},
            {reg.N15, TimesheetMode::AveragePieceRate, "Табель ср. сдельная (27)"},
            {reg.N17, TimesheetMode::General, "Общий табель (27)"}};
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

        reg.DateT->setDate({2024, 3, 16});
        bool walked = false;
        whenShown<WorksList>([&](WorksList* list) {
            QCOMPARE(list->date(), QDate(2024, 3, 16));
            QVERIFY(list->CBox1->isChecked());
            whenShown<WorksDialog>([&](WorksDialog* dialog) {
                whenShown<WorkersList>([&](WorkersList* workers) {
                    QCOMPARE(workers->mode(), ListMode::Choose);
                    workers->changeButton->click();
                });
                dialog->Button2->click();
                QCOMPARE(dialog->Edit1->text(), QStringLiteral("Антонов А.А."));
                whenShown<NomenclatureList>([&](NomenclatureList* items) {
                    QCOMPARE(items->mode(), ListMode::Choose);
                    items->changeButton->click();
                });
                dialog->Button3->click();
                QCOMPARE(dialog->Edit2->text(), QStringLiteral("Стеллажи"));
                walked = true;
                dialog->reject();
                list->reject();
            });
            list->Button5->click();
        });
        reg.Button5->click();
        QVERIFY(walked);
        QVERIFY(messages.shown.isEmpty());
    }
};

QTEST_MAIN(TimesheetLinksTest)
#include "test_timesheet_links.moc"
