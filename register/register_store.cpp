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

Outcome RegisterStore::toggleAcceptance(const Row& shown)
{
    if (Outcome allowed = db_.permits(Command::AcceptEntry); !allowed)
        return allowed;
    Transaction tx(db_);
    const std::optional<Row> stored = lockShownEntry(db_, shown);
    if (!stored)
        return Outcome::changedMeanwhile(kEntryChangedMeanwhile);
    Change change = entryChange(ChangeAction::Accept, (*stored)[QStringLiteral("data")].asDate(),
                                (*stored)[QStringLiteral("smena")].asInteger(), (*stored)[QStringLiteral("w_id")].asInteger());
    const Write write{
        .rows = rowWrite::updateById(QStringLiteral("accounts_dep.smena"), QStringLiteral("ok=:ok")),
        .params = {{QStringLiteral("ok"), toggledMark((*stored)[QStringLiteral("ok")].asString())},
                   {QStringLiteral("id"), shown[QStringLiteral("id")].asInteger()}}};
    if (Outcome applied = applyChange(db_, change, write); !applied)
        return applied;
    tx.commit();
    return Outcome::done();
}

Outcome RegisterStore::deleteEntry(const Row& shown)
{
    if (Outcome allowed = db_.permits(Command::DeleteEntry); !allowed)
        return allowed;
    const int id = shown[QStringLiteral("id")].asInteger();
    Transaction tx(db_);
    // Deleted first, then compared: a row that is not what the list showed is back when the
    // transaction rolls back. The delete locks the row; the same statement then takes the
    // month's lock (shared: it keeps a rebuild out) and the timesheet row's lock, which every
    // writer of the row takes, so the cell below is computed from the register as it stands.
    const QString fields = entryFields().join(QStringLiteral(", "));
    // The entry as the list showed it: nothing is deleted when it is stored otherwise.
    Change change = entryChange(ChangeAction::Delete, shown[QStringLiteral("data")].asDate(),
                                shown[QStringLiteral("smena")].asInteger(), shown[QStringLiteral("w_id")].asInteger());
    const Write write{
        .rows = QStringLiteral("delete from accounts_dep.smena t where id=:id returning %1, %2")
                    .arg(fields, rowWrite::deleted(QStringLiteral("t"))),
        .params = {{QStringLiteral("id"), id}},
        .readBack = fields,
        .then = Database::lockCall(lock_keys::timesheetMonthSql(QStringLiteral("data")), true) + QStringLiteral(", ")
                + Database::lockCall(lock_keys::timesheetRowSql(QStringLiteral("w_id"), QStringLiteral("smena"),
                                                                QStringLiteral("data")))};
    QVector<Row> gone;
    if (Outcome applied = applyChange(db_, change, write, &gone); !applied)
        return applied;
    if (gone.isEmpty() || !gone.first().sameAs(shown, entryFields()))
        return Outcome::changedMeanwhile(kEntryChangedMeanwhile);
    const Row& stored = gone.first();
    const int worker = stored[QStringLiteral("w_id")].asInteger();
    const int shift = stored[QStringLiteral("smena")].asInteger();
    const QDate date = stored[QStringLiteral("data")].asDate();
    if (Outcome cell = updateDayCell(db_, worker, shift, date, false); !cell)
        return cell;
    tx.commit();
    return Outcome::done();
}
