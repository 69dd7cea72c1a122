#include "register_store.h"

#include "database.h"
#include "lock_keys.h"
#include "timesheet_cell.h"

bool RegisterStore::isAccepted(const QString& mark)
{
    const QString m = mark.trimmed();
    return m == QLatin1String("ok") || m == QStringLiteral("да");
}

QString RegisterStore::toggledMark(const QString& mark)
{
    return isAccepted(mark) ? QStringLiteral("no") : QStringLiteral("ok");
}

void RegisterStore::setMark(int entryId, const QString& mark)
{
    db_.execute(QStringLiteral("update accounts_dep.smena set ok=:ok where id=:id"),
                {{QStringLiteral("ok"), mark}, {QStringLiteral("id"), entryId}});
}

void RegisterStore::deleteEntry(int entryId, int workerId, int shiftNo, const QDate& date)
{
    Transaction tx(db_);
    // Every writer of this timesheet row takes the same lock, so the cell is computed from
    // the register as it stands when it is written.
    db_.lockKey(lock_keys::timesheetRow(workerId, shiftNo, date.month(), date.year()));
    db_.execute(QStringLiteral("delete from accounts_dep.smena where id=:id"), {{QStringLiteral("id"), entryId}});
    updateDayCell(db_, workerId, shiftNo, date, false);
    tx.commit();
}
