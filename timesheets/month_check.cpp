#include "month_check.h"

#include "change_seam.h"
#include "lock_keys.h"
#include "month_rebuild.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

// The CTE "difference": one row per differing cell with the key of its rows (w_id, smena, i_type,
// i_night), the day, the timesheet's hours (in_timesheet) and the records' (from_records).
// Piece-work rows are keyed by shift (i_type and i_night 0), works rows by kind and flag (shift 0),
// as the rebuilds make them.
QString differenceCte()
{
    return QStringLiteral(
               "timesheet as (\n"
               "  select h.w_id, h.smena, h.i_type, h.i_night, c.day, sum(c.hours) as hours\n"
               "  from accounts_dep.h_tabel h cross join lateral (values %1) c(day, hours)\n"
               "  where h.month=:month and h.year=:year and c.hours is not null\n"
               "  group by 1, 2, 3, 4, 5),\n"
               "records as (\n"
               "  select s.w_id, s.smena::integer as smena, 0 as i_type, 0 as i_night,\n"
               "         extract(day from s.data)::integer as day, sum(s.time) as hours\n"
               "  from accounts_dep.smena s where s.data>=:first and s.data<:next and s.smena>0\n"
               "  group by 1, 2, 5\n"
               "  union all\n"
               "  select f.id_p::integer, 0, f.id_o::integer, f.i_night,\n"
               "         extract(day from f.d_date)::integer, sum(f.cnt)\n"
               "  from accounts_dep.fatigue f where f.d_date>=:first and f.d_date<:next\n"
               "  group by 1, 3, 4, 5),\n"
               "difference as (\n"
               "  select w_id, smena, i_type, i_night, day, t.hours as in_timesheet, r.hours as from_records\n"
               "  from timesheet t full join records r using (w_id, smena, i_type, i_night, day)\n"
               "  where coalesce(t.hours, 0) <> coalesce(r.hours, 0))")
        .arg(eachDayColumn(QStringLiteral("(%1, h.d%1)")));
}

// The repair's CTEs after "difference": per key the days to write and their hours, the rows of
// those keys (the first of each key takes the hours), the updated and the inserted rows.
QString repairCtes()
{
    return QStringLiteral(
               "fix as (\n"
               "  select w_id, smena, i_type, i_night,\n  %1,\n  %2\n"
               "  from difference group by 1, 2, 3, 4),\n"
               "target as (\n"
               "  select h.id, h.id = min(h.id) over (partition by h.w_id, h.smena, h.i_type, h.i_night) as first_of_key\n"
               "  from accounts_dep.h_tabel h join fix f using (w_id, smena, i_type, i_night)\n"
               "  where h.month=:month and h.year=:year),\n"
               "updated as (\n"
               "  update accounts_dep.h_tabel h set\n  %3\n"
               "  from target t, fix f\n"
               "  where h.id=t.id and (f.w_id, f.smena, f.i_type, f.i_night)=(h.w_id, h.smena, h.i_type, h.i_night)\n"
               "  returning h.*),\n"
               "inserted as (\n"
               "  insert into accounts_dep.h_tabel(w_id, month, year, smena, i_type, i_night, %4)\n"
               "  select f.w_id, :month, :year, f.smena, f.i_type, f.i_night, %5\n"
               "  from fix f where not exists (select 1 from target t join accounts_dep.h_tabel h on h.id=t.id\n"
               "    where (h.w_id, h.smena, h.i_type, h.i_night)=(f.w_id, f.smena, f.i_type, f.i_night))\n"
               "  returning *)")
        .arg(eachDayColumn(QStringLiteral("bool_or(day=%1) as c%1")),
             eachDayColumn(QStringLiteral("max(from_records) filter (where day=%1)::integer as v%1")),
             eachDayColumn(QStringLiteral("d%1 = case when f.c%1 then case when t.first_of_key then f.v%1 end else h.d%1 end"),
                           QStringLiteral(",\n  ")),
             eachDayColumn(QStringLiteral("d%1")), eachDayColumn(QStringLiteral("f.v%1")));
}

