#include "timesheet_cell.h"

#include "database.h"

namespace {

// Where a row's day cell takes its hours from and how the row is named.
struct CellSource {
    QString hours;       // the day's total, a select of one value named "hours"
    QString rowKey;      // the condition naming the row in accounts_dep.h_tabel
    QString keyColumns;  // the key's columns and their parameters, for a new row
    QString keyValues;
};

Outcome setDayCell(Database& db, const CellSource& source, Params params, const QDate& date, bool createRow)
{
    // The day's column is the only name in the statement that is not a parameter: d1 … d31.
    const QString day = QStringLiteral("d%1").arg(date.day());
    // Without a row to create (a delete) the statement has no insert to plan.
    const QString created =
        createRow ? QStringLiteral(", created as ("
                                   "  insert into accounts_dep.h_tabel(%3, month, year, %1)"
                                   "  select %4, :month, :year, hours from total"
                                   "   where :create and hours <= 2147483647 and not exists ("
                                   "     select 1 from accounts_dep.h_tabel where %2 and month=:month and year=:year)"
                                   "  returning id)")
                        .arg(day, source.rowKey, source.keyColumns, source.keyValues)
                  : QString();
    const QString statement = QStringLiteral(
                                  "with total as (%2),"
                                  " stored as ("
                                  "  update accounts_dep.h_tabel set %1=(select hours from total)"
                                  "   where %3 and month=:month and year=:year"
                                  "     and (select hours from total) <= 2147483647"
                                  "  returning id)%4"
                                  " select hours from total")
                                  .arg(day, source.hours, source.rowKey, created);
    const Params cell{{QStringLiteral("data"), date},
                      {QStringLiteral("month"), date.month()},
                      {QStringLiteral("year"), date.year()},
                      {QStringLiteral("create"), createRow}};
    params += cell;
    const qlonglong hours = db.scalar(statement, params).toLongLong();
    if (hours > 2147483647)
        return Outcome::refused(
            QStringLiteral("Часы за %1 (%2) не помещаются в табель.").arg(date.toString(QStringLiteral("dd.MM.yyyy"))).arg(hours));
    return Outcome::done();
}

} // namespace

Outcome updateDayCell(Database& db, int workerId, int shiftNo, const QDate& date, bool createRow)
{
    static const CellSource register_{
        QStringLiteral("select coalesce(sum(time::bigint), 0) as hours from accounts_dep.smena"
                       " where w_id=:w_id and smena=:smena and data=:data"),
        QStringLiteral("w_id=:w_id and smena=:smena"), QStringLiteral("smena, w_id"), QStringLiteral(":smena, :w_id")};
    return setDayCell(db, register_, {{QStringLiteral("w_id"), workerId}, {QStringLiteral("smena"), shiftNo}}, date,
                      createRow);
}

Outcome updateWorksDayCell(Database& db, int workerId, int kind, int night, const QDate& date, bool createRow)
{
    static const CellSource works{
        QStringLiteral("select coalesce(sum(cnt::bigint), 0) as hours from accounts_dep.fatigue"
                       " where id_p=:w_id and id_o=:kind and i_night=:night and d_date=:data"),
        QStringLiteral("w_id=:w_id and smena=0 and i_type=:kind and i_night=:night"),
        QStringLiteral("smena, i_type, i_night, w_id"), QStringLiteral("0, :kind, :night, :w_id")};
    return setDayCell(db, works,
                      {{QStringLiteral("w_id"), workerId}, {QStringLiteral("kind"), kind}, {QStringLiteral("night"), night}},
                      date, createRow);
}
