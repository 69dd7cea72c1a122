#include "entry_store.h"

#include "data_module.h"
#include "lock_keys.h"
#include "timesheet_cell.h"

#include <QStringList>

namespace {

const QString kDuplicate = QStringLiteral("Позиция с такими параметрами уже заведена!");

// The columns an add or a change writes, each bound as the parameter of its name. A change
// leaves the acceptance mark alone; an add starts it at "no".
Params columnValues(const EntryValues& e)
{
    return {{QStringLiteral("w_id"), e.workerId},
            {QStringLiteral("i_id"), e.productId},
            {QStringLiteral("o_id"), e.operationId},
            // As exact decimal text: the database converts it, no binary fraction on the way.
            {QStringLiteral("cena"), e.price.toString()},
            {QStringLiteral("kol_vo"), e.quantity},
            {QStringLiteral("brak"), e.rejects},
            {QStringLiteral("data"), e.date},
            {QStringLiteral("smena"), e.shiftNo},
            {QStringLiteral("color"), e.colour},
            {QStringLiteral("time"), e.hours},
            {QStringLiteral("vvod"), QDate::currentDate()},
            {QStringLiteral("prize"), 0},
            {QStringLiteral("id_doc"), 0},
            {QStringLiteral("id_doc_item"), 0},
            {QStringLiteral("f_gds_qty_use"), 0},
            {QStringLiteral("id_gds_use"), 0},
            {QStringLiteral("id_cons_use"), 0}};
}

QStringList names(const Params& params)
{
    QStringList out;
    for (const auto& p : params)
        out << p.first;
    return out;
}

} // namespace

Database& EntryStore::db() { return dm_.ADO_DB; }

Outcome EntryStore::duplicateTest(const EntryValues& e, int exceptId)
{
    return dm_.CheckExists(QStringLiteral("select count(id) from accounts_dep.smena where w_id=:w_id and o_id=:o_id "
                                          "and i_id=:i_id and data=:data and smena=:smena and id<>:except and "
                                          "color=:color"),
                           kDuplicate,
                           {{QStringLiteral("w_id"), e.workerId},
                            {QStringLiteral("o_id"), e.operationId},
                            {QStringLiteral("i_id"), e.productId},
                            {QStringLiteral("data"), e.date},
                            {QStringLiteral("smena"), e.shiftNo},
                            {QStringLiteral("except"), exceptId},
                            {QStringLiteral("color"), e.colour}});
}

void EntryStore::insert(const EntryValues& e)
{
    const Params values = columnValues(e);
    const QStringList columns = names(values);
    db().execute(QStringLiteral("insert into accounts_dep.smena(ok, %1) values('no', :%2)")
                    .arg(columns.join(QStringLiteral(", ")), columns.join(QStringLiteral(", :"))),
                values);
}

void EntryStore::update(const EntryValues& e, int entryId)
{
    Params values = columnValues(e);
    QStringList assignments;
    for (const QString& column : names(values))
        assignments << column + QStringLiteral("=:") + column;
    values.push_back({QStringLiteral("id"), entryId});
    db().execute(QStringLiteral("update accounts_dep.smena set %1 where id=:id").arg(assignments.join(QStringLiteral(", "))),
                values);
}

Outcome EntryStore::save(const EntryValues& entry, const EntryOrigin* origin)
{
    Transaction tx(db());
    // Locks in one order everywhere: the entry's key, then the timesheet rows sorted.
    db().lockKey(lock_keys::entry(entry.workerId, entry.operationId, entry.productId, entry.date, entry.shiftNo,
                                 entry.colour));
    QStringList rows{lock_keys::timesheetRow(entry.workerId, entry.shiftNo, entry.date.month(), entry.date.year())};
    const bool moved = origin
        && (origin->workerId != entry.workerId || origin->shiftNo != entry.shiftNo || origin->date != entry.date);
    if (moved)
        rows << lock_keys::timesheetRow(origin->workerId, origin->shiftNo, origin->date.month(), origin->date.year());
    rows.sort();
    rows.removeDuplicates();
    for (const QString& key : rows)
        db().lockKey(key);

    if (const Outcome test = duplicateTest(entry, origin ? origin->entryId : 0); !test)
        return test;
    if (origin)
        update(entry, origin->entryId);
    else
        insert(entry);
    updateDayCell(db(), entry.workerId, entry.shiftNo, entry.date, true);
    // The cell the entry left keeps no hours of it.
    if (moved)
        updateDayCell(db(), origin->workerId, origin->shiftNo, origin->date, false);
    tx.commit();
    return Outcome::done();
}
