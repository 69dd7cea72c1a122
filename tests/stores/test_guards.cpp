// What the stores refuse whoever calls them: values the dialogs would refuse, texts that would
// break a statement, and writes the login's role may not make; each refused with its message
// and nothing written. A save after the server dropped the idle connection succeeds once.
#include "entry_store.h"
#include "groups_store.h"
#include "kinds_store.h"
#include "month_rebuild.h"
#include "products_store.h"
#include "program_fixture.h"
#include "register_store.h"
#include "workers_store.h"
#include "works_dialog.h"
#include "works_list.h"
#include "works_store.h"

#include <QPushButton>
#include <QtTest>
#include <cmath>

namespace {
const QDate kDay(2024, 3, 13);
} // namespace

class GuardsTest : public FixtureTest {
    Q_OBJECT

    int worker = 0, product = 0, operation = 0, group = 0;

    EntryValues goodEntry() const
    {
        EntryValues v;
        v.workerId = worker;
        v.operationId = operation;
        v.productId = product;
        v.price = *Decimal4::fromText("8");
        v.quantity = 5;
        v.rejects = 1;
        v.hours = 8;
        v.date = kDay;
        return v;
    }
    WorksValues goodWorks() const
    {
        WorksValues v;
        v.nomenclatureId = group;
        v.workerId = worker;
        v.hours = 8;
        v.price = *Decimal4::fromText("100");
        v.date = kDay;
        return v;
    }
    // A stored row as a list shows it.
    Row stored(const QString& table, int id)
    {
        return *firstRow(tdb->db(), QStringLiteral("select * from %1 where id=:id").arg(table), {{"id", id}});
    }
    // Every column of a table's rows, as text: what must stay as it was after a refusal.
    QString contents(const QString& table)
    {
        return tdb->value(QStringLiteral("select coalesce(string_agg(t::text, '|' order by t.id), '') from %1 t")
                              .arg(table))
            .toString();
    }

private slots:
    void init()
    {
        makeFixture();
        worker = tdb->addWorker("Аверин");
        group = tdb->addGroup("Стеллажи");
        product = tdb->addProduct("КМ-1", group);
        operation = tdb->addOperation(tdb->addKind("Сборка"), product);
    }
    void cleanup() { dropFixture(); }

    // Each bad value refused by an add and by a change of a stored entry, nothing written.
    void entryValues_data()
    {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<int>("rejects");
        QTest::addColumn<int>("hours");
        QTest::addColumn<QString>("price");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("message");
        QTest::newRow("25 hours") << 5 << 0 << 25 << "8" << 1 << "Время должно быть от 0 до 24 часов.";
        QTest::newRow("-3 hours") << 5 << 0 << -3 << "8" << 1 << "Время должно быть от 0 до 24 часов.";
        QTest::newRow("rejects above quantity") << 5 << 6 << 8 << "8" << 1 << "Брак не может быть больше количества.";
        QTest::newRow("quantity -5") << -5 << 0 << 8 << "8" << 1 << "Количество не может быть отрицательным.";
        QTest::newRow("rejects -1") << 5 << -1 << 8 << "8" << 1 << "Брак не может быть отрицательным.";
        QTest::newRow("price -10") << 5 << 0 << 8 << "-10" << 1 << "Цена не может быть отрицательной.";
        QTest::newRow("shift 5") << 5 << 0 << 8 << "8" << 5 << "Смена должна быть от 1 до 4.";
        QTest::newRow("no worker") << 5 << 0 << 8 << "8" << 1 << "Все поля должны быть заполнены!";
    }
    void entryValues()
    {
        QFETCH(int, quantity);
        QFETCH(int, rejects);
        QFETCH(int, hours);
        QFETCH(QString, price);
        QFETCH(int, shift);
        QFETCH(QString, message);
        const int id = tdb->addEntry({worker, operation, kDay, 1, 5, 0, 8, 8});
        const QString before = contents("accounts_dep.smena");
        EntryValues bad = goodEntry();
        bad.quantity = quantity;
        bad.rejects = rejects;
        bad.hours = hours;
        bad.price = *Decimal4::fromText(price);
        bad.shiftNo = shift;
        if (QByteArray(QTest::currentDataTag()) == "no worker")
            bad.workerId = 0;
        EntryStore store(dm->db);
        QCOMPARE(store.add(bad).refusal(), message);
        QCOMPARE(store.change(stored("accounts_dep.smena", id), bad).refusal(), message);
        QCOMPARE(contents("accounts_dep.smena"), before);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.h_tabel"), 0);
    }

