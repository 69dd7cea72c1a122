#include "entry_store.h"

#include "database.h"
#include "lock_keys.h"
#include "timesheet_cell.h"

#include <QStringList>

const QString kEntryChangedMeanwhile =
    QStringLiteral("Позиция изменена или удалена другим пользователем. Список перечитан.");

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

// No other entry (but :id) has the entry's key: worker, operation, product, date, shift, colour.
const QString kNoDuplicate = QStringLiteral(
    "not exists (select 1 from accounts_dep.smena other where other.w_id=:w_id and other.o_id=:o_id "
    "and other.i_id=:i_id and other.data=:data and other.smena=:smena and other.color=:color and other.id<>:id)");

} // namespace

const QStringList& entryFields()
{
    static const QStringList fields{QStringLiteral("w_id"),   QStringLiteral("i_id"), QStringLiteral("o_id"),
                                    QStringLiteral("cena"),   QStringLiteral("kol_vo"), QStringLiteral("brak"),
                                    QStringLiteral("data"),   QStringLiteral("smena"), QStringLiteral("color"),
                                    QStringLiteral("time"),   QStringLiteral("ok")};
    return fields;
}

// The stored entry of `id`, locked until the transaction ends; nullopt when it is gone.
static std::optional<Row> lockStoredEntry(Database& db, int id)
{
    return firstRow(db,
                    QStringLiteral("select %1 from accounts_dep.smena where id=:id for update")
                        .arg(entryFields().join(QStringLiteral(", "))),
                    {{QStringLiteral("id"), id}});
}

Change entryChange(ChangeAction action, const QDate& date, int shiftNo, int workerId)
{
    return {.kind = DataKind::Entry,
            .action = action,
            .table = QStringLiteral("accounts_dep.smena"),
            .dateColumn = QStringLiteral("data"),
            .days = {date},
            .shiftNo = shiftNo,
            .workerId = workerId};
}

std::optional<EntryFault> entryFault(const EntryValues& e)
{
    const QString incomplete = QStringLiteral("Все поля должны быть заполнены!");
    if (e.workerId <= 0)
        return EntryFault{EntryField::Worker, incomplete};
    if (e.operationId <= 0 || e.productId <= 0)
        return EntryFault{EntryField::Operation, incomplete};
    if (!e.date.isValid())
        return EntryFault{EntryField::Date, incomplete};
    if (e.shiftNo < 1 || e.shiftNo > 4)
        return EntryFault{EntryField::Shift, QStringLiteral("Смена должна быть от 1 до 4.")};
    if (e.quantity < 0)
        return EntryFault{EntryField::Quantity, QStringLiteral("Количество не может быть отрицательным.")};
    if (e.rejects < 0)
        return EntryFault{EntryField::Rejects, QStringLiteral("Брак не может быть отрицательным.")};
    if (e.rejects > e.quantity)
        return EntryFault{EntryField::Rejects, QStringLiteral("Брак не может быть больше количества.")};
    if (e.hours < 0 || e.hours > 24)
        return EntryFault{EntryField::Hours, QStringLiteral("Время должно быть от 0 до 24 часов.")};
    if (e.colour < 0)
        return EntryFault{EntryField::Colour, QStringLiteral("Цвет не может быть отрицательным.")};
    if (e.price.isNegative())
        return EntryFault{EntryField::Price, QStringLiteral("Цена не может быть отрицательной.")};
    return std::nullopt;
}

Outcome EntryStore::admit(Command command, const EntryValues& entry) const
{
    if (Outcome allowed = db_.permits(command); !allowed)
        return allowed;
    if (const auto fault = entryFault(entry))
        return Outcome::refused(fault->message);
    return Outcome::done();
}

std::optional<Row> lockShownEntry(Database& db, const Row& shown)
{
    std::optional<Row> stored = lockStoredEntry(db, shown[QStringLiteral("id")].asInteger());
    if (!stored || !stored->sameAs(shown, entryFields()))
        return std::nullopt;
    return stored;
}

