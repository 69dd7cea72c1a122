#include "repeat_shift_store.h"

#include "change_seam.h"
#include "database.h"
#include "lock_keys.h"
#include "timesheet_cell.h"

#include <QSet>
#include <QStringList>

QString RepeatShiftStore::sourceStatement()
{
    return QStringLiteral(
        "select s.id, s.w_id, s.i_id, s.o_id, s.color, s.kol_vo, s.brak, s.time, p.fio, i.marka, v.vid, o.naimen, "
        "(select min(n.price) from accounts_dep.norm n where n.o_id = s.o_id)::numeric::text as base "
        "from accounts_dep.smena s join accounts_dep.oper o on o.id = s.o_id "
        "join accounts_dep.vid_oper v on v.id = o.vid join accounts_dep.izdel i on i.id = s.i_id "
        "left join accounts_dep.person p on p.id = s.w_id "
        "where s.data = :data and s.smena = :smena order by p.fio, s.id");
}

QDate RepeatShiftStore::lastDateWithEntries(const QDate& before, int shiftNo)
{
    return db_
        .scalar(QStringLiteral("select max(data) from accounts_dep.smena where smena = :smena and data < :before"),
                {{QStringLiteral("smena"), shiftNo}, {QStringLiteral("before"), before}})
        .toDate();
}

namespace {

// One row of the insert's list of values, its parameters numbered by `n`.
QString valuesRow(int n, const EntryValues& e, Params& params)
{
    const QString s = QString::number(n);
    params += Params{{QStringLiteral("w") + s, e.workerId},   {QStringLiteral("i") + s, e.productId},
                     {QStringLiteral("o") + s, e.operationId}, {QStringLiteral("c") + s, e.price.toString()},
                     {QStringLiteral("q") + s, e.quantity},    {QStringLiteral("b") + s, e.rejects},
                     {QStringLiteral("d") + s, e.date},        {QStringLiteral("s") + s, e.shiftNo},
                     {QStringLiteral("k") + s, e.colour},      {QStringLiteral("t") + s, e.hours}};
    return QStringLiteral("(:w%1::int, :i%1::int, :o%1::int, :c%1::numeric, :q%1::int, :b%1::int, :d%1::date, "
                          ":s%1::int, :k%1::int, :t%1::int)")
        .arg(n);
}

} // namespace

Outcome RepeatShiftStore::write(const QVector<EntryValues>& entries, int* skipped)
{
    *skipped = 0;
    if (Outcome allowed = db_.permits(Command::AddEntry); !allowed)
        return allowed;
    for (const EntryValues& e : entries)
        if (const auto fault = entryFault(e))
            return Outcome::refused(fault->message);
    if (entries.isEmpty())
        return Outcome::done();
    QList<QDate> dates;
    QStringList keys, rows, values;
    Params params{{QStringLiteral("vvod"), QDate::currentDate()}};
    for (int n = 0; n < entries.size(); ++n) {
        const EntryValues& e = entries[n];
        dates << e.date;
        keys << lock_keys::entry(e.workerId, e.operationId, e.productId, e.date, e.shiftNo, e.colour);
        rows << lock_keys::timesheetRow(e.workerId, e.shiftNo, e.date.month(), e.date.year());
        values << valuesRow(n, e, params);
    }
    keys.sort();
    rows.sort();
    rows.removeDuplicates();
    Transaction tx(db_);
    // Locks in one order everywhere (lock_keys.h): the months, the entries' keys, the rows.
    db_.lockKeys(lock_keys::timesheetMonths(dates), keys + rows);
    // Through the change seam: a history row for each entry written, a closed month refused.
    Change change{.kind = DataKind::Entry,
                  .action = ChangeAction::Add,
                  .table = QStringLiteral("accounts_dep.smena"),
                  .dateColumn = QStringLiteral("data"),
                  .days = {entries.first().date},
                  .shiftNo = entries.first().shiftNo};
    Write write;
    write.params = params;
    write.rows =
        QStringLiteral("insert into accounts_dep.smena as t(ok, w_id, i_id, o_id, cena, kol_vo, brak, data, smena, "
                       "color, time, vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
                       "select 'no', v.w_id, v.i_id, v.o_id, v.cena, v.kol_vo, v.brak, v.data, v.smena, v.color, "
                       "v.time, :vvod, 0, 0, 0, 0, 0, 0 from (values %1) "
                       "v(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time) "
                       "where not exists (select 1 from accounts_dep.smena other where other.w_id=v.w_id and "
                       "other.o_id=v.o_id and other.i_id=v.i_id and other.data=v.data and other.smena=v.smena and "
                       "other.color=v.color) returning %2, t.w_id, t.smena, t.data")
            .arg(values.join(QStringLiteral(", ")), rowWrite::added(QStringLiteral("t")));
    write.readBack = QStringLiteral("changed.w_id, changed.smena, changed.data");
    QVector<Row> written;
    if (Outcome applied = applyChange(db_, change, write, &written); !applied)
        return applied;
    struct Cell {
        int worker, shift;
        QDate date;
    };
    QVector<Cell> cells;
    QSet<QString> seen;
    for (const Row& row : written) {
        const Cell cell{row[QStringLiteral("w_id")].asInteger(), row[QStringLiteral("smena")].asInteger(),
                        row[QStringLiteral("data")].asDate()};
        const QString key =
            QStringLiteral("%1:%2:%3").arg(cell.worker).arg(cell.shift).arg(cell.date.toString(Qt::ISODate));
        if (!seen.contains(key)) {
            seen.insert(key);
            cells.push_back(cell);
        }
    }
    for (const Cell& cell : cells)
        if (Outcome updated = updateDayCell(db_, cell.worker, cell.shift, cell.date, true); !updated)
            return updated;
    tx.commit();
    *skipped = int(entries.size() - written.size());
    return Outcome::done();
}
