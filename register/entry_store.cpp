#include "entry_store.h"

#include "data_module.h"
#include "lock_keys.h"
#include "messages.h"
#include "sql_text.h"
#include "timesheet_cell.h"

#include <QStringList>
#include <algorithm>

namespace {

QString entryKey(const EntryValues& e)
{
    return QStringLiteral("smena:%1:%2:%3:%4:%5:%6")
        .arg(e.workerId)
        .arg(e.operationId)
        .arg(e.productId)
        .arg(e.date.toString(Qt::ISODate))
        .arg(e.shiftNo)
        .arg(e.colour);
}

} // namespace

bool EntryStore::isDuplicate(const EntryValues& e, int exceptId)
{
    const QString except = exceptId ? QStringLiteral(" and id<>%1").arg(exceptId) : QString();
    Dataset& control = dm_.Control;
    control.close();
    control.setSql(QStringLiteral("select count(id) as cnt from accounts_dep.SMENA where w_id=%1 and o_id=%2 "
                                  "and i_id=%3 and data=%4 and smena=%5%6 and color=%7")
                       .arg(e.workerId)
                       .arg(e.operationId)
                       .arg(e.productId)
                       .arg(sql::date(e.date))
                       .arg(e.shiftNo)
                       .arg(except)
                       .arg(e.colour));
    control.open();
    const bool found = control.field(QStringLiteral("cnt")).asInteger() > 0;
    control.close();
    return found;
}

void EntryStore::insert(const EntryValues& e)
{
    Command cmd(dm_.ADO_DB, QStringLiteral("SmenaIU"));
    cmd.setSql(QStringLiteral("insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, "
                              "time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
                              "values(%1, %2, %3, %4,%5, %6, %7, %8, %9, %10, %11, 'no', 0, 0, 0, 0, 0, 0)")
                   .arg(e.workerId)
                   .arg(e.productId)
                   .arg(e.operationId)
                   .arg(e.price.toString())
                   .arg(e.quantity)
                   .arg(e.rejects)
                   .arg(sql::date(e.date))
                   .arg(e.shiftNo)
                   .arg(e.colour)
                   .arg(e.hours)
                   .arg(sql::date(QDate::currentDate())));
    cmd.execute();
}

void EntryStore::update(const EntryValues& e, int entryId)
{
    Command cmd(dm_.ADO_DB, QStringLiteral("SmenaIU"));
    cmd.setSql(QStringLiteral("update accounts_dep.SMENA set w_id=%1, i_id=%2, o_id=%3, cena=%4, kol_vo=%5, brak=%6, "
                              "data=%7, smena=%8, color=%9, time=%10, vvod=%11, prize=0, id_doc=0, id_doc_item=0, "
                              "f_gds_qty_use=0, id_gds_use=0, id_cons_use=0 where id=%12")
                   .arg(e.workerId)
                   .arg(e.productId)
                   .arg(e.operationId)
                   .arg(e.price.toString())
                   .arg(e.quantity)
                   .arg(e.rejects)
                   .arg(sql::date(e.date))
                   .arg(e.shiftNo)
                   .arg(e.colour)
                   .arg(e.hours)
                   .arg(sql::date(QDate::currentDate()))
                   .arg(entryId));
    cmd.execute();
}

bool EntryStore::save(const EntryValues& entry, const EntryOrigin* origin)
{
    // The message comes after the transaction, so no lock is held while it is open.
    if (write(entry, origin))
        return true;
    msg::error(QStringLiteral("Позиция с такими параметрами уже заведена!"), QStringLiteral("Ошибка"));
    return false;
}

bool EntryStore::write(const EntryValues& entry, const EntryOrigin* origin)
{
    Database& db = dm_.ADO_DB;
    Transaction tx(db);
    // Locks in one order everywhere: the entry's key, then the timesheet rows sorted.
    db.lockKey(entryKey(entry));
    QStringList rows{lock_keys::timesheetRow(entry.workerId, entry.shiftNo, entry.date.month(), entry.date.year())};
    const bool moved = origin
        && (origin->workerId != entry.workerId || origin->shiftNo != entry.shiftNo || origin->date != entry.date);
    if (moved)
        rows << lock_keys::timesheetRow(origin->workerId, origin->shiftNo, origin->date.month(), origin->date.year());
    rows.sort();
    rows.removeDuplicates();
    for (const QString& key : rows)
        db.lockKey(key);

    if (isDuplicate(entry, origin ? origin->entryId : 0))
        return false;
    if (origin)
        update(entry, origin->entryId);
    else
        insert(entry);
    updateDayCell(dm_, entry.workerId, entry.shiftNo, entry.date, true);
    // The cell the entry left keeps no hours of it.
    if (moved)
        updateDayCell(dm_, origin->workerId, origin->shiftNo, origin->date, false);
    tx.commit();
    return true;
}
