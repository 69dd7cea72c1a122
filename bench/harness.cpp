#include "harness.h"

#include "database.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QSqlDriver>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <exception>
#include <memory>

namespace bench {

namespace {

QString joinSamples(const QVector<double>& samples)
{
    QStringList parts;
    for (double s : samples)
        parts << QString::number(s, 'f', 4);
    return parts.join(u' ');
}

QVector<double> splitSamples(const QString& text)
{
    QVector<double> out;
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts))
        out << part.toDouble();
    return out;
}

QString clean(QString text)
{
    text.replace(u'\t', u' ');
    text.replace(u'\n', u' ');
    return text;
}

QElapsedTimer* runningClock = nullptr;
qint64 stoppedAt = -1;

double timed(const std::function<void(int)>& side, int run)
{
    QElapsedTimer t;
    runningClock = &t;
    stoppedAt = -1;
    t.start();
    side(run);
    const qint64 end = stoppedAt >= 0 ? stoppedAt : t.nsecsElapsed();
    runningClock = nullptr;
    return end / 1e6;
}

} // namespace

void stopClock()
{
    if (runningClock && stoppedAt < 0)
        stoppedAt = runningClock->nsecsElapsed();
}

double minimum(const QVector<double>& samples)
{
    return samples.isEmpty() ? 0 : *std::min_element(samples.begin(), samples.end());
}