Outcome EntryStore::add(const EntryValues& entry)
{
    if (Outcome admitted = admit(Command::AddEntry, entry); !admitted)
        return admitted;
    Transaction tx(db_);
    // Locks in one order everywhere (lock_keys.h): the month, the entry's key, the timesheet row.
    db_.lockKeys(lock_keys::timesheetMonths({entry.date}),
                 {lock_keys::entry(entry.workerId, entry.operationId, entry.productId, entry.date, entry.shiftNo,
                                   entry.colour),
                  lock_keys::timesheetRow(entry.workerId, entry.shiftNo, entry.date.month(), entry.date.year())});
    if (Outcome written = write(entry, 0); !written)
        return written;
    if (Outcome cell = updateDayCell(db_, entry.workerId, entry.shiftNo, entry.date, true); !cell)
        return cell;
    tx.commit();
    return Outcome::done();
}

Outcome EntryStore::change(const Row& shown, const EntryValues& entry)
{
    if (Outcome admitted = admit(Command::ChangeEntry, entry); !admitted)
        return admitted;
    const int id = shown[QStringLiteral("id")].asInteger();
    Transaction tx(db_);
    // The stored row first (every writer of an entry locks it before any advisory lock).
    const std::optional<Row> stored = lockShownEntry(db_, shown);
    if (!stored)
        return Outcome::changedMeanwhile(kEntryChangedMeanwhile);
    const int oldWorker = (*stored)[QStringLiteral("w_id")].asInteger();
    const int oldShift = (*stored)[QStringLiteral("smena")].asInteger();
    const QDate oldDate = (*stored)[QStringLiteral("data")].asDate();
    QStringList cells{lock_keys::timesheetRow(entry.workerId, entry.shiftNo, entry.date.month(), entry.date.year()),
                      lock_keys::timesheetRow(oldWorker, oldShift, oldDate.month(), oldDate.year())};
    cells.sort();
    cells.removeDuplicates();
    db_.lockKeys(lock_keys::timesheetMonths({entry.date, oldDate}),
                 QStringList{lock_keys::entry(entry.workerId, entry.operationId, entry.productId, entry.date,
                                              entry.shiftNo, entry.colour)}
                     + cells);
    if (Outcome written = write(entry, id, *stored); !written)
        return written;
    if (Outcome cell = updateDayCell(db_, entry.workerId, entry.shiftNo, entry.date, true); !cell)
        return cell;
    // The cell the entry left keeps no hours of it.
    const bool moved = oldWorker != entry.workerId || oldShift != entry.shiftNo || oldDate != entry.date;
    if (moved) {
        if (Outcome cell = updateDayCell(db_, oldWorker, oldShift, oldDate, false); !cell)
            return cell;
    }
    tx.commit();
    return Outcome::done();
}

// Inserts (entryId 0) or updates the entry unless another entry has its key, in one statement.
Outcome EntryStore::write(const EntryValues& entry, int entryId, const Row& left)
{
    Params values = columnValues(entry);
    const QStringList columns = names(values);
    values.push_back({QStringLiteral("id"), entryId});
    Change change = entryChange(entryId == 0 ? ChangeAction::Add : ChangeAction::Change, entry.date, entry.shiftNo,
                                entry.workerId);
    // A moved entry leaves its day too.
    if (!left.isEmpty() && left[QStringLiteral("data")].asDate() != entry.date)
        change.days << left[QStringLiteral("data")].asDate();
    Write write{.params = values};
    if (entryId == 0) {
        write.rows = QStringLiteral("insert into accounts_dep.smena as t(ok, %1) select 'no', :%2 where %3 returning %4")
                         .arg(columns.join(QStringLiteral(", ")), columns.join(QStringLiteral(", :")), kNoDuplicate,
                              rowWrite::added(QStringLiteral("t")));
    } else {
        QStringList assignments;
        for (const QString& column : columns)
            assignments << column + QStringLiteral("=:") + column;
        write.rows = rowWrite::updateById(QStringLiteral("accounts_dep.smena"), assignments.join(QStringLiteral(", ")),
                                          kNoDuplicate);
    }
    QVector<Row> stored;
    if (Outcome applied = applyChange(db_, change, write, &stored); !applied)
        return applied;
    return stored.isEmpty() ? Outcome::refused(kDuplicate) : Outcome::done();
}
