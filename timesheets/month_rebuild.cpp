#include "month_rebuild.h"

#include "lock_keys.h"

#include <QStringList>

namespace {

// "d1, d2, … d31" and the sums of the source's hours of each day of the month.
QString dayColumns()
{
    QStringList days;
    for (int k = 1; k <= 31; ++k)
        days << QStringLiteral("d%1").arg(k);
    return days.join(QStringLiteral(", "));
}

// The day cells of the month's rows: the source's hours summed per key and day first (one
// day number per record), then spread over d1..d31 per key, which costs a fraction of summing
// every record into 31 filtered sums.
QString daySums()
{
    QStringList sums;
    for (int k = 1; k <= 31; ++k)
        sums << QStringLiteral("sum(x.hours) filter (where x.day=%1)").arg(k);
    return sums.join(QStringLiteral(",\n "));
}

// The insert of the month's rows: `keys` the key columns of the monthly table, `source` their
// expressions over the source `from` (a table aliased with its filter), `hours` and `date` its
// hours and date columns.
QString insertStatement(const QString& keys, const QString& source, const QString& from, const QString& hours,
                        const QString& date)
{
    QStringList positions;  // the keys and the day, by their places in the inner select list
    for (int i = 1; i <= keys.count(u',') + 2; ++i)
        positions << QString::number(i);
    return QStringLiteral("insert into accounts_dep.h_tabel(%1, month, year, %2)\n"
                          "select %1, :month, :year,\n %3\n"
                          "from (select %4, extract(day from %5)::integer as day, sum(%6) as hours\n"
                          "      from %7\n"
                          "      group by %8) x\n"
                          "group by %1")
        .arg(keys, dayColumns(), daySums(), source, date, hours, from, positions.join(QStringLiteral(", ")));
}

// A large plant's month of register records (200,000 and more) does not sort within the
// server's default working memory; a sort that spills to disk grows faster than the month.
const QString kSortMemory = QStringLiteral("select set_config('work_mem', '32MB', true)");

RebuildStatements works()
{
    return {kSortMemory, QStringLiteral("delete from accounts_dep.h_tabel where smena=0 and month=:month and year=:year"),
            insertStatement(QStringLiteral("i_type, w_id, i_night"), QStringLiteral("f.id_o as i_type, f.id_p as w_id, f.i_night"),
                            QStringLiteral("accounts_dep.fatigue f where f.d_date>=:first and f.d_date<:next"),
                            QStringLiteral("f.cnt"), QStringLiteral("f.d_date"))};
}

RebuildStatements pieceWork()
{
    // Register entries of no shift (0 or none) belong to no piece-work row.
    return {kSortMemory, QStringLiteral("delete from accounts_dep.h_tabel where smena>0 and month=:month and year=:year"),
            insertStatement(QStringLiteral("smena, w_id"), QStringLiteral("s.smena, s.w_id"),
                            QStringLiteral("accounts_dep.smena s where s.data>=:first and s.data<:next and s.smena>0"),
                            QStringLiteral("s.time"), QStringLiteral("s.data"))};
}

} // namespace

const RebuildStatements& rebuildStatements(MonthRows rows)
{
    static const RebuildStatements worksRows = works();
    static const RebuildStatements pieceWorkRows = pieceWork();
    return rows == MonthRows::Works ? worksRows : pieceWorkRows;
}

Params rebuildParams(TimesheetMonth month)
{
    return {{QStringLiteral("month"), month.month},
            {QStringLiteral("year"), month.year},
            {QStringLiteral("first"), month.first()},
            {QStringLiteral("next"), month.next()}};
}

Outcome rebuildMonth(Database& db, MonthRows rows, TimesheetMonth month)
{
    if (Outcome allowed = db.permits(Command::RebuildTimesheet); !allowed)
        return allowed;
    const RebuildStatements& statements = rebuildStatements(rows);
    const Params params = rebuildParams(month);
    Transaction tx(db);
    db.lockKey(lock_keys::timesheetMonth(month.month, month.year));
    db.exec(statements.memory);
    db.execute(statements.remove, params);
    db.execute(statements.insert, params);
    tx.commit();
    return Outcome::done();
}