double median(QVector<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const int n = int(samples.size());
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// group, name, reference, target, rows, program trips, reference trips, program samples,
// reference samples, note: tab-separated.
QString Result::toLine() const
{
    return QStringList{clean(group),
                       clean(name),
                       clean(reference),
                       QString::number(target),
                       QString::number(rows),
                       QString::number(programTrips),
                       QString::number(referenceTrips),
                       joinSamples(program),
                       joinSamples(referenceSamples),
                       clean(note)}
        .join(u'\t');
}

bool Result::fromLine(const QString& line, Result& out)
{
    const QStringList f = line.split(u'\t');
    if (f.size() < 10)
        return false;
    out.group = f[0];
    out.name = f[1];
    out.reference = f[2];
    out.target = f[3].toDouble();
    out.rows = f[4].toDouble();
    out.programTrips = f[5].toInt();
    out.referenceTrips = f[6].toInt();
    out.program = splitSamples(f[7]);
    out.referenceSamples = splitSamples(f[8]);
    out.note = f[9];
    return true;
}

Runner::Runner(const QString& filter, QString resultsPath)
    : filter_(filter, QRegularExpression::CaseInsensitiveOption),
      everything_(filter.isEmpty()),
      resultsPath_(std::move(resultsPath))
{
}

Runner Runner::fromEnvironment()
{
    return Runner(qEnvironmentVariable("TABEL_BENCH_FILTER"), qEnvironmentVariable("TABEL_BENCH_RESULTS"));
}

bool Runner::wanted(const QString& group, const QString& name) const
{
    return everything_ || filter_.match(group + QStringLiteral(": ") + name).hasMatch();
}

void Runner::append(const Result& r)
{
    if (resultsPath_.isEmpty()) {
        std::printf("%s\n", qPrintable(r.toLine()));
        return;
    }
    QFile f(resultsPath_);
    if (!f.open(QIODevice::Append | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(resultsPath_));
        return;
    }
    f.write((r.toLine() + u'\n').toUtf8());
}

void Runner::run(Measure& m)
{
    if (!wanted(m.group, m.name))
        return;
    Result r;
    r.group = m.group;
    r.name = m.name;
    r.reference = m.limit;
    r.target = m.target;
    std::printf("  %s ...", qPrintable(r.fullName()));
    std::fflush(stdout);
    try {
        if (m.setup)
            m.setup();
        if (m.check)
            r.note = m.check();
        r.rows = m.rows;
        if (r.note.isEmpty()) {
            // Warm-up, with the round trips of one run of each side counted.
            {
                std::unique_ptr<RoundTrips> trips(m.traced ? new RoundTrips(*m.traced) : nullptr);
                m.program(-1);
                if (trips)
                    r.programTrips = trips->stop();
            }
            if (m.reference) {
                std::unique_ptr<RoundTrips> trips(m.traced ? new RoundTrips(*m.traced) : nullptr);
                m.reference(-2);
                if (trips)
                    r.referenceTrips = trips->stop();
            }
            for (int run = 0; run < m.runs; ++run) {
                const bool programFirst = run % 2 == 0 || !m.reference;
                if (programFirst)
                    r.program << timed(m.program, run);
                if (m.reference)
                    r.referenceSamples << timed(m.reference, run);
                if (!programFirst)
                    r.program << timed(m.program, run);
            }
        }
    } catch (const DbError& e) {
        r.note = QStringLiteral("failed: ") + e.message();
    } catch (const std::exception& e) {
        r.note = QStringLiteral("failed: ") + QString::fromLocal8Bit(e.what());
    }
    try {
        if (m.teardown)
            m.teardown();
    } catch (const DbError& e) {
        r.note += QStringLiteral(" (teardown failed: %1)").arg(e.message());
    }
    if (r.note.isEmpty())
        std::printf(" %.2f ms\n", median(r.program));
    else
        std::printf(" %s\n", qPrintable(r.note));
    append(r);
}

// libpq is loaded by Qt's PostgreSQL driver; its trace functions are looked up there, so that
// the benchmarks need no libpq headers.
namespace {
using TraceFn = void (*)(void*, FILE*);
using UntraceFn = void (*)(void*);
using FlagsFn = void (*)(void*, int);
constexpr int kSuppressTimestamps = 1;

void* libpqSymbol(const char* name)
{
    static void* handle = dlopen("libpq.so.5", RTLD_NOW | RTLD_NOLOAD);
    return handle ? dlsym(handle, name) : nullptr;
}
} // namespace

RoundTrips::RoundTrips(Database& db)
{
    const QVariant h = db.handle().driver()->handle();
    auto trace = reinterpret_cast<TraceFn>(libpqSymbol("PQtrace"));
    auto flags = reinterpret_cast<FlagsFn>(libpqSymbol("PQsetTraceFlags"));
    // PGconn* (its struct is pg_conn).
    const QByteArray type = h.isValid() ? QByteArray(h.typeName()) : QByteArray();
    if ((type != "PGconn*" && type != "pg_conn*") || !trace)
        return;
    conn_ = *static_cast<void* const*>(h.data());
    trace_ = std::tmpfile();
    if (!conn_ || !trace_)
        return;
    trace(conn_, trace_);
    if (flags)
        flags(conn_, kSuppressTimestamps);
}

RoundTrips::~RoundTrips() { stop(); }

int RoundTrips::stop()
{
    if (!trace_)
        return count_;
    if (auto untrace = reinterpret_cast<UntraceFn>(libpqSymbol("PQuntrace")); untrace && conn_)
        untrace(conn_);
    std::rewind(trace_);
    QFile f;
    int n = 0;
    if (f.open(trace_, QIODevice::ReadOnly)) {
        // Lines read "F <length> <message> ...": each Query (simple protocol) or Sync (extended)
        // waits for the server's answer.
        while (!f.atEnd()) {
            const QList<QByteArray> parts = f.readLine().split('\t');
            if (parts.size() >= 3 && parts[0] == "F" && (parts[2] == "Query" || parts[2] == "Sync"))
                ++n;
        }
        f.close();
    }
    std::fclose(trace_);
    trace_ = nullptr;
    count_ = n;
    return count_;
}

// ---------------------------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------------------------

namespace {

QVector<Result> readResults(const QString& path)
{
    QVector<Result> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        Result r;
        if (Result::fromLine(line, r))
            out << r;
    }
    return out;
}

QString ms(double v)
{
    if (v >= 100)
        return QString::number(v, 'f', 0);
    if (v >= 10)
        return QString::number(v, 'f', 1);
    return QString::number(v, 'f', 2);
}

QString pair(double a, double b, const QString& unit = QStringLiteral(" ms"))
{
    return ms(a) + QStringLiteral(" / ") + ms(b) + unit;
}

QString ratioText(double v) { return QString::number(v, 'f', 2); }

// Cells padded to the widest of their column, so that the table reads in a terminal and as
// Markdown alike.
void printRows(const QVector<QStringList>& rows)
{
    QVector<int> width;
    for (const QStringList& row : rows)
        for (int i = 0; i < row.size(); ++i) {
            if (width.size() <= i)
                width << 0;
            width[i] = std::max(width[i], int(row[i].size()));
        }
    for (int r = 0; r < rows.size(); ++r) {
        QString line = QStringLiteral("|");
        for (int i = 0; i < rows[r].size(); ++i)
            line += u' ' + rows[r][i].leftJustified(width[i]) + QStringLiteral(" |");
        std::printf("%s\n", line.toUtf8().constData());
        if (r == 0) {
            QString rule = QStringLiteral("|");
            for (int w : width)
                rule += QString(w + 2, u'-') + u'|';
            std::printf("%s\n", rule.toUtf8().constData());
        }
    }
}

constexpr double kGrowthTarget = 1.5;

} // namespace

