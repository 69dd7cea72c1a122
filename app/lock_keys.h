#pragma once
// Keys of the advisory locks (Database::lockKey) that every writer of the same rows takes, so
// that copies of the program writing at the same moment are serialised. Every key is built
// here, so two writers of one thing cannot spell its key differently.
//
// One lock order everywhere, so that no two commands wait for each other in a cycle:
//   1. the row lock of the stored record the command acts on ("select … for update" by id);
//   2. the months of the monthly table whose cells it writes (timesheetMonth, sorted): shared
//      by a command that writes day cells, exclusive by a month rebuild;
//   3. the record's duplicate key (entry, operation, norms, uniqueName);
//   4. the monthly timesheet rows whose cells it writes (timesheetRow, sorted).
// The keys of steps 2 to 4 are taken in one Database::lockKeys call.
#include <QDate>
#include <QString>
#include <QStringList>

namespace lock_keys {

// One month of the monthly table. A month rebuild holds it exclusively while it deletes and
// inserts the month's rows; every writer of a day cell of the month holds it shared, so cell
// writes never interleave with a rebuild but not with each other.
inline QString timesheetMonth(int month, int year)
{
    return QStringLiteral("h_tabel_month:%1:%2").arg(month).arg(year);
}

// The month keys of the given dates, sorted and without repeats (the order of step 2).
inline QStringList timesheetMonths(const QList<QDate>& dates)
{
    QStringList keys;
    for (const QDate& d : dates)
        keys << timesheetMonth(d.month(), d.year());
    keys.sort();
    keys.removeDuplicates();
    return keys;
}

// One monthly timesheet row: worker, shift (0 for works), month, year.
inline QString timesheetRow(int workerId, int shiftNo, int month, int year)
{
    return QStringLiteral("h_tabel:%1:%2:%3:%4").arg(workerId).arg(shiftNo).arg(month).arg(year);
}

// The two keys above spelled in SQL over a statement's own columns or expressions (`date` a
// date), for a statement that takes the locks of a row it has just written itself: the same text
// as the keys above make, so both lock the same thing.
inline QString timesheetMonthSql(const QString& date)
{
    return QStringLiteral("'h_tabel_month:' || coalesce(extract(month from %1)::int, 0) || ':' || "
                          "coalesce(extract(year from %1)::int, 0)")
        .arg(date);
}
inline QString timesheetRowSql(const QString& worker, const QString& shift, const QString& date)
{
    return QStringLiteral("'h_tabel:' || coalesce(%1, 0) || ':' || coalesce(%2, 0) || ':' || "
                          "coalesce(extract(month from %3)::int, 0) || ':' || coalesce(extract(year from %3)::int, 0)")
        .arg(worker, shift, date);
}

// The duplicate key of a register entry.
inline QString entry(int workerId, int operationId, int productId, const QDate& date, int shiftNo, int colour)
{
    return QStringLiteral("smena:%1:%2:%3:%4:%5:%6")
        .arg(workerId)
        .arg(operationId)
        .arg(productId)
        .arg(date.toString(Qt::ISODate))
        .arg(shiftNo)
        .arg(colour);
}

// The duplicate key of an operation: kind, product kind, product.
inline QString operation(int kindId, int naimen, int productId)
{
    return QStringLiteral("oper:%1:%2:%3").arg(kindId).arg(naimen).arg(productId);
}

// The norm rows of one operation (its last row is never deleted).
inline QString norms(int operationId) { return QStringLiteral("norm:%1").arg(operationId); }

// A name unique without regard to letter case in one table ("izdel", "vid_oper").
inline QString uniqueName(const QString& table, const QString& name)
{
    return table + u':' + name.toUpper();
}

} // namespace lock_keys
