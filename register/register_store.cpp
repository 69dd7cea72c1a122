#include "register_store.h"

#include "data_module.h"
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
    dm_.ADO_DB.execute(QStringLiteral("update accounts_dep.smena set ok=:ok where id=:id"),
                       {{QStringLiteral("ok"), mark}, {QStringLiteral("id"), entryId}});
}

void RegisterStore::deleteEntry(int entryId, int workerId, int shiftNo, const QDate& date)
{
    Database& db = dm_.ADO_DB;
    Transaction tx(db);
    // Every writer of this timesheet row takes the same lock, so the cell is computed from
    // the register as it stands when it is written.
    db.lockKey(lock_keys::timesheetRow(workerId, shiftNo, date.month(), date.year()));
    dm_.DelSmena.setSql(QStringLiteral("delete from accounts_dep.smena where id=%1").arg(entryId));
    dm_.DelSmena.execute();
    updateDayCell(dm_, workerId, shiftNo, date, false);
    tx.commit();
}
