// Reports from a standby under load: eight clients save register entries on the main server, each
// with its own connection, through the program's entry store. The saves' times are taken with no
// report running, with the year's worker report read in a loop from the standby
// (TABEL_REPORT_SERVER's use), and, for contrast, with it read from the main server. The rounds
// alternate, so that a noisy machine hits all three alike. Writes two measures to the results
// file: the saves with the report on the standby, and on the main server, each against the saves
// with no report.
// The standby stands for a server of its own: scripts/bench.sh runs it at the lowest CPU priority,
// so that on this one machine its work yields to the main server's, as it would on another machine;
// the report's client thread likewise. The measure against the main server shows what the standby
// spares the saves.
// Needs the benchmark data's server (PGHOST, PGPORT, PGUSER, PGPASSWORD, PGDATABASE) and its
// standby (TABEL_BENCH_STANDBY, host:port; scripts/bench.sh starts one).
#include "bench_data.h"
#include "entry_store.h"
#include "harness.h"
#include "local_time.h"
#include "worker_reports.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QThread>

#include <atomic>
#include <sys/resource.h>
#include <unistd.h>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

constexpr int kClients = 8;
constexpr int kSavesPerClient = 25;
constexpr int kRounds = 4;
constexpr int kFirstColour = 800000;

enum class ReportOn { Nowhere, Standby, Main };

ConnectionSettings mainSettings()
{
    ConnectionSettings s = ConnectionSettings::fromArguments({});
    s.database = qEnvironmentVariable("PGDATABASE", QStringLiteral("bench"));
    s.host = qEnvironmentVariable("PGHOST", QStringLiteral("127.0.0.1"));
    return s;
}

ConnectionSettings standbySettings()
{
    ConnectionSettings s = mainSettings();
    const QString standby = qEnvironmentVariable("TABEL_BENCH_STANDBY");
    const int colon = standby.lastIndexOf(u':');
    s.host = standby.left(colon);
    s.port = standby.mid(colon + 1).toInt();
    return s;
}

// One entry a client saves: its own worker, a day of the history's last full week, shift 1.
std::vector<EntryValues> clientEntries(Database& db)
{
    const QDate day = bench::data::workingDay(0);
    QSqlQuery q = db.exec(QStringLiteral("select w.id, op.id, op.i_id, op.price from (select distinct w_id as id from "
                                         "accounts_dep.smena where data=:d order by 1 limit :n) w, "
                                         "(select id, i_id, price from bench.op where n=0 limit 1) op"),
                          {{QStringLiteral("d"), day}, {QStringLiteral("n"), kClients}});
    std::vector<EntryValues> entries;
    while (q.next()) {
        EntryValues e;
        e.workerId = q.value(0).toInt();
        e.operationId = q.value(1).toInt();
        e.productId = q.value(2).toInt();
        e.price = *Decimal4::fromText(q.value(3).toString());
        e.quantity = 5;
        e.hours = 1;
        e.date = day;
        e.shiftNo = 1;
        entries.push_back(e);
    }
    if (int(entries.size()) != kClients)
        throw std::runtime_error("not enough workers on the measured day");
    return entries;
}

// The year's worker report, read whole, again and again until told to stop.
void reportLoop(const ConnectionSettings& settings, const std::atomic<bool>& stop, std::atomic<int>& reports)
{
    // The report runs on the accountant's computer, not beside the foremen's: on this one machine
    // its thread yields to the saving clients.
    setpriority(PRIO_PROCESS, gettid(), 19);
    Database db(QStringLiteral("report"));
    db.open(settings);
    WorkerReport report(db);
    const QDate end = bench::data::fullMonth().addMonths(1);
    while (!stop) {
        report.setPeriod(end.addYears(-1), end);
        report.query().open();
        report.query().close();
        ++reports;
    }
}

// Each client's saves, timed one by one, while the report runs where asked.
QVector<double> savesWhile(ReportOn where, const std::vector<EntryValues>& entries, int round)
{
    std::atomic<bool> stop = false;
    std::atomic<int> reports = 0;
    std::thread report;
    if (where != ReportOn::Nowhere) {
        report = std::thread(reportLoop, where == ReportOn::Standby ? standbySettings() : mainSettings(),
                             std::cref(stop), std::ref(reports));
        QThread::msleep(500);  // the report's statement is running when the saves start
    }
    QVector<double> times;
    std::mutex timesLock;
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            Database db(QStringLiteral("client"));
            db.open(mainSettings());
            db.loginRole = Role::FullRights;
            EntryStore store(db);
            QVector<double> mine;
            for (int s = 0; s < kSavesPerClient; ++s) {
                EntryValues e = entries[c];
                e.colour = kFirstColour + (round * kClients + c) * kSavesPerClient + s;
                QElapsedTimer t;
                t.start();
                if (!store.add(e))
                    throw std::runtime_error("a save was refused");
                mine << t.nsecsElapsed() / 1e6;
            }
            const std::lock_guard lock(timesLock);
            times += mine;
        });
    }
    for (std::thread& t : clients)
        t.join();
    stop = true;
    if (report.joinable())
        report.join();
    if (where != ReportOn::Nowhere && reports == 0)
        std::printf("  (the report had not finished once while the saves ran)\n");
    return times;
}

void writeResult(const QString& name, const QVector<double>& withReport, const QVector<double>& alone, double target)
{
    bench::Result r;
    r.group = QStringLiteral("standby");
    r.name = name;
    r.reference = QStringLiteral("the same saves with no report running");
    r.target = target;
    r.program = withReport;
    r.referenceSamples = alone;
    r.rows = withReport.size();
    const QString path = qEnvironmentVariable("TABEL_BENCH_RESULTS");
    std::printf("%s: median %.2f ms against %.2f ms, %.2f×\n", qPrintable(name), bench::median(withReport),
                bench::median(alone), bench::median(withReport) / bench::median(alone));
    if (path.isEmpty())
        return;
    QFile f(path);
    if (f.open(QIODevice::Append | QIODevice::Text))
        f.write((r.toLine() + u'\n').toUtf8());
}

} // namespace

int main(int argc, char** argv)
{
    readTimeZoneOnce();  // as the program's own process does
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariable("TABEL_BENCH_STANDBY").isEmpty()) {
        std::printf("no standby (TABEL_BENCH_STANDBY): skipped\n");
        return 0;
    }
    bench::Runner runner = bench::Runner::fromEnvironment();
    if (!runner.wanted(QStringLiteral("standby"), QStringLiteral("entry saves while the year's worker report reads")))
        return 0;
    try {
        Database db;
        db.open(mainSettings());
        const std::vector<EntryValues> entries = clientEntries(db);
        QVector<double> alone, onStandby, onMain;
        for (int round = 0; round < kRounds; ++round) {
            alone += savesWhile(ReportOn::Nowhere, entries, 3 * round);
            onStandby += savesWhile(ReportOn::Standby, entries, 3 * round + 1);
            onMain += savesWhile(ReportOn::Main, entries, 3 * round + 2);
        }
        writeResult(QStringLiteral("entry saves while the year's worker report reads from the standby, target 1.2×"),
                    onStandby, alone, 1.2);
        writeResult(QStringLiteral("entry saves while the year's worker report reads from the main server"), onMain,
                    alone, 0);
        db.execute(QStringLiteral("delete from accounts_dep.smena where color >= :c"), {{QStringLiteral("c"), kFirstColour}});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_standby: %s\n", e.what());
        return 1;
    }
    return 0;
}