int printTable(const QString& resultsPath, const QString& heading)
{
    const QVector<Result> results = readResults(resultsPath);
    int missed = 0;
    std::printf("\n%s\n\n", heading.toUtf8().constData());
    QVector<QStringList> rows{{QStringLiteral("measure"), QStringLiteral("this program (min / median)"),
                               QStringLiteral("reference (min / median)"), QStringLiteral("ratio (min / median)"),
                               QStringLiteral("target"), QStringLiteral("round trips")}};
    for (const Result& r : results) {
        if (!r.note.isEmpty()) {
            rows << QStringList{r.fullName(), r.note, QString(), QString(), QString(), QString()};
            ++missed;
            continue;
        }
        const double pm = minimum(r.program), pd = median(r.program);
        QString reference = QStringLiteral("—"), ratio = QStringLiteral("—"), target;
        if (!r.referenceSamples.isEmpty()) {
            const double rm = minimum(r.referenceSamples), rd = median(r.referenceSamples);
            reference = pair(rm, rd) + QStringLiteral(" (") + r.reference + u')';
            ratio = ratioText(pm / rm) + QStringLiteral(" / ") + ratioText(pd / rd);
            if (r.target > 0) {
                const bool met = pd / rd <= r.target;
                target = QStringLiteral("≤ %1× %2").arg(r.target).arg(met ? QStringLiteral("met") : QStringLiteral("MISSED"));
                if (!met)
                    ++missed;
            }
        }
        QString trips;
        if (r.programTrips >= 0)
            trips = QString::number(r.programTrips)
                + (r.referenceTrips >= 0 ? QStringLiteral(" / ") + QString::number(r.referenceTrips) : QString());
        rows << QStringList{r.fullName(), pair(pm, pd), reference, ratio, target, trips};
    }
    printRows(rows);
    std::printf("\nTargets are checked on the medians. Round trips: one run of the program / of the reference.\n");
    return missed;
}

int printGrowth(const QString& smallPath, const QString& smallHeading, const QString& largePath,
                const QString& largeHeading)
{
    const QVector<Result> small = readResults(smallPath);
    const QVector<Result> large = readResults(largePath);
    QMap<QString, Result> byName;
    for (const Result& r : small)
        byName.insert(r.fullName(), r);
    std::printf("\nGrowth from %s\n          to %s\n(medians of this program; per row: the growth divided by the "
                "growth of the rows that one run reads or writes)\n\n",
                smallHeading.toUtf8().constData(), largeHeading.toUtf8().constData());
    int missed = 0;
    QVector<QStringList> rows{{QStringLiteral("measure"), QStringLiteral("smaller"), QStringLiteral("larger"),
                               QStringLiteral("growth"), QStringLiteral("rows"), QStringLiteral("growth per row"),
                               QStringLiteral("target")}};
    for (const Result& r : large) {
        const auto o = byName.constFind(r.fullName());
        if (!r.note.isEmpty() || o == byName.constEnd() || !o->note.isEmpty())
            continue;
        const double g = median(r.program) / median(o->program);
        const double rowsGrowth = std::max(1.0, r.rows) / std::max(1.0, o->rows);
        const double perRow = g / std::max(1.0, rowsGrowth);
        const bool met = perRow <= kGrowthTarget;
        if (!met)
            ++missed;
        rows << QStringList{r.fullName(),
                            ms(median(o->program)) + QStringLiteral(" ms"),
                            ms(median(r.program)) + QStringLiteral(" ms"),
                            ratioText(g) + u'×',
                            QStringLiteral("%1 → %2").arg(o->rows).arg(r.rows),
                            ratioText(perRow) + u'×',
                            QStringLiteral("≤ %1× %2").arg(kGrowthTarget).arg(met ? QStringLiteral("met") : QStringLiteral("MISSED"))};
    }
    printRows(rows);
    return missed;
}

} // namespace bench
