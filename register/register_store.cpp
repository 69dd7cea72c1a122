#include "register_store.h"

#include "database.h"
#include "entry_store.h"
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

Outcome RegisterStore::deleteEntry(const Row& shown)
{
    const int id = shown[QStringLiteral("id")].asInteger();
    Transaction tx(db_);
    // Deleted first, then compared: a row that is not what the list showed is back when the
    // transaction rolls back. The delete locks the row before any advisory lock is taken.
    const std::optional<Row> stored = firstRow(
        db_,
        QStringLiteral("delete from accounts_dep.smena where id=:id returning %1").arg(entryFields().join(QStringLiteral(", "))),
        {{QStringLiteral("id"), id}});
    if (!stored || !stored->sameAs(shown, entryFields()))
        return Outcome::changedMeanwhile(kEntryChangedMeanwhile);
    const int worker = (*stored)[QStringLiteral("w_id")].asInteger();
    const int shift = (*stored)[QStringLiteral("smena")].asInteger();
    const QDate date = (*stored)[QStringLiteral("data")].asDate();
    // Every writer of this timesheet row takes the same lock, so the cell is computed from
    // the register as it stands when it is written; the month's lock keeps a rebuild out.
    db_.lockKeys(lock_keys::timesheetMonths({date}), {lock_keys::timesheetRow(worker, shift, date.month(), date.year())});
    if (Outcome cell = updateDayCell(db_, worker, shift, date, false); !cell)
        return cell;
    tx.commit();
    return Outcome::done();
}
