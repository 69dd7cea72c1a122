#include "bench_data.h"

#include "database.h"

#include <QSqlQuery>

namespace bench::data {

Size current(Database& db)
{
    QSqlQuery q = db.exec(QStringLiteral("select s.name, s.workers, s.persons, s.years from bench.size s "
                                         "join bench.current c on c.name = s.name"));
    Size s;
    if (q.next()) {
        s.name = q.value(0).toString();
        s.workers = q.value(1).toInt();
        s.persons = q.value(2).toInt();
        s.years = q.value(3).toInt();
    }
    return s;
}

QDate historyEnd() { return QDate(2026, 11, 30); }

QDate fullMonth() { return QDate(historyEnd().year(), historyEnd().month(), 1); }

QDate workingDay(int which)
{
    // The Wednesday and Thursday before the history's last Saturday.
    QDate d = historyEnd();
    while (d.dayOfWeek() != 6)
        d = d.addDays(-1);
    return d.addDays(which % 2 == 0 ? -3 : -2);
}

int addDays(Database& db, const QDate& from, const QDate& to)
{
    return db.scalar(QStringLiteral("select bench.add_days(:from, :to)"),
                     {{QStringLiteral("from"), from}, {QStringLiteral("to"), to}})
        .toInt();
}

int addMonth(Database& db, int year, int month)
{
    const QDate first(year, month, 1);
    return addDays(db, first, first.addMonths(1).addDays(-1));
}

QString generatorPath() { return QStringLiteral(TABEL_SOURCE_DIR "/bench/generator.sql"); }

} // namespace bench::data