    void worksValues_data()
    {
        QTest::addColumn<int>("hours");
        QTest::addColumn<QString>("price");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("25 hours") << 25 << "100" << 7777 << "Количество часов не может быть больше 24.";
        QTest::newRow("0 hours") << 0 << "100" << 7777 << "Нужно завести количество!";
        QTest::newRow("-3 hours") << -3 << "100" << 7778 << "Нужно завести количество!";
        QTest::newRow("price -100") << 8 << "-100" << 7777 << "Цена не может быть отрицательной.";
        QTest::newRow("price too large") << 8 << "100000000000" << 7777 << "Цена вне допустимых пределов.";
        QTest::newRow("no kind of works") << 8 << "100" << 5 << "Все поля должны быть заполнены!";
    }
    void worksValues()
    {
        QFETCH(int, hours);
        QFETCH(QString, price);
        QFETCH(int, kind);
        QFETCH(QString, message);
        const int id = tdb->addWorks({worker, kDay, 7777, 8, 100, 0, group});
        const QString before = contents("accounts_dep.fatigue");
        WorksValues bad = goodWorks();
        bad.hours = hours;
        bad.price = *Decimal4::fromText(price);
        bad.kind = kind;
        WorksStore store(dm->db);
        QCOMPARE(store.add(bad).refusal(), message);
        QCOMPARE(store.change(stored("accounts_dep.fatigue", id), bad).refusal(), message);
        QCOMPARE(contents("accounts_dep.fatigue"), before);
    }

