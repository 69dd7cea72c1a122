#include "timesheet_cell.h"

#include "database.h"

Outcome updateDayCell(Database& db, int workerId, int shiftNo, const QDate& date, bool createRow)
{
    // The day's column is the only name in the statement that is not a parameter: d1 … d31.
    const QString day = QStringLiteral("d%1").arg(date.day());
    const QString statement = QStringLiteral(
        "with total as ("
        "  select coalesce(sum(time::bigint), 0) as hours from accounts_dep.smena"
        "   where w_id=:w_id and smena=:smena and data=:data),"
        " stored as ("
        "  update accounts_dep.h_tabel set %1=(select hours from total)"
        "   where w_id=:w_id and smena=:smena and month=:month and year=:year"
        "     and (select hours from total) <= 2147483647"
        "  returning id),"
        " created as ("
        "  insert into accounts_dep.h_tabel(smena, w_id, month, year, %1)"
        "  select :smena, :w_id, :month, :year, hours from total"
        "   where :create and hours <= 2147483647 and not exists ("
        "     select 1 from accounts_dep.h_tabel where w_id=:w_id and smena=:smena and month=:month and year=:year)"
        "  returning id)"
        " select hours from total")
                                  .arg(day);
    const qlonglong hours = db.scalar(statement, {{QStringLiteral("w_id"), workerId},
                                                  {QStringLiteral("smena"), shiftNo},
                                                  {QStringLiteral("data"), date},
                                                  {QStringLiteral("month"), date.month()},
                                                  {QStringLiteral("year"), date.year()},
                                                  {QStringLiteral("create"), createRow}})
                                .toLongLong();
    if (hours > 2147483647)
        return Outcome::refused(
            QStringLiteral("Часы за %1 (%2) не помещаются в табель.").arg(date.toString(QStringLiteral("dd.MM.yyyy"))).arg(hours));
    return Outcome::done();
}
