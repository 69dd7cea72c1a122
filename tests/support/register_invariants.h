#pragma once
// Checks of the register's data that every writer must keep, in SQL: used by the tests and by
// the multi-client stress run.
#include <QString>

namespace invariants {

// Day cells of the shift rows (smena 1..4) that differ from the hours of their day in the
// register (a missing row or cell counts as 0 hours): the count of such cells.
inline QString cellsOffRegister()
{
    QStringList days;
    for (int d = 1; d <= 31; ++d)
        days << QStringLiteral("h.d%1").arg(d);
    return QStringLiteral(
               "with cells as ("
               "  select h.w_id, h.smena, make_date(h.year, h.month, d.day) as data,"
               "         coalesce((array[%1])[d.day], 0)::bigint as hours"
               "    from accounts_dep.h_tabel h cross join generate_series(1, 31) d(day)"
               "   where h.smena between 1 and 4"
               "     and d.day <= extract(day from make_date(h.year, h.month, 1) + interval '1 month - 1 day')),"
               " sums as (select w_id, smena, data, sum(time)::bigint as hours from accounts_dep.smena"
               "           where smena between 1 and 4 group by w_id, smena, data)"
               " select count(*) from cells c full join sums s using (w_id, smena, data)"
               "  where coalesce(c.hours, 0) <> coalesce(s.hours, 0)")
        .arg(days.join(QStringLiteral(", ")));
}

// Entries that share a key (worker, operation, product, date, shift, colour) with another one.
inline QString duplicateEntries()
{
    return QStringLiteral("select coalesce(sum(n - 1), 0) from (select count(*) as n from accounts_dep.smena "
                          "group by w_id, o_id, i_id, data, smena, color having count(*) > 1) d");
}

// Timesheet rows beyond the first of one key.
inline QString duplicateTimesheetRows()
{
    return QStringLiteral("select coalesce(sum(n - 1), 0) from (select count(*) as n from accounts_dep.h_tabel "
                          "group by w_id, year, month, smena, i_type, i_night having count(*) > 1) d");
}

} // namespace invariants
