// tabel_bench: the program's benchmarks, run by scripts/bench.sh against a database of generated
// plant data.
//   tabel_bench run [-R pattern] [--results FILE]   the in-process suites (PGHOST, PGPORT, PGUSER,
//                                                    PGPASSWORD, PGDATABASE name the database)
//   tabel_bench table FILE HEADING [OTHER_FILE OTHER_HEADING]
//                                                    the table of a results file, and the growth
//                                                    from the other size's results
#include "bench_support.h"
#include "harness.h"

#include <QApplication>
#include <cstdio>

namespace {

// The in-process suites, in the order they run. A new suite is a file of its own and a line here.
const std::pair<const char*, void (*)(bench::Context&)> kSuites[] = {
    {"start", bench::startSuite},
    {"register", bench::registerSuite},
    {"lists", bench::listsSuite},
};

int usage()
{
    std::fprintf(stderr, "usage: tabel_bench run [-R pattern] [--results FILE]\n"
                         "       tabel_bench table FILE HEADING [OTHER_FILE OTHER_HEADING]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("table")) {
        if (args.size() < 3)
            return usage();
        bench::printTable(args[1], args[2], args.value(3), args.value(4));
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
