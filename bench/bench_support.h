#pragma once
// What the in-process suites share: the program's windows on the benchmark database, waiting
// for a window's paint, and reading a statement's rows as the floor of a list.
#include "database.h"
#include "dataset.h"
#include "harness.h"
#include "timesheet_month.h"

#include <QObject>
#include <QStringList>
#include <memory>

class QWidget;
enum class MonthRows;
class DataModule;
class Windows;

namespace bench {

class Context {
public:
    Context(Runner& runner, QStringList arguments, QString programPath, QString bareDialogPath);
    ~Context();

    Runner& runner;
    const QStringList arguments;  // the program's command line: database, server
    const QString programPath;    // the program (build/main/tabel)
    const QString bareDialogPath; // the floor of the start-up

    // The program's windows and data module, created once as the program creates them, and
    // the shift lists' mark set as the login sets it.
    Windows& windows();
    DataModule& dm();

private:
    std::unique_ptr<Windows> windows_;
};

// Runs `action` and then processes events until the widget has been painted (at most 10 s;
// throws when it was not).
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget);
    ~PaintWatch() override;
    void wait();
    bool painted() const { return painted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* widget_;
    bool painted_ = false;
};

// Runs the statement and converts every value of every row as a dataset does; the number of rows.
int fetchAll(Database& db, const QString& statement, const Params& params = {},
             QSql::NumericalPrecisionPolicy precision = QSql::LowPrecisionDouble);
// The same for the statement of a dataset with its parameters and precision (the dataset is not
// opened).
int fetchAll(Database& db, const Dataset& dataset);

// The newest workbook in the export folder (the one an export has just written).
QString newestExport();

// One cell of each worker's first piece-work row of the month set to 99 hours: the month's check
// then lists one difference per worker; its repair puts the month back. The cells damaged.
int damageOneCellPerWorker(Database& db, TimesheetMonth month);

// "Проверить" of the month in the timesheet window, until its list of differences is painted
// (the clock stops there).
void checkInWindow(Context& c, TimesheetMonth month);

// The suites, each in a file of its own.
void startSuite(Context& context);
void registerSuite(Context& context);
void listsSuite(Context& context);
void byShiftSuite(Context& context);
void timesheetsSuite(Context& context);
void commandsSuite(Context& context);
void reportsSuite(Context& context);
void historySuite(Context& context);
void statementsSuite(Context& context);

// The month rebuild of a family of the monthly table, timed against the day-by-day rebuild (the
// rows checked equal first) and against its two statements alone.
void measureMonthRebuild(Context& context, MonthRows rows, const QString& group);

} // namespace bench
