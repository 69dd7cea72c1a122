#include "timesheet_cell.h"

#include "database.h"

void updateDayCell(Database& db, int workerId, int shiftNo, const QDate& date, bool createRow)
{
    const Params row{{QStringLiteral("w_id"), workerId},
                     {QStringLiteral("smena"), shiftNo},
                     {QStringLiteral("month"), date.month()},
                     {QStringLiteral("year"), date.year()}};
    const QString rowCondition = QStringLiteral("w_id=:w_id and smena=:smena and month=:month and year=:year");
    const int rows = db.scalar(QStringLiteral("select count(w_id) from accounts_dep.h_tabel where ") + rowCondition, row)
                         .toInt();
    if (rows == 0 && !createRow)
        return;
    const int hours = db.scalar(QStringLiteral("select coalesce(sum(time), 0) from accounts_dep.smena "
                                               "where w_id=:w_id and smena=:smena and data=:data"),
                                {{QStringLiteral("w_id"), workerId},
                                 {QStringLiteral("smena"), shiftNo},
                                 {QStringLiteral("data"), date}})
                          .toInt();
    // The day's column is the only name in the statement that is not a parameter: d1 … d31.
    const QString day = QStringLiteral("d%1").arg(date.day());
    Params values = row;
    values.push_back({QStringLiteral("hours"), hours});
    if (rows != 0)
        db.execute(QStringLiteral("update accounts_dep.h_tabel set %1=:hours where ").arg(day) + rowCondition, values);
    else
        db.execute(QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, %1) "
                                  "values(:smena, :w_id, :month, :year, :hours)")
                       .arg(day),
                   values);
}
