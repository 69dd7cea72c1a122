// The register's "Справочники" items open the reference books in browsing mode.
#include "data_module.h"
#include "kinds_list.h"
#include "message_recorder.h"
#include "program_fixture.h"
#include "nomenclature_list.h"
#include "products_list.h"
#include "register_window.h"
#include "test_database.h"
#include "windows.h"
#include "workers_list.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class MenuTest : public QObject {
    Q_OBJECT

private slots:
    void menuOpensBrowsingLists()
    {
        MessageRecorder messages;
        TestDatabase tdb;
        tdb.addWorker(QStringLiteral("Аверин"));
        Windows windows;
        QVERIFY(windows.start({tdb.settings().database, tdb.settings().host}, {20240227, 0}));
        RegisterWindow& reg = windows.registerWindow();
        DataModule& dm = windows.dataModule();

        // A picker left the lists in choosing mode, with a search typed; the menu puts them back,
        // with an empty search over the whole list.
        tdb.addWorker(QStringLiteral("Белов"));
        windows.workersList().prepareChoosing();
        windows.workersList().searchEdit->setText(QStringLiteral("Бел"));
        windows.workersList().finish();
        windows.productsList().prepareChoosing();
        windows.productsList().finish();
        windows.kindsList().prepareChoosing();
        windows.kindsList().finish();
        windows.nomenclatureList().prepareChoosing();
        windows.nomenclatureList().finish();

        struct Case {
            QAction* action;
            QString title;
            Dataset* list;
            QString change;  // objectName of the "Изменить" button
            QStringList shownButtons;
        };
        const QList<Case> cases{
            {reg.workersAction, "Список рабочих", &dm.workers, "Button2", {"Button1", "Button3", "Edit1"}},
            {reg.productsAction, "Изделия (3)", &dm.products, "Button2", {"Button1", "Button3", "Edit1"}},
            {reg.operationKindsAction, "Виды операций (8)", &dm.operationKinds, "Button2", {"Button1", "Button3"}},
            {reg.nomenclatureAction, "Номенклатура (26)", &windows.nomenclatureList().groups, "Button3", {"Button1", "Button2"}},
        };
        for (const Case& c : cases) {
            bool seen = false;
            whenShown([&] {
                auto* list = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QVERIFY(list);
                seen = true;
                QCOMPARE(list->windowTitle(), c.title);
                QVERIFY(c.list->isActive());
                QVERIFY(!c.list->isFiltered());
                auto* change = list->findChild<QPushButton*>(c.change);
                QCOMPARE(change->text(), QStringLiteral("&Изменить"));
                QVERIFY(!change->isDefault());
                for (const QString& name : c.shownButtons)
                    QVERIFY2(!list->findChild<QWidget*>(name)->isHidden(), qPrintable(c.title + " " + name));
                list->reject();
            });
            c.action->trigger();
            QVERIFY2(seen, qPrintable(c.title));
            QVERIFY(!c.list->isActive());
        }
        QCOMPARE(windows.workersList().mode(), ListMode::Browse);
        QCOMPARE(windows.workersList().searchEdit->text(), QString());
        QCOMPARE(windows.nomenclatureList().mode(), ListMode::Browse);
        QVERIFY(messages.shown.isEmpty());
    }
};

QTEST_MAIN(MenuTest)
#include "test_menu.moc"
