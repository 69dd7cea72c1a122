// The multi-client stress run: N client processes, each with its own connection, run M register
// commands each (add, change that moves an entry to another worker or date, delete, accept) through
// the program's own stores on overlapping workers, dates and shifts, working from lists that they
// re-read only now and then, as users do. Meanwhile backends are terminated at random. Then the
// invariants are checked in SQL:
//   - no two entries with one key, no two timesheet rows with one key;
//   - every day cell equal to the hours of its day in the register;
//   - no command reported done that the database did not apply (an audit trigger of this throwaway
//     database records what was applied).
// Needs a PostgreSQL server (PGHOST, PGPORT, PGUSER, PGPASSWORD); builds its own database.
//   bench_stress [clients=8] [operations=1000]
#include "data_module.h"
#include "entry_store.h"
#include "local_time.h"
#include "register_invariants.h"
#include "register_store.h"
#include "test_database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

constexpr int kWorkers = 6;
constexpr int kOperations = 3;
constexpr int kDays = 4;
const QDate kFirstDay(2024, 3, 11);

// What each client reports, one line per command: its kind and outcome, and for a change the
// values it claims to have written.
struct Tally {
    int done = 0, refused = 0, stale = 0, failed = 0;
};

QString auditSetUp()
{
    return QStringLiteral(
        "create table stress_applied (id integer, w_id integer, data date, time integer, op char(1));"
        "create function stress_audit() returns trigger language plpgsql as $$ begin"
        "  if tg_op = 'DELETE' then insert into stress_applied values (old.id, old.w_id, old.data, old.time, 'D');"
        "  else insert into stress_applied values (new.id, new.w_id, new.data, new.time, left(tg_op, 1)); end if;"
        "  return null; end $$;"
        "create trigger stress_audit after insert or update or delete on accounts_dep.smena"
        "  for each row execute function stress_audit();");
}

// One client: its own connection, commands from lists re-read every few commands.
int runClient(const QString& database, int client, int operations, const QString& logPath)
{
    DataModule dm;
    ConnectionSettings settings = ConnectionSettings::fromArguments({database, qEnvironmentVariable("PGHOST", "127.0.0.1")});
    settings.options.clear();
    // The killer may end the connection before it is set up; the program then reconnects on
    // its next command, as it does after any lost connection.
    for (int attempt = 0;; ++attempt) {
        try {
            dm.db.open(settings);
            break;
        } catch (const DbError&) {
            if (attempt == 20)
                return 3;
        }
    }
    dm.db.loginRole = Role::FullRights;
    EntryStore entries(dm.db);
    RegisterStore marks(dm.db);
    QRandomGenerator random(quint32(client * 7919 + 17));
    QFile logFile(logPath);
    if (!logFile.open(QIODevice::WriteOnly | QIODevice::Text))
        return 2;
    QTextStream log(&logFile);
    QVector<Row> shown;  // the client's list, as its user would see it
    auto reread = [&] {
        shown.clear();
        QSqlQuery q = dm.db.exec(QStringLiteral("select id, w_id, i_id, o_id, cena, kol_vo, brak, data, smena, "
                                                "color, time, ok from accounts_dep.smena where data=:d"),
                                 {{QStringLiteral("d"), kFirstDay.addDays(random.bounded(kDays))}});
        while (q.next())
            shown.push_back(Row::fromQuery(q));
    };
    auto values = [&] {
        EntryValues v;
        v.workerId = 1 + random.bounded(kWorkers);
        v.operationId = 1 + random.bounded(kOperations);
        v.productId = v.operationId;  // the fixture gives operation n the product n
        v.price = Decimal4::fromUnits(10000 * (1 + random.bounded(20)));
        v.quantity = 1 + random.bounded(9);
        v.hours = random.bounded(9);
        v.colour = random.bounded(2);
        v.date = kFirstDay.addDays(random.bounded(kDays));
        v.shiftNo = 1 + random.bounded(4);
        return v;
    };
    for (int i = 0; i < operations; ++i) {
        if (i % 5 == 0 || shown.isEmpty()) {
            try {
                reread();
            } catch (const DbError&) {
                log << "read failed\n";
                continue;
            }
        }
        const int kind = random.bounded(10);  // 4 adds, 3 changes, 2 deletes, 1 acceptance
        try {
            if (kind < 4 || shown.isEmpty()) {
                const Outcome o = entries.add(values());
                log << "add " << (o ? "done" : "refused") << "\n";
            } else {
                const Row row = shown[random.bounded(int(shown.size()))];
                const int id = row[QStringLiteral("id")].asInteger();
                if (kind < 7) {
                    const EntryValues v = values();
                    const Outcome o = entries.change(row, v);
                    log << "change " << (o ? "done" : o.isStale() ? "stale" : "refused") << ' ' << id << ' '
                        << v.workerId << ' ' << v.date.toString(Qt::ISODate) << ' ' << v.hours << "\n";
                } else if (kind < 9) {
                    const Outcome o = marks.deleteEntry(row);
                    log << "delete " << (o ? "done" : o.isStale() ? "stale" : "refused") << ' ' << id << "\n";
                } else {
                    const Outcome o = marks.toggleAcceptance(row);
                    log << "accept " << (o ? "done" : o.isStale() ? "stale" : "refused") << ' ' << id << "\n";
                }
            }
        } catch (const DbError& e) {
            log << "failed " << (e.connectionLost() ? "lost" : "error") << "\n";
        }
    }
    return 0;
}

