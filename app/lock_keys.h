#pragma once
// Keys of the advisory locks (Database::lockKey) that every writer of the same rows takes, so
// that copies of the program writing at the same moment are serialised. Every key is built
// here, so two writers of one thing cannot spell its key differently.
#include <QDate>
#include <QString>

namespace lock_keys {

// One monthly timesheet row: worker, shift (0 for works), month, year.
inline QString timesheetRow(int workerId, int shiftNo, int month, int year)
{
    return QStringLiteral("h_tabel:%1:%2:%3:%4").arg(workerId).arg(shiftNo).arg(month).arg(year);
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