    // A text with a control character, or longer than its column, is refused naming the field;
    // a NUL never reaches the server.
    void texts_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString nul = QStringLiteral("Иванов") + QChar(0) + QStringLiteral("Пётр");
        QTest::newRow("worker, NUL") << "worker" << nul << "Поле \"ФИО\" содержит недопустимый символ.";
        QTest::newRow("worker, tab") << "worker" << "Иванов\tП." << "Поле \"ФИО\" содержит недопустимый символ.";
        QTest::newRow("worker, 255") << "worker" << QString(255, u'я') << "Поле \"ФИО\" вмещает не больше 254 знаков.";
        QTest::newRow("product, NUL") << "product" << nul << "Поле \"Марка\" содержит недопустимый символ.";
        QTest::newRow("kind, NUL") << "kind" << nul << "Поле \"Вид операции\" содержит недопустимый символ.";
        QTest::newRow("kind, 129") << "kind" << QString(129, u'я')
                                   << "Поле \"Вид операции\" вмещает не больше 128 знаков.";
        QTest::newRow("group, NUL") << "group" << nul << "Поле \"Наименование\" содержит недопустимый символ.";
        QTest::newRow("group, line break") << "group" << "Сте\nллажи"
                                           << "Поле \"Наименование\" содержит недопустимый символ.";
    }
    void texts()
    {
        QFETCH(QString, store);
        QFETCH(QString, text);
        QFETCH(QString, message);
        const QStringList tables{"accounts_dep.person", "cmn_gds_and_srv.gds_and_srv", "accounts_dep.vid_oper",
                                 "cmn_classifier.item"};
        QStringList before;
        for (const QString& table : tables)
            before << contents(table);
        Outcome added = Outcome::failed(), changed = Outcome::failed();
        if (store == "worker") {
            added = WorkersStore(dm->db).add({text, std::nullopt});
            changed = WorkersStore(dm->db).change(worker, {text, std::nullopt});
        } else if (store == "product") {
            added = ProductsStore(*dm).save(0, {text, "1", group});
            changed = ProductsStore(*dm).save(product, {text, "1", group});
        } else if (store == "kind") {
            added = KindsStore(*dm).save(0, text);
        } else {
            added = GroupsStore(dm->db).add(text);
            changed = GroupsStore(dm->db).rename(group, text);
        }
        QCOMPARE(added.refusal(), message);
        if (store != "kind")
            QCOMPARE(changed.refusal(), message);
        for (int i = 0; i < tables.size(); ++i)
            QCOMPARE(contents(tables[i]), before[i]);
    }

    // A NUL in any bound text is refused before the statement is sent, in Russian.
    void nulInAnyStatement()
    {
        try {
            dm->db.exec("select :t", {{"t", QStringLiteral("a") + QChar(0) + QStringLiteral("b")}});
            QFAIL("a NUL went into a statement");
        } catch (const DbError& e) {
            QCOMPARE(e.message(), QStringLiteral("Текст содержит недопустимый символ с кодом 0."));
        }
        QCOMPARE(dm->db.scalar("select 1").toInt(), 1);
    }

    // A name with trailing blanks is the name without them: the column pads every name.
    void kindWithTrailingBlanks()
    {
        QCOMPARE(KindsStore(*dm).save(0, "Сварка  ").refusal(), QString());
        QCOMPARE(KindsStore(*dm).save(0, "СВАРКА ").refusal(), QStringLiteral("Такая операция уже заведена!"));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.vid_oper where upper(vid)='СВАРКА'"), 1);
    }

    // The works list's buttons and the works store follow one rule: full rights everything,
    // the foremen add only, the viewer and the warehouse nothing.
    void worksByRole_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("allowed");  // a: add, c: change, d: delete, r: recompute
        QTest::newRow("full rights") << int(Role::FullRights) << "acdr";
        QTest::newRow("viewer") << int(Role::Viewer) << "";
        QTest::newRow("foremen") << int(Role::Foremen) << "a";
        QTest::newRow("warehouse") << int(Role::Warehouse) << "";
    }
    void worksByRole()
    {
        QFETCH(int, role);
        QFETCH(QString, allowed);
        dm->db.loginRole = Role(role);
        const int id = tdb->addWorks({worker, kDay, 7777, 8, 100, 0, group});
        const Row shown = stored("accounts_dep.fatigue", id);
        WorksDialog dialog(*dm);
        WorksList list(*dm, dialog);
        whenShown([&] {
            QCOMPARE(list.addButton->isEnabled(), allowed.contains(u'a'));
            QCOMPARE(list.changeButton->isEnabled(), allowed.contains(u'c'));
            QCOMPARE(list.deleteButton->isEnabled(), allowed.contains(u'd'));
            QCOMPARE(list.recomputeButton->isEnabled(), allowed.contains(u'r'));
            QVERIFY(list.exitButton->isEnabled());
            list.reject();
        });
        list.openForDate(kDay);

        WorksStore store(dm->db);
        WorksValues changed = goodWorks();
        changed.hours = 6;
        const struct {
            QChar key;
            Outcome outcome;
            QString refusal;
        } writes[] = {
            {u'c', store.change(shown, changed), "Недостаточно прав для изменения хоз. работ."},
            {u'r', store.recomputeAveragePrices({3, 2024}), "Недостаточно прав для расчёта средней сдельной цены."},
            {u'd', store.remove(stored("accounts_dep.fatigue", id)), "Недостаточно прав для удаления хоз. работ."},
            {u'a', store.add(goodWorks()), "Недостаточно прав для добавления хоз. работ."},
        };
        for (const auto& write : writes)
            QCOMPARE(write.outcome.refusal(), allowed.contains(write.key) ? QString() : write.refusal);
        const int left = (allowed.contains(u'd') ? 0 : 1) + (allowed.contains(u'a') ? 1 : 0);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.fatigue"), left);
        if (!allowed.contains(u'c') && !allowed.contains(u'd'))
            QCOMPARE(stored("accounts_dep.fatigue", id)["cnt"].asInteger(), 8);
    }

    // The register's and the other stores' writes under each role, as the windows enable them.
    void otherWritesByRole_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("allowed");  // a: add, c: change, d: delete, k: accept, b: books, r: rebuild
        QTest::newRow("viewer") << int(Role::Viewer) << "";
        QTest::newRow("foremen") << int(Role::Foremen) << "a";
        QTest::newRow("warehouse") << int(Role::Warehouse) << "k";
        QTest::newRow("no login") << -1 << "";
    }
    void otherWritesByRole()
    {
        QFETCH(int, role);
        QFETCH(QString, allowed);
        const int id = tdb->addEntry({worker, operation, kDay, 1, 5, 0, 8, 8});
        if (role < 0)
            dm->db.loginRole.reset();
        else
            dm->db.loginRole = Role(role);
        EntryValues moved = goodEntry();
        moved.date = kDay.addDays(1);
        EntryValues another = goodEntry();
        another.shiftNo = 2;
        const QString refused = role < 0 ? "Вход в программу не выполнен: запись запрещена." : "Недостаточно прав";
        const struct {
            QChar key;
            Outcome outcome;
        } writes[] = {
            {u'c', EntryStore(dm->db).change(stored("accounts_dep.smena", id), moved)},
            {u'k', RegisterStore(dm->db).toggleAcceptance(stored("accounts_dep.smena", id))},
            {u'd', RegisterStore(dm->db).deleteEntry(stored("accounts_dep.smena", id))},
            {u'a', EntryStore(dm->db).add(another)},
            {u'b', WorkersStore(dm->db).add({"Борисов", std::nullopt})},
            {u'r', rebuildMonth(dm->db, MonthRows::PieceWork, {3, 2024})},
        };
        for (const auto& write : writes) {
            QCOMPARE(write.outcome.isDone(), allowed.contains(write.key));
            QVERIFY(write.outcome.isDone() || write.outcome.refusal().startsWith(refused));
        }
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), allowed.contains(u'a') ? 2 : 1);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena where ok='ok'"), allowed.contains(u'k') ? 1 : 0);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena where data=:d", {{"d", kDay}}),
                 allowed.contains(u'a') ? 2 : 1);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.person"), 1);
    }

    // The server ended the idle connection: the next save reconnects at its begin and writes
    // once.
    void saveAfterDroppedIdleConnection()
    {
        const int pid = dm->db.scalar("select pg_backend_pid()").toInt();
        tdb->run("select pg_terminate_backend(:p)", {{"p", pid}});
        QTRY_COMPARE(tdb->count("select count(*) from pg_stat_activity where pid=:p", {{"p", pid}}), 0);
        QVERIFY(EntryStore(dm->db).add(goodEntry()));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.smena"), 1);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.h_tabel where d13=8"), 1);
        QVERIFY(dm->db.scalar("select pg_backend_pid()").toInt() != pid);
    }
};

QTEST_MAIN(GuardsTest)
#include "test_guards.moc"