Tally readLogs(const QTemporaryDir& dir, int clients, Database& db, int* unapplied)
{
    Tally t;
    *unapplied = 0;
    for (int c = 0; c < clients; ++c) {
        QFile f(dir.filePath(QStringLiteral("client%1.log").arg(c)));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QTextStream in(&f);
        while (!in.atEnd()) {
            const QStringList w = in.readLine().split(u' ');
            if (w.value(0) == QLatin1String("failed") || w.value(1) == QLatin1String("failed")) {
                ++t.failed;
                continue;
            }
            const QString outcome = w.value(1);
            if (outcome == QLatin1String("done"))
                ++t.done;
            else if (outcome == QLatin1String("stale"))
                ++t.stale;
            else if (outcome == QLatin1String("refused"))
                ++t.refused;
            // A change reported done must have been applied with exactly these values.
            if (w.value(0) == QLatin1String("change") && outcome == QLatin1String("done")
                && db.scalar(QStringLiteral("select count(*) from stress_applied where op='U' and id=:id and "
                                            "w_id=:w and data=:d and time=:t"),
                             {{QStringLiteral("id"), w.value(2).toInt()},
                              {QStringLiteral("w"), w.value(3).toInt()},
                              {QStringLiteral("d"), QDate::fromString(w.value(4), Qt::ISODate)},
                              {QStringLiteral("t"), w.value(5).toInt()}})
                           .toInt()
                       == 0)
                ++*unapplied;
            if (w.value(0) == QLatin1String("delete") && outcome == QLatin1String("done")
                && db.scalar(QStringLiteral("select count(*) from stress_applied where op='D' and id=:id"),
                             {{QStringLiteral("id"), w.value(2).toInt()}})
                           .toInt()
                       == 0)
                ++*unapplied;
        }
    }
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    readTimeZoneOnce();  // as the program's own process does
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--client")) {
        // Terminated connections make the driver complain on every statement; the log says it.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return runClient(args.value(2), args.value(3).toInt(), args.value(4).toInt(), args.value(5));
    }
    // Under the benchmark command, -R chooses the measures to run.
    const QString filter = qEnvironmentVariable("TABEL_BENCH_FILTER");
    if (!filter.isEmpty()
        && !QRegularExpression(filter, QRegularExpression::CaseInsensitiveOption).match(QStringLiteral("stress: clients")).hasMatch())
        return 0;

    const int clients = std::max(1, args.value(1, QStringLiteral("8")).toInt());
    const int operations = std::max(1, args.value(2, QStringLiteral("1000")).toInt());
    TestDatabase tdb;
    for (int w = 1; w <= kWorkers; ++w)
        tdb.addWorker(QStringLiteral("Рабочий %1").arg(w));
    const int kind = tdb.addKind(QStringLiteral("Сборка"));
    for (int o = 1; o <= kOperations; ++o) {
        const int product = tdb.addProduct(QStringLiteral("Изделие %1").arg(o));
        if (tdb.addOperation(kind, product) != o || product != o) {
            std::fprintf(stderr, "the fixture expects operation n on product n\n");
            return 1;
        }
    }
    tdb.db().exec(auditSetUp());

    // The harness's own connection, which reads the results, is spared.
    const int harness = tdb.value(QStringLiteral("select pg_backend_pid()")).toInt();
    QTemporaryDir dir;
    std::atomic<bool> running{true};
    std::atomic<int> killed{0};
    // Terminates a random client backend every 50-250 ms while the clients run.
    std::thread killer([&] {
        Database admin(QStringLiteral("stress_killer"));
        admin.open(tdb.settings());
        QRandomGenerator random(4242);
        while (running) {
            QThread::msleep(50 + random.bounded(200));
            try {
                killed += admin.scalar(QStringLiteral("select count(pg_terminate_backend(pid)) from (select pid from "
                                                      "pg_stat_activity where datname=current_database() and "
                                                      "pid<>pg_backend_pid() and pid<>:harness and "
                                                      "backend_type='client backend' order by random() limit 1) p"),
                                       {{QStringLiteral("harness"), harness}})
                              .toInt();
            } catch (const DbError&) {
            }
        }
    });
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int c = 0; c < clients; ++c) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--client"), tdb.settings().database, QString::number(c), QString::number(operations),
                  dir.filePath(QStringLiteral("client%1.log").arg(c))});
        processes.push_back(std::move(p));
    }
    for (auto& p : processes)
        p->waitForFinished(-1);
    const double seconds = clock.elapsed() / 1000.0;
    running = false;
    killer.join();

    int unapplied = 0;
    const Tally t = readLogs(dir, clients, tdb.db(), &unapplied);
    const int duplicates = tdb.count(invariants::duplicateEntries());
    const int rows = tdb.count(invariants::duplicateTimesheetRows());
    const int cells = tdb.count(invariants::cellsOffRegister());
    std::printf("Stress run: %d clients x %d commands, %d backends terminated\n", clients, operations, killed.load());
    std::printf("  %.0f commands/s; done %d, refused %d (duplicates), changed meanwhile %d, failed %d\n",
                clients * operations / seconds, t.done, t.refused, t.stale, t.failed);
    std::printf("  duplicate entries %d | duplicate timesheet rows %d | cells off the register %d | "
                "reported done but not applied %d\n",
                duplicates, rows, cells, unapplied);
    return duplicates + rows + cells + unapplied == 0 ? 0 : 1;
}
