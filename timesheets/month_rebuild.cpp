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

QString daySums(const QString& hours, const QString& date)
{
    QStringList sums;
    for (int k = 1; k <= 31; ++k)
        sums << QStringLiteral("sum(%1) filter (where extract(day from %2)=%3)").arg(hours, date).arg(k);
    return sums.join(QStringLiteral(",\n "));
}

RebuildStatements works()
{
    return {QStringLiteral("delete from accounts_dep.h_tabel where smena=0 and month=:month and year=:year"),
            QStringLiteral("insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, %1)\n"
                           "select f.id_o, f.id_p, f.i_night, :month, :year,\n %2\n"
                           "from accounts_dep.fatigue f where f.d_date>=:first and f.d_date<:next\n"
                           "group by f.id_p, f.id_o, f.i_night")
                .arg(dayColumns(), daySums(QStringLiteral("f.cnt"), QStringLiteral("f.d_date")))};
}

RebuildStatements pieceWork()
{
    // Register entries of no shift (0 or none) belong to no piece-work row.
    return {QStringLiteral("delete from accounts_dep.h_tabel where smena>0 and month=:month and year=:year"),
            QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, %1)\n"
                           "select s.smena, s.w_id, :month, :year,\n %2\n"
                           "from accounts_dep.smena s where s.data>=:first and s.data<:next and s.smena>0\n"
                           "group by s.smena, s.w_id")
                .arg(dayColumns(), daySums(QStringLiteral("s.time"), QStringLiteral("s.data")))};
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

void rebuildMonth(Database& db, MonthRows rows, TimesheetMonth month)
{
    const RebuildStatements& statements = rebuildStatements(rows);
    const Params params = rebuildParams(month);
    Transaction tx(db);
    db.lockKey(lock_keys::timesheetMonth(month.month, month.year));
    db.execute(statements.remove, params);
    db.execute(statements.insert, params);
    tx.commit();
}
