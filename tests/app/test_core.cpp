// The application core: connection settings, datasets and filters, the data module's
// helpers, lost connections, the build check and the login.
#include "actions.h"
#include "data_module.h"
#include "decimal4.h"
#include "lock_keys.h"
#include "login_window.h"
#include "message_recorder.h"
#include "program_fixture.h"
#include "register_window.h"
#include "russian.h"
#include "sql_text.h"
#include "test_database.h"
#include "windows.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlError>
#include <QtTest>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

class AppTest : public FixtureTest {
    Q_OBJECT


private slots:
    void init()
    {
        makeFixture();
    }
    void cleanup()
    {
        dropFixture();
    }

    void connectionSettings_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("host");
        QTest::newRow("none") << QStringList{} << "corvel" << "127.0.0.1";
        QTest::newRow("database alone is ignored") << QStringList{"plant"} << "corvel" << "127.0.0.1";
        QTest::newRow("empty server") << QStringList{"plant", ""} << "corvel" << "127.0.0.1";
        QTest::newRow("both, unchanged") << QStringList{" plant ", "10.0.0.5"} << " plant " << "10.0.0.5";
    }
    void connectionSettings()
    {
        QFETCH(QStringList, args);
        const auto s = ConnectionSettings::fromArguments(args);
        QTEST(s.database, "database");
        QTEST(s.host, "host");
    }

    void environmentOverridesPortUserPassword()
    {
        const QByteArray port = qgetenv("PGPORT"), user = qgetenv("PGUSER"), password = qgetenv("PGPASSWORD");
        qputenv("PGPORT", "6543");
        qputenv("PGUSER", "clerk");
        qputenv("PGPASSWORD", "secret");
        const auto s = ConnectionSettings::fromArguments({});
        qputenv("PGPORT", port);
        qputenv("PGUSER", user);
        qputenv("PGPASSWORD", password);
        QCOMPARE(s.port, 6543);
        QCOMPARE(s.user, QStringLiteral("clerk"));
        QCOMPARE(s.password, QStringLiteral("secret"));
    }

    void datasetNavigatesAndReadsFieldsIgnoringCase()
    {
        Dataset ds(dm->db, "ds",
                   "select * from (values (1, 'Ёлкин А.А.', date '2024-03-05'), (2, 'ёжиков б.б.', null), "
                   "(3, 'Иванов В.В.', null)) v(id, fio, d) where id >= :least order by id");
        ds.setParam("least", 1);
        ds.open();
        QCOMPARE(ds.recordCount(), 3);
        QCOMPARE(ds.recNo(), 1);
        QCOMPARE(ds.field("FIO").asString(), QStringLiteral("Ёлкин А.А."));
        QCOMPARE(ds.field("d").asDate(), QDate(2024, 3, 5));
        ds.next();
        ds.next();
        QVERIFY(!ds.eof());
        ds.next();
        QVERIFY(ds.eof());
        QCOMPARE(ds.recNo(), 3);
        QVERIFY(ds.locate("id", 2));
        QCOMPARE(ds.recNo(), 2);
        QVERIFY(ds.field("d").isNull());
        ds.setParam("least", 3);
        ds.reopen();
        QCOMPARE(ds.recordCount(), 1);
        ds.close();
        QCOMPARE(ds.recNo(), 0);
        QVERIFY(ds.field("id").isNull());
    }

    void filtersAreCaseBlindAndLiteral_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("cyrillic prefix") << "starts" << "ёЛ" << QStringList{"Ёлкин"};
        QTest::newRow("apostrophe") << "starts" << "Д'" << QStringList{"Д'Артаньян"};
        QTest::newRow("percent is literal") << "contains" << "%" << QStringList{"100% хлопок"};
        QTest::newRow("underscore is literal") << "contains" << "_" << QStringList{"A_B"};
        QTest::newRow("contains anywhere") << "contains" << "кин" << QStringList{"Ёлкин"};
        QTest::newRow("empty keeps all") << "starts" << ""
                                         << QStringList{"100% хлопок", "A_B", "AxB", "Д'Артаньян", "Ёлкин"};
        QTest::newRow("equals trims padding") << "equals" << "axb" << QStringList{"AxB"};
    }
    void filtersAreCaseBlindAndLiteral()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        Dataset ds(dm->db, "ds",
                   "select n::char(20) n from unnest(array['Ёлкин','Д''Артаньян','100% хлопок','A_B','AxB']) n "
                   "order by n");
        ds.open();
        if (kind == "starts")
            ds.setFilter(filters::startsWith("n", text));
        else if (kind == "contains")
            ds.setFilter(filters::contains("n", text));
        else
            ds.setFilter(filters::equals("n", text));
        QStringList got;
        for (ds.first(); !ds.eof(); ds.next())
            got << ds.field("n").asString().trimmed();
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
        ds.clearFilter();
        QCOMPARE(ds.recordCount(), 5);
    }

    void entryPricing_data()
    {
        QTest::addColumn<QString>("lowest");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("price");
        QTest::newRow("shift 1") << "8" << false << 1 << "8";
        QTest::newRow("shift 2") << "10.3" << false << 2 << "10.3";
        QTest::newRow("day off") << "8" << true << 1 << "16";
        QTest::newRow("third shift") << "8" << false << 3 << "9.6";
        QTest::newRow("overtime") << "8" << false << 4 << "12";
        QTest::newRow("day off, third shift: 2.4x") << "8" << true << 3 << "19.2";
        QTest::newRow("day off, overtime: 3x") << "8" << true << 4 << "24";
        QTest::newRow("no binary fractions") << "0.1" << true << 3 << "0.24";
        QTest::newRow("rounded to four places") << "1.2345" << false << 3 << "1.4814";
        // The largest norm price with both factors: exact, no wrap-around.
        QTest::newRow("largest, 3x") << "99999999999999" << true << 4 << "299999999999997";
    }
    void entryPricing()
    {
        QFETCH(QString, lowest);
        QFETCH(bool, dayOff);
        QFETCH(int, shift);
        const std::optional<Decimal4> price = entryPrice(*Decimal4::fromText(lowest), dayOff, shift);
        QTEST(price ? price->toString() : QString(), "price");
        QCOMPARE(Decimal4::fromDouble(lowest.toDouble())->toString(), lowest);
    }

    // A double that is no exact decimal of at most 14 whole digits is not taken for 0.
    void doublesThatDoNotFit()
    {
        for (const double v : {std::numeric_limits<double>::infinity(), std::nan(""), 1e308, 1e15})
            QVERIFY2(!Decimal4::fromDouble(v), qPrintable(QString::number(v)));
        QCOMPARE(Decimal4::fromDouble(99999999999999.0)->toString(), QStringLiteral("99999999999999"));
        // A product that does not fit is refused rather than wrapped.
        QVERIFY(!Decimal4::fromText("99999999999999")->times(2147483647));
        QCOMPARE(Decimal4::fromText("12.5")->times(*Decimal4::fromText("3"))->toString(), QStringLiteral("37.5"));
    }

    void decimalText()
    {
        QCOMPARE(Decimal4::fromText("12,5")->toString(4), QStringLiteral("12.5000"));
        QCOMPARE(Decimal4::fromText("-0.00005")->toString(), QStringLiteral("-0.0001"));
        QCOMPARE(Decimal4::fromText(" 120 ")->toString(), QStringLiteral("120"));
        QCOMPARE(Decimal4::fromText("-12.345")->toString(2), QStringLiteral("-12.35"));
        QCOMPARE(Decimal4::fromText("-0.4")->toString(0), QStringLiteral("0"));
        QCOMPARE(Decimal4::fromText(".5")->toString(1), QStringLiteral("0.5"));
        QVERIFY(!Decimal4::fromText("1,2,3"));
        QVERIFY(!Decimal4::fromText("abc"));
        QVERIFY(!Decimal4::fromText(""));
    }

    void quotedTextRoundTrips()
    {
        const QString name = QStringLiteral("O'Brien \"Ёлка\" \\ ; --");
        QCOMPARE(dm->db.execute("insert into accounts_dep.person(fio) values(" + sql::quote(name) + ")"), 1);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.person where fio=:f", {{"f", name}}), 1);
        QCOMPARE(sql::date(QDate(2024, 3, 5)), QStringLiteral("to_date('05.03.2024', 'DD.MM.YYYY')"));
    }

    // Values reach the server as typed, whatever quotes, backslashes or parameter-like text
    // they hold; text in quotes, dollar quotes and comments, and casts, are left alone.
    void valuesGoInAsTyped()
    {
        const QString tricky = QStringLiteral("O'Brien \\ '; drop table accounts_dep.person; -- :b Ёлка");
        QCOMPARE(dm->db
                     .scalar("select :a || ':b' || $$:b$$ || $q$:b$q$ || :B::text -- :a\n",
                             {{"a", tricky}, {"b", 5}})
                     .toString(),
                 tricky + ":b:b:b5");
        QCOMPARE(dm->db.scalar("select :d::date + :n", {{"d", QDate(2024, 2, 28)}, {"n", 2}}).toDate(),
                 QDate(2024, 3, 1));
        QCOMPARE(dm->db.scalar("select :x is null and :t", {{"x", QVariant(QMetaType(QMetaType::Int))}, {"t", true}})
                     .toBool(),
                 true);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.person"), 0);
    }

    void checkExists_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("refused");
        QTest::newRow("nothing") << 0 << false;
        QTest::newRow("two") << 2 << true;
    }
    void checkExists()
    {
        QFETCH(int, rows);
        QFETCH(bool, refused);
        const Outcome test = dm->checkDuplicate("select count(*) cnt from generate_series(1, :n)",
                                                "Такая операция уже заведена!", {{"n", rows}});
        QCOMPARE(!test, refused);
        QCOMPARE(test.refusal(), refused ? QStringLiteral("Такая операция уже заведена!") : QString());
        // The refusal is the caller's to show, once its transaction has ended.
        QVERIFY(messages->shown.isEmpty());
    }

    // A refusal is shown after the command's transaction has ended: no lock is held while the
    // box is open, and what the command wrote before refusing is rolled back.
    void refusalShownAfterTheTransaction()
    {
        bool inTransactionWhileShown = true;
        struct Watching : MessageRecorder {
            std::function<void()> onShow;
            void show(const QString& text, const QString& caption, msg::Icon icon) override
            {
                MessageRecorder::show(text, caption, icon);
                onShow();
            }
        } watching;
        watching.onShow = [&] { inTransactionWhileShown = dm->db.inTransaction(); };
        const Outcome done = runCommand(dm->db, [&] {
            Transaction tx(dm->db);
            dm->db.execute("insert into accounts_dep.person(fio) values('Петров П.П.')");
            return Outcome::refused("Такая операция уже заведена!");
        });
        QVERIFY(!done);
        QCOMPARE(watching.texts(), QStringList{"Такая операция уже заведена!"});
        QCOMPARE(watching.shown.first().caption, QStringLiteral("Ошибка"));
        QVERIFY(!inTransactionWhileShown);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.person"), 0);
    }

    // A transaction opened inside another would commit the outer one early: it is refused,
    // and the outer one still rolls back as a whole.
    void nestedTransactionIsRefused()
    {
        {
            Transaction outer(dm->db);
            dm->db.execute("insert into accounts_dep.person(fio) values('Петров П.П.')");
            QVERIFY_THROWS_EXCEPTION(std::logic_error, Transaction inner(dm->db));
            QVERIFY(dm->db.inTransaction());
        }
        QCOMPARE(tdb->count("select count(*) from accounts_dep.person"), 0);
    }

    // A statement that takes the locks of the row it writes spells their keys as the program
    // does, so it meets every other writer of the same timesheet row and month.
    void lockKeysSpelledInSql()
    {
        Database& db = dm->db;
        const QString date = QStringLiteral("date '2026-02-09'");
        QCOMPARE(db.scalar("select " + lock_keys::timesheetRowSql("17", "3::smallint", date)).toString(),
                 lock_keys::timesheetRow(17, 3, 2, 2026));
        QCOMPARE(db.scalar("select " + lock_keys::timesheetMonthSql(date)).toString(), lock_keys::timesheetMonth(2, 2026));
    }

    void decimalPoint_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("number");
        QTest::newRow("comma") << " 1,5 " << "1.5";
        QTest::newRow("point stays") << "1.5" << "1.5";
        QTest::newRow("first comma only") << "1,2,3" << "1.2,3";
        QTest::newRow("whole") << "12" << "12";
    }
    void decimalPoint()
    {
        QFETCH(QString, typed);
        QTEST(sql::decimalPoint(typed), "number");
    }

    void fixDecimalSeparator_data()
    {
        QTest::addColumn<QString>("delim");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fixed");
        QTest::newRow("comma") << "." << "12,5" << "12.5";
        QTest::newRow("first comma only") << "." << "1,2,3" << "1.2,3";
        QTest::newRow("point stays") << "." << "12.5" << "12.5";
        QTest::newRow("whole") << "." << "12" << "12";
        QTest::newRow("empty delim") << "" << "12,5" << "125";
        QTest::newRow("point to comma") << "," << "1.5" << "1,5";
    }
    void fixDecimalSeparator()
    {
        QFETCH(QString, delim);
        QFETCH(QString, text);
        dm->decimalSeparator = delim;
        QTEST(dm->withDecimalSeparator(text), "fixed");
    }

    void lostConnectionIsReportedAndReopened()
    {
        tdb->run("select pg_terminate_backend(pid) from pg_stat_activity where datname=current_database() "
                 "and pid<>pg_backend_pid()");
        bool failed = false;
        try {
            dm->db.scalar("select 1");
        } catch (const DbError& e) {
            failed = true;
            QVERIFY(e.connectionLost());
            QVERIFY(e.message().contains(QStringLiteral("Соединение с базой данных потеряно")));
        }
        QVERIFY(failed);
        QCOMPARE(dm->db.scalar("select 41 + 1").toInt(), 42);
        // The session settings come back with the connection.
        QCOMPARE(dm->db.scalar("select to_char('05.03.2024'::date, 'MM')").toString(), QStringLiteral("03"));
    }

    // The user reads a Russian sentence by the error's SQLSTATE, never the statement.
    void databaseErrorsInRussian_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("message");
        QTest::newRow("too long") << "insert into accounts_dep.person(fio) values(repeat('я', 255))"
                                  << "Текст слишком длинный: поле вмещает не больше 254 знаков.";
        QTest::newRow("in use") << "delete from accounts_dep.person" << "Работник используется и не может быть удалён.";
        QTest::newRow("bad number") << "select '1.5.79'::numeric" << "Значение «1.5.79» не является числом.";
        QTest::newRow("out of range") << "select 2147483647 + 1" << "Число вне допустимых пределов.";
        QTest::newRow("anything else: first line only")
            << "select no_such_column from accounts_dep.person where id=1"
            << "Ошибка базы данных: column \"no_such_column\" does not exist";
    }
    void databaseErrorsInRussian()
    {
        QFETCH(QString, statement);
        const int worker = tdb->addWorker("Аверин");
        tdb->addEntry({worker, tdb->addOperation(tdb->addKind("Сборка"), tdb->addProduct("КМ-1"))});
        QVERIFY(!runAction(dm->db, [&] { dm->db.exec(statement, {{"unused", 1}}); }));
        QTEST(messages->last(), "message");
        QVERIFY(!messages->last().contains("LINE"));
    }

    // Qt's own buttons speak Russian too.
    void questionButtonsInRussian()
    {
        useRussian();
        msg::install(nullptr);
        QStringList texts;
        whenShown([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton* b : box->buttons())
                texts << b->text().remove(u'&');
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!msg::askYesNo("Удалить?", "Удаление"));
        msg::install(messages);
        texts.sort();
        QCOMPARE(texts, (QStringList{"Да", "Нет"}));
        QCOMPARE(QLocale().standaloneMonthName(3), QStringLiteral("март"));
        QCOMPARE(QLocale().toString(12.5), QStringLiteral("12,5"));
    }

    // Unknown exceptions do not reach the event loop either; a database error keeps its
    // statement for the log.
    void unknownFailureIsShown()
    {
        QVERIFY(!runAction(dm->db, [] { throw 42; }));
        QCOMPARE(messages->texts(), QStringList{"Команда не выполнена из-за непредвиденной ошибки."});
        try {
            dm->db.scalar("select no_such_column from accounts_dep.person where id=:id", {{"id", 1}});
            QFAIL("no error");
        } catch (const DbError& e) {
            QCOMPARE(e.statement(), QStringLiteral("select no_such_column from accounts_dep.person where id=:id"));
            QCOMPARE(e.sqlState(), QStringLiteral("42703"));
            QVERIFY(!e.connectionLost());
        }
    }

    // An error of the client side has no SQLSTATE, but the connection is fine: it is not
    // taken for a lost one. Once the server is gone, the same error is.
    void clientErrorIsNoLostConnection()
    {
        const QSqlError clientError(QStringLiteral("Unable to bind value"), QString(), QSqlError::StatementError);
        QVERIFY(!dm->db.isLostConnection(clientError));
        QVERIFY(dm->db.isLostConnection(
            QSqlError(QString(), QStringLiteral("terminating connection"), QSqlError::StatementError, "57P01")));
        tdb->run("select pg_terminate_backend(pid) from pg_stat_activity where datname=current_database() "
                 "and pid<>pg_backend_pid()");
        QVERIFY(dm->db.isLostConnection(clientError));
    }

    // A statement that fails inside a transaction leaves no prepared statement on the server.
    void failedStatementReleasesPreparedStatements()
    {
        const QString prepared = "select count(*) from pg_prepared_statements";
        const int before = dm->db.scalar(prepared).toInt();
        for (int i = 0; i < 3; ++i)
            runAction(dm->db, [&] {
                Transaction tx(dm->db);
                dm->db.execute("insert into accounts_dep.person(fio) values(:fio)", {{"fio", "Петров"}});
                dm->db.execute("update accounts_dep.person set fio=:fio where id=1/0", {{"fio", "Иванов"}});
            });
        QCOMPARE(messages->shown.size(), 3);
        QCOMPARE(dm->db.scalar(prepared).toInt(), before);
    }

    void failedCommandRollsBackAndIsShown()
    {
        const bool ok = runAction(dm->db, [&] {
            Transaction tx(dm->db);
            dm->db.execute("insert into accounts_dep.person(fio) values('Петров П.П.')");
            dm->db.execute("select no_such_column from accounts_dep.person");
            tx.commit();
        });
        QVERIFY(!ok);
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY(messages->last().contains("no_such_column"));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.person where fio='Петров П.П.'"), 0);
        // The program goes on.
        QCOMPARE(dm->db.scalar("select 1").toInt(), 1);
    }

    void buildStamp()
    {
        const BuildStamp s = buildStampOf(QDateTime(QDate(2024, 2, 27), QTime(15, 11, 3)));
        QCOMPARE(s.date, 20240227);
        QCOMPARE(s.time, 54663);
    }

    void versionCheck_data()
    {
        QTest::addColumn<int>("storedDate");
        QTest::addColumn<int>("storedTime");
        QTest::addColumn<bool>("current");
        QTest::addColumn<int>("afterDate");
        QTest::addColumn<int>("afterTime");
        QTest::newRow("older stored: recorded") << 20240101 << 5 << true << 20240227 << 54663;
        QTest::newRow("same day, earlier time") << 20240227 << 100 << true << 20240227 << 54663;
        QTest::newRow("same stamp: nothing written") << 20240227 << 54663 << true << 20240227 << 54663;
        QTest::newRow("newer day stored") << 20240301 << 0 << false << 20240301 << 0;
        QTest::newRow("same day, later time") << 20240227 << 54664 << false << 20240227 << 54664;
    }
    void versionCheck()
    {
        QFETCH(int, storedDate);
        QFETCH(int, storedTime);
        tdb->run("update accounts_dep.ver set d=:d, t=:t, delim=','", {{"d", storedDate}, {"t", storedTime}});
        QTEST(checkVersion(*dm, {20240227, 54663}), "current");
        QTEST(tdb->value("select d from accounts_dep.ver").toInt(), "afterDate");
        QTEST(tdb->value("select t from accounts_dep.ver").toInt(), "afterTime");
        QCOMPARE(dm->decimalSeparator, QStringLiteral(","));
    }

    void loginChoosesRoleAndShowsRegister_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("full") << "7391" << true;
        QTest::newRow("full, long code") << "63527140" << true;
        QTest::newRow("blanks around") << "  plavik " << true;
        QTest::newRow("foremen") << "brodlin" << true;
        QTest::newRow("warehouse") << "tumov" << true;
        QTest::newRow("capitals refused") << "PLAVIK" << false;
        QTest::newRow("wrong") << "1234" << false;
    }
    void loginChoosesRoleAndShowsRegister()
    {
        QFETCH(QString, word);
        QFETCH(bool, accepted);
        QDialog registerWindow;
        int shown = 0;
        std::optional<Role> started;
        LoginWindow::Hooks hooks;
        hooks.registerWindow = &registerWindow;
        hooks.startSession = [&](Role r) { started = r; };
        LoginWindow login(*dm, {20240227, 54663}, hooks);
        for (int shift = 1; shift <= 4; ++shift)
            dm->shiftList(shift).setParam("ok", "");
        // The register closes as soon as it is shown.
        auto closer = new QTimer(&login);
        connect(closer, &QTimer::timeout, &registerWindow, [&] {
            if (registerWindow.isVisible()) {
                ++shown;
                registerWindow.reject();
            }
        });
        closer->start(10);
        login.wordEdit->setText(word);
        login.logInButton->click();
        QCOMPARE(shown, accepted ? 1 : 0);
        QCOMPARE(started.has_value(), accepted);
        if (accepted) {
            QCOMPARE(login.result(), int(QDialog::Accepted));
            for (int shift = 1; shift <= 4; ++shift)
                QCOMPARE(dm->shiftList(shift).param("ok").toString(), QStringLiteral("ta"));
            QVERIFY(messages->shown.isEmpty());
        } else {
            QCOMPARE(messages->texts(), QStringList{"Введены неверные данные."});
            QCOMPARE(messages->shown.last().caption, QStringLiteral("Ошибка"));
        }
    }

    void loginCaptionShowsBuildAfterCheck()
    {
        tdb->run("update accounts_dep.ver set d=20200101, t=0");
        LoginWindow login(*dm, {20240227, 54663}, {});
        login.show();
        QCOMPARE(login.windowTitle(), QStringLiteral("Авторизация (build: 20240227.54663)"));
        QCOMPARE(tdb->value("select d from accounts_dep.ver").toInt(), 20240227);
    }

    // A newer build in the database ends the program within 5 seconds, even while the
    // message is still open and nobody answers it.
    void newerBuildEndsProgramEvenUnanswered()
    {
        tdb->run("update accounts_dep.ver set d=20990101, t=0");
        struct Unanswered : MessageRecorder {
            QEventLoop* loop = nullptr;
            void show(const QString& text, const QString& caption, msg::Icon icon) override
            {
                MessageRecorder::show(text, caption, icon);
                QEventLoop l;
                loop = &l;
                QTimer::singleShot(8000, &l, &QEventLoop::quit);
                l.exec();
                loop = nullptr;
            }
        } unanswered;
        bool ended = false;
        bool endedWhileOpen = false;
        LoginWindow::Hooks hooks;
        hooks.endProgram = [&] {
            ended = true;
            endedWhileOpen = unanswered.loop != nullptr;
            if (unanswered.loop)
                unanswered.loop->quit();
        };
        LoginWindow login(*dm, {20240227, 54663}, hooks);
        login.runVersionCheck();
        QVERIFY(ended);
        QVERIFY2(endedWhileOpen, "the 5-second end did not fire while the message was open");
        QCOMPARE(unanswered.texts(),
                 QStringList{"Версия программы не соответсвует БД! Запустите программу через 5 мин."});
        QCOMPARE(tdb->value("select d from accounts_dep.ver").toInt(), 20990101);
    }

    // At start-up the check comes before the window: a newer build ends the program while the
    // login window has not been shown (so never from inside its show()); otherwise it shows.
    void startUpChecksBeforeShowing_data()
    {
        QTest::addColumn<int>("storedDate");
        QTest::addColumn<bool>("shown");
        QTest::newRow("newer build stored") << 20990101 << false;
        QTest::newRow("older build stored") << 20200101 << true;
    }
    void startUpChecksBeforeShowing()
    {
        QFETCH(int, storedDate);
        QFETCH(bool, shown);
        tdb->run("update accounts_dep.ver set d=:d, t=0", {{"d", storedDate}});
        std::optional<bool> visibleAtEnd;
        LoginWindow::Hooks hooks;
        LoginWindow* window = nullptr;
        hooks.endProgram = [&] { visibleAtEnd = window->isVisible(); };
        LoginWindow login(*dm, {20240227, 54663}, hooks);
        window = &login;
        QCOMPARE(login.showAfterBuildCheck(), shown);
        QCOMPARE(login.isVisible(), shown);
        QCOMPARE(visibleAtEnd.has_value(), !shown);
        QCOMPARE(visibleAtEnd.value_or(false), false);
        QCOMPARE(messages->shown.size(), shown ? 0 : 1);
        if (shown)
            QCOMPARE(login.windowTitle(), QStringLiteral("Авторизация (build: 20240227.54663)"));
    }

    // While the check's error is open, the 30-second timer's next check adds no second box.
    void failingVersionCheckDoesNotStack()
    {
        tdb->run("delete from accounts_dep.ver");
        LoginWindow login(*dm, {20240227, 54663}, {});
        struct Reentering : MessageRecorder {
            std::function<void()> again;
            void show(const QString& text, const QString& caption, msg::Icon icon) override
            {
                MessageRecorder::show(text, caption, icon);
                if (again)
                    again();
            }
        } reentering;
        reentering.again = [&] { login.runVersionCheck(); };
        login.runVersionCheck();
        QCOMPARE(reentering.shown.size(), 1);
        QVERIFY(!login.endTimer.isActive());
    }

    // The program makes the windows other than the register and the login window once the
    // login window has been painted; a login that comes first makes them before the register
    // opens. Either way the register's menu reaches them.
    void otherWindowsFollowTheLoginWindow_data()
    {
        QTest::addColumn<bool>("paintFirst");
        QTest::newRow("after the paint") << true;
        QTest::newRow("login first") << false;
    }
    void otherWindowsFollowTheLoginWindow()
    {
        QFETCH(bool, paintFirst);
        Windows windows;
        QVERIFY(windows.start({tdb->settings().database, tdb->settings().host}, {20240227, 0},
                              Windows::Others::AfterLoginShown));
        RegisterWindow& reg = windows.registerWindow();
        auto workersList = [&] { return reg.findChild<QDialog*>("TForm5"); };
        QVERIFY(!workersList());
        LoginWindow& login = windows.loginWindow();
        if (paintFirst) {
            login.show();
            QVERIFY(QTest::qWaitFor([&] { return workersList() != nullptr; }, 5000));
        }
        bool listed = false;
        whenShown<RegisterWindow>([&](RegisterWindow* shown) {
            listed = workersList() != nullptr;
            shown->reject();
        });
        login.wordEdit->setText("7391");
        login.logIn();
        QVERIFY(listed);
    }

    void unreachableServerEndsStartUp()
    {
        const QByteArray port = qgetenv("PGPORT");
        qputenv("PGPORT", "1");
        Windows windows;
        const bool started = windows.start({"corvel", "127.0.0.1"}, {20240227, 0});
        qputenv("PGPORT", port);
        QVERIFY(!started);
        QCOMPARE(messages->texts(), QStringList{"Подключение к БД отсутсвует!!!"});
        QCOMPARE(messages->shown.last().caption, QStringLiteral("Ошибка!"));
    }
};

QTEST_MAIN(AppTest)
#include "test_core.moc"
