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

// The columns an add or a change writes, with their values as statement text. A change
// leaves the acceptance mark alone; an add starts it at "no".
QVector<std::pair<QString, QString>> EntryStore::columnValues(const EntryValues& e)
{
    return {{QStringLiteral("w_id"), QString::number(e.workerId)},
            {QStringLiteral("i_id"), QString::number(e.productId)},
            {QStringLiteral("o_id"), QString::number(e.operationId)},
            {QStringLiteral("cena"), e.price.toString()},
            {QStringLiteral("kol_vo"), QString::number(e.quantity)},
            {QStringLiteral("brak"), QString::number(e.rejects)},
            {QStringLiteral("data"), sql::date(e.date)},
            {QStringLiteral("smena"), QString::number(e.shiftNo)},
            {QStringLiteral("color"), QString::number(e.colour)},
            {QStringLiteral("time"), QString::number(e.hours)},
            {QStringLiteral("vvod"), sql::date(QDate::currentDate())},
            {QStringLiteral("prize"), QStringLiteral("0")},
            {QStringLiteral("id_doc"), QStringLiteral("0")},
            {QStringLiteral("id_doc_item"), QStringLiteral("0")},
            {QStringLiteral("f_gds_qty_use"), QStringLiteral("0")},
            {QStringLiteral("id_gds_use"), QStringLiteral("0")},
            {QStringLiteral("id_cons_use"), QStringLiteral("0")}};
}

void EntryStore::insert(const EntryValues& e)
{
    QStringList columns{QStringLiteral("ok")}, values{QStringLiteral("'no'")};
    for (const auto& [column, value] : columnValues(e)) {
        columns << column;
        values << value;
    }
    Command cmd(dm_.ADO_DB, QStringLiteral("SmenaIU"));
    cmd.setSql(QStringLiteral("insert into accounts_dep.SMENA(%1) values(%2)")
                   .arg(columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))));
    cmd.execute();
}

void EntryStore::update(const EntryValues& e, int entryId)
{
    QStringList assignments;
    for (const auto& [column, value] : columnValues(e))
        assignments << column + u'=' + value;
    Command cmd(dm_.ADO_DB, QStringLiteral("SmenaIU"));
    cmd.setSql(QStringLiteral("update accounts_dep.SMENA set %1 where id=%2")
                   .arg(assignments.join(QStringLiteral(", ")))
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