QString hoursText(const QVariant& hours) { return hours.isNull() ? QString() : hours.toString(); }

QString lineOf(int shiftNo, int kind, int night)
{
    if (shiftNo > 0)
        return QString::number(shiftNo);
    QString name;
    switch (kind) {
    case 7777: name = QStringLiteral("Хоз. работы"); break;
    case 7778: name = QStringLiteral("Ср. сдельная"); break;
    default: name = QStringLiteral("Вид %1").arg(kind); break;
    }
    return name + (night ? QStringLiteral(" ноч.") : QStringLiteral(" дн."));
}

} // namespace

QString monthDifferencesStatement()
{
    return QStringLiteral("with %1\n"
                          "select d.w_id, p.s_caption, d.smena, d.i_type, d.i_night, d.day, d.in_timesheet, d.from_records\n"
                          "from difference d left join cmn_contractor.person p on p.id=d.w_id\n"
                          "order by p.s_caption, d.w_id, d.smena=0, d.smena, d.i_type, d.i_night, d.day")
        .arg(differenceCte());
}

Params monthDifferencesParams(TimesheetMonth month) { return rebuildParams(month); }

QVector<CellDifference> findMonthDifferences(Database& db, QDate month)
{
    QSqlQuery q = db.exec(monthDifferencesStatement(), monthDifferencesParams(TimesheetMonth::of(month)));
    QVector<CellDifference> found;
    while (q.next()) {
        CellDifference d;
        d.workerId = q.value(0).toInt();
        d.workerName = q.value(1).isNull() ? QStringLiteral("№ %1").arg(d.workerId) : q.value(1).toString().trimmed();
        d.shiftNo = q.value(2).toInt();
        d.kind = q.value(3).toInt();
        d.night = q.value(4).toInt();
        d.line = lineOf(d.shiftNo, d.kind, d.night);
        d.day = q.value(5).toInt();
        d.inTimesheet = hoursText(q.value(6));
        d.fromRecords = hoursText(q.value(7));
        found.push_back(d);
    }
    return found;
}

QString differenceText(const CellDifference& d)
{
    const auto shown = [](const QString& hours) { return hours.isEmpty() ? QStringLiteral("—") : hours; };
    const QString line = d.shiftNo > 0 ? QStringLiteral("смена ") + d.line : d.line;
    return QStringLiteral("%1, %2, %3 число: в табеле %4, по записям %5")
        .arg(d.workerName, line)
        .arg(d.day)
        .arg(shown(d.inTimesheet), shown(d.fromRecords));
}

Outcome repairMonth(Database& db, QDate month)
{
    if (Outcome allowed = db.permits(Command::RebuildTimesheet); !allowed)
        return allowed;
    const TimesheetMonth m = TimesheetMonth::of(month);
    Transaction tx(db);
    // Exclusively, as a rebuild: no cell of the month is written meanwhile.
    db.lockKey(lock_keys::timesheetMonth(m.month, m.year));
    if (findMonthDifferences(db, month).isEmpty())
        return Outcome::done();
    Change change{.kind = DataKind::Timesheet,
                  .action = ChangeAction::Repair,
                  .table = QStringLiteral("accounts_dep.h_tabel"),
                  .month = m.first()};
    Write write = monthRowsWrite(QStringLiteral("jsonb_build_object('year', :year, 'month', :month, 'rows', 'repair')"),
                                 QStringLiteral("select h.* from accounts_dep.h_tabel h join target t on t.id=h.id"),
                                 QStringLiteral("select * from updated union all select * from inserted"),
                                 monthDifferencesParams(m));
    write.with = differenceCte() + QStringLiteral(",\n") + repairCtes() + QStringLiteral(",\n") + write.with;
    if (Outcome applied = applyChange(db, change, write); !applied)
        return applied;
    tx.commit();
    return Outcome::done();
}
