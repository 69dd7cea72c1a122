// Reading from a hot standby (TABEL_REPORT_SERVER): the timesheet reads its rows there and still
// shows what this copy has just written on the main server; a standby that cannot serve is passed
// over for the main server, and the log says why. The test command starts the standby
// (TABEL_TEST_STANDBY).
#include "program_fixture.h"
#include "timesheet_window.h"
#include "works_store.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QThread>

namespace {

QStringList logged;

void keepLog(QtMsgType, const QMessageLogContext&, const QString& text) { logged << text; }

bool inRecovery(Database& db)
{
    QSqlQuery q = db.exec(QStringLiteral("select pg_is_in_recovery()"));
    return q.next() && q.value(0).toBool();
}

} // namespace

class ReadingTest : public FixtureTest {
    Q_OBJECT

    QString standby_;

    // The fixture made with the report server set; its database has reached the standby.
    void makeFixtureReadingFrom(const QString& server)
    {
        qputenv("TABEL_REPORT_SERVER", server.toUtf8());
        makeFixture();
        qunsetenv("TABEL_REPORT_SERVER");
    }
    bool standbyHasTheDatabase()
    {
        ConnectionSettings settings = tdb->settings();
        const int colon = standby_.lastIndexOf(u':');
        settings.host = standby_.left(colon);
        settings.port = standby_.mid(colon + 1).toInt();
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            try {
                Database probe;
                probe.open(settings);
                return true;
            } catch (const DbError&) {
                if (waited.elapsed() > 20000)
                    return false;
                QThread::msleep(50);
            }
        }
    }

private slots:
    void initTestCase()
    {
        standby_ = qEnvironmentVariable("TABEL_TEST_STANDBY");
        if (standby_.isEmpty())
            QSKIP("TABEL_TEST_STANDBY names no standby: run the test command (scripts/test.sh), which starts one");
    }
    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        logged.clear();
        dropFixture();
    }

    void timesheetReadsFromTheStandbyAndSeesItsOwnWrite()
    {
        makeFixtureReadingFrom(standby_);
        QVERIFY(standbyHasTheDatabase());
        const int worker = tdb->addWorker("Антонов А.А.");
        const int group = tdb->addGroup("Хоз. нужды");
        TimesheetWindow window(*dm);
        window.prepare(TimesheetMode::Household, {3, 2024});

        // The write goes to the main server (the standby would refuse it) …
        WorksValues works;
        works.nomenclatureId = group;
        works.workerId = worker;
        works.hours = 5;
        works.price = *Decimal4::fromText("100");
        works.date = {2024, 3, 5};
        QVERIFY(WorksStore(dm->db).add(works));
        QVERIFY(!inRecovery(dm->db));

        // … and the re-read, from the standby, already shows it.
        window.refresh();
        QVERIFY(dm->reading.readsFromStandby());
        QVERIFY(inRecovery(dm->reading.forReading()));
        QCOMPARE(window.grid->model()->rowCount(), 1);
        QCOMPARE(window.grid->model()->index(0, TimesheetWindow::columnOf("d5")).data().toString(), QStringLiteral("5"));
    }

    // A standby that cannot serve: the main server is read, and the log says why, once.
    void passedOverWithTheReason_data()
    {
        QTest::addColumn<bool>("toMainServer");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unreachable") << false << "cannot be reached";
        QTest::newRow("not a standby") << true << "not a standby in recovery";
    }
    void passedOverWithTheReason()
    {
        QFETCH(bool, toMainServer);
        QFETCH(QString, reason);
        qInstallMessageHandler(keepLog);
        // The main server itself is no standby; port 1 answers nobody.
        const QString server = toMainServer ? QStringLiteral("127.0.0.1:%1").arg(qEnvironmentVariable("PGPORT"))
                                            : QStringLiteral("127.0.0.1:1");
        makeFixtureReadingFrom(server);
        for (int read = 0; read < 2; ++read) {
            QCOMPARE(&dm->reading.forReading(), &dm->db);
            QVERIFY(!dm->reading.readsFromStandby());
        }
        QCOMPARE(logged.size(), 1);
        QVERIFY2(logged.first().contains(reason), qPrintable(logged.first()));
    }
};

QTEST_MAIN(ReadingTest)
#include "test_reading.moc"
