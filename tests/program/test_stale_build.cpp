// A newer build recorded in the database ends the real program at start-up, with nobody at the
// keyboard: the message closes after 5 seconds and the process ends before any login.
#include "test_database.h"

#include <QProcess>
#include <QtTest>

#ifndef TABEL_EXECUTABLE
#error TABEL_EXECUTABLE must name the program
#endif

class StaleBuildTest : public QObject {
    Q_OBJECT

private slots:
    void newerBuildEndsTheProgram()
    {
        TestDatabase tdb;
        tdb.run("update accounts_dep.ver set d=20990101, t=0");
        QProcess program;
        QProcessEnvironment env = tdb.programEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TABEL_EXECUTABLE), {tdb.settings().database, tdb.settings().host});
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
        const bool ended = program.waitForFinished(60000);
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        // What the program wrote, so that a failure says how it ended.
        const QByteArray output = program.readAllStandardOutput() + program.readAllStandardError();
        QVERIFY2(ended, qPrintable("the program kept running with a stale build:\n" + output));
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                 qPrintable(QStringLiteral("exit status %1, code %2:\n")
                                .arg(program.exitStatus())
                                .arg(program.exitCode())
                            + output));
        // The newer stamp stays; this build did not overwrite it.
        QCOMPARE(tdb.value("select d from accounts_dep.ver").toInt(), 20990101);
    }
};

QTEST_MAIN(StaleBuildTest)
#include "test_stale_build.moc"
