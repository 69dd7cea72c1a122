#pragma once
// What the benchmarks know of the generated data (bench/generator.sql, loaded by
// scripts/bench.sh), and how a benchmark asks the generator for more register days.
#include <QDate>
#include <QString>

class Database;

namespace bench::data {

// The size the database was generated with ("plant", "large") and its parameters.
struct Size {
    QString name;
    int workers = 0;
    int persons = 0;
    int years = 0;
};
Size current(Database& db);

// The last day of the generated history (the history reaches back the size's years from it).
QDate historyEnd();
// A month that every worker of the size has worked in full ("one month of 400 workers" at the
// plant size): the history's last month. Its first day; the month runs to the next first day.
QDate fullMonth();
// Two working days of the history's last full week, for measures that alternate dates.
QDate workingDay(int which);

// Register days added on top of the data (entries, works and their timesheet cells, as the
// history has them); days that have entries already are left as they are. Returns the number
// of days added. addMonth gives a month of every worker to a database that has the reference
// data only (bench.setup) as well.
int addDays(Database& db, const QDate& from, const QDate& to);
int addMonth(Database& db, int year, int month);

// The generator's source, for a benchmark that builds a database of its own.
QString generatorPath();

} // namespace bench::data
