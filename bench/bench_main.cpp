// tabel_bench: the program's benchmarks, run by scripts/bench.sh against a database of generated
// plant data.
//   tabel_bench run [-R pattern] [--results FILE]   the in-process suites (PGHOST, PGPORT, PGUSER,
//                                                    PGPASSWORD, PGDATABASE name the database)
//   tabel_bench table FILE HEADING                  the table of a results file
//   tabel_bench growth SMALL HEADING LARGE HEADING  how each figure grew from one size to the other
#include "bench_support.h"
#include "harness.h"
#include "local_time.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace {

// The in-process suites, in the order they run. A new suite is a file of its own and a line here.
const std::pair<const char*, void (*)(bench::Context&)> kSuites[] = {
    {"start", bench::startSuite},
    {"register", bench::registerSuite},
    {"lists", bench::listsSuite},
    {"timesheet by shifts", bench::byShiftSuite},
    {"timesheets", bench::timesheetsSuite},
    {"summary reports", bench::reportsSuite},
    {"history", bench::historySuite},
    {"statements", bench::statementsSuite},
    {"commands", bench::commandsSuite},
};

int usage()
{
    std::fprintf(stderr, "usage: tabel_bench run [-R pattern] [--results FILE]\n"
                         "       tabel_bench table FILE HEADING\n"
                         "       tabel_bench growth SMALL_FILE HEADING LARGE_FILE HEADING\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // As the program's own process does.
    readTimeZoneOnce();
    // Only the runs show windows.
    const bool running = argc > 1 && qstrcmp(argv[1], "run") == 0;
    std::unique_ptr<QCoreApplication> app =
        running ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = app->arguments().mid(1);
    if (args.value(0) == QLatin1String("table")) {
        if (args.size() != 3)
            return usage();
        bench::printTable(args[1], args[2]);
        return 0;
    }
    if (args.value(0) == QLatin1String("growth")) {
        if (args.size() != 5)
            return usage();
        bench::printGrowth(args[1], args[2], args[3], args[4]);
        return 0;
    }
    if (args.value(0) != QLatin1String("run"))
        return usage();
    QString filter = qEnvironmentVariable("TABEL_BENCH_FILTER");
    QString results = qEnvironmentVariable("TABEL_BENCH_RESULTS");
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("-R") && i + 1 < args.size())
            filter = args[++i];
        else if (args[i] == QLatin1String("--results") && i + 1 < args.size())
            results = args[++i];
        else
            return usage();
    }
    bench::Runner runner(filter, results);
    bench::Context context(runner,
                           {qEnvironmentVariable("PGDATABASE", QStringLiteral("bench")),
                            qEnvironmentVariable("PGHOST", QStringLiteral("127.0.0.1"))},
                           QStringLiteral(TABEL_PROGRAM), QStringLiteral(TABEL_BARE_DIALOG));
    for (const auto& [name, suite] : kSuites) {
        std::printf("%s\n", name);
        suite(context);
    }
    return 0;
}
