#include "register_store.h"

#include "data_module.h"
#include "lock_keys.h"
#include "sql_text.h"

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

int RegisterStore::dayHours(int workerId, int shiftNo, const QDate& date)
{
    Dataset& control = dm_.Control;
    control.close();
    control.setSql(QStringLiteral("select sum(time) as tim from accounts_dep.smena where w_id=%1 and smena=%2 and "
                                  "data=%3 group by w_id, smena, data")
                       .arg(workerId)
                       .arg(shiftNo)
                       .arg(sql::date(date)));
    control.open();
    const int hours = control.field(QStringLiteral("tim")).asInteger();
    control.close();
    return hours;
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
    const int hours = dayHours(workerId, shiftNo, date);
    dm_.H_Tabel_ins.setSql(QStringLiteral("update accounts_dep.h_tabel set d%1=%2 where w_id=%3 and smena=%4 and "
                                          "month=%5 and year=%6")
                               .arg(date.day())
                               .arg(hours)
                               .arg(workerId)
                               .arg(shiftNo)
                               .arg(date.month())
                               .arg(date.year()));
    dm_.H_Tabel_ins.execute();
    tx.commit();
}
