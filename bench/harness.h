#pragma once
// The benchmark harness. A measure times this program against its reference: both sides run
// the same number of times, alternately (program first on even runs, reference first on odd
// ones), after one untimed warm-up each, so that a noisy machine hits both alike. Results go to
// a results file, one line per measure, which `tabel_bench table` prints as one table.
//
// A whole program that is a benchmark of its own (an entry of scripts/bench.sh's list) links
// this library too: it builds its measures the same way, runs them with a Runner made by
// Runner::fromEnvironment() and so writes the same lines to the same file.
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class Database;

namespace bench {

struct Measure {
    QString group;      // "register"
    QString name;       // "date change (four shift lists)"
    QString limit;      // what the reference side is, for the table
    // The program's limit as a multiple of the reference (0: none), and how the run's work is
    // counted for the growth check (rows read or written; 1 for a fixed piece of work).
    double target = 0;
    double rows = 1;
    int runs = 15;
    std::function<void()> setup;
    // Called after setup: empty when the two sides give equal results, else what differs (the
    // measure is then reported and not timed).
    std::function<QString()> check;
    std::function<void(int run)> program;
    std::function<void(int run)> reference;  // empty: no reference
    std::function<void()> teardown;
    // Round trips to the server are counted on this connection for one run of each side.
    Database* traced = nullptr;
};

struct Result {
    QString group, name, reference, note;
    double target = 0;
    double rows = 1;
    int programTrips = -1, referenceTrips = -1;
    QVector<double> program, referenceSamples;  // milliseconds

    QString fullName() const { return group + QStringLiteral(": ") + name; }
    QString toLine() const;
    static bool fromLine(const QString& line, Result& out);
};

double minimum(const QVector<double>& samples);
double median(QVector<double> samples);

class Runner {
public:
    // `filter` is matched (case-insensitive) against "group: name"; empty runs every measure.
    Runner(const QString& filter, QString resultsPath);
    // The filter and the results file that scripts/bench.sh gives every benchmark program
    // (TABEL_BENCH_FILTER, TABEL_BENCH_RESULTS).
    static Runner fromEnvironment();

    bool wanted(const QString& group, const QString& name) const;
    // Runs the measure when the filter wants it and appends its result. A failing side (an
    // exception) is reported as the measure's note. The measure's setup and check may still
    // fill in its rows and its traced connection.
    void run(Measure& m);

private:
    void append(const Result& r);

    QRegularExpression filter_;
    bool everything_ = true;
    QString resultsPath_;
};

// Ends the timed part of the side that is running now (the rest of it, such as closing a window
// or waiting for a process to end, is not counted). Without a call the whole side is timed.
void stopClock();

// Counts the round trips to the server on a connection (the frontend's Query and Sync
// messages, read from libpq's protocol trace) while it lives.
class RoundTrips {
public:
    explicit RoundTrips(Database& db);
    ~RoundTrips();
    int stop();

private:
    void* conn_ = nullptr;
    FILE* trace_ = nullptr;
    int count_ = -1;
};

// The table of a results file. Returns the number of targets missed.
int printTable(const QString& resultsPath, const QString& heading);
// How each figure of this program grew from the smaller size's results to the larger one's, as
// it is and per row of the work one run does. Returns the number of targets missed.
int printGrowth(const QString& smallPath, const QString& smallHeading, const QString& largePath,
                const QString& largeHeading);

} // namespace bench
