#include "month_rebuild.h"

#include "change_seam.h"
#include "lock_keys.h"

#include <QStringList>

namespace {

// The day cells of the month's rows: the source's hours summed per key and day first (one
// day number per record), then spread over d1..d31 per key, which costs a fraction of summing
// every record into 31 filtered sums.
QString daySums() { return eachDayColumn(QStringLiteral("sum(x.hours) filter (where x.day=%1)"), QStringLiteral(",\n ")); }

// The insert of the month's rows: `keys` the key columns of the monthly table, `source` their
// expressions over the source `from` (a table aliased with its filter), `hours` and `date` its
// hours and date columns. `gate` is a condition without columns that must hold before the first
// row is inserted.
QString insertStatement(const QString& keys, const QString& source, const QString& from, const QString& hours,
                        const QString& date, const QString& gate)
{
    QStringList positions;  // the keys and the day, by their places in the inner select list
    for (int i = 1; i <= keys.count(u',') + 2; ++i)
        positions << QString::number(i);
    return QStringLiteral("insert into accounts_dep.h_tabel(%1, month, year, %2)\n"
                          "select %1, :month, :year,\n %3\n"
                          "from (select %4, extract(day from %5)::integer as day, sum(%6) as hours\n"
                          "      from %7\n"
                          "      group by %8) x\n"
                          "where %9\n"
                          "group by %1")
        .arg(keys, eachDayColumn(QStringLiteral("d%1")), daySums(), source, date, hours, from, positions.join(QStringLiteral(", ")), gate);
}

// In the rebuild's one statement the month's rows are deleted (the CTE "before") before the first
// new row goes in: the gate reads that CTE, which runs the delete to its end.
const QString kAlone = QStringLiteral("true");
const QString kAfterDelete = QStringLiteral("(select count(*) from before) >= 0");

// A large plant's month of register records (200,000 and more) does not sort within the
// server's default working memory; a sort that spills to disk grows faster than the month.
const QString kSortMemory = QStringLiteral("select set_config('work_mem', '32MB', true)");

RebuildStatements works()
{
    auto insert = [](const QString& gate) {
        return insertStatement(QStringLiteral("i_type, w_id, i_night"),
                               QStringLiteral("f.id_o as i_type, f.id_p as w_id, f.i_night"),
                               QStringLiteral("accounts_dep.fatigue f where f.d_date>=:first and f.d_date<:next"),
                               QStringLiteral("f.cnt"), QStringLiteral("f.d_date"), gate);
    };
    return {kSortMemory, QStringLiteral("delete from accounts_dep.h_tabel where smena=0 and month=:month and year=:year"),
            insert(kAlone), insert(kAfterDelete)};
}

RebuildStatements pieceWork()
{
    // Register entries of no shift (0 or none) belong to no piece-work row.
    auto insert = [](const QString& gate) {
        return insertStatement(QStringLiteral("smena, w_id"), QStringLiteral("s.smena, s.w_id"),
                               QStringLiteral("accounts_dep.smena s where s.data>=:first and s.data<:next and s.smena>0"),
                               QStringLiteral("s.time"), QStringLiteral("s.data"), gate);
    };
    return {kSortMemory, QStringLiteral("delete from accounts_dep.h_tabel where smena>0 and month=:month and year=:year"),
            insert(kAlone), insert(kAfterDelete)};
}

} // namespace

const RebuildStatements& rebuildStatements(MonthRows rows)
{
    static const RebuildStatements worksRows = works();
    static const RebuildStatements pieceWorkRows = pieceWork();
    return rows == MonthRows::Works ? worksRows : pieceWorkRows;
}

Params rebuildParams(TimesheetMonth month)
{
    return {{QStringLiteral("month"), month.month},
            {QStringLiteral("year"), month.year},
            {QStringLiteral("first"), month.first()},
            {QStringLiteral("next"), month.next()}};
}

Write monthRowsWrite(const QString& key, const QString& before, const QString& after, const Params& params)
{
    return {.rows = QStringLiteral("select %1 as row_key,"
                                   " (select coalesce(jsonb_agg(to_jsonb(b) order by b.id), '[]') from before b) as old_row,"
                                   " (select coalesce(jsonb_agg(to_jsonb(a) order by a.id), '[]') from after a) as new_row")
                .arg(key),
            .params = params,
            .with = QStringLiteral("before as (%1),\nafter as (%2)").arg(before, after)};
}

Outcome rebuildMonth(Database& db, MonthRows rows, TimesheetMonth month)
{
    if (Outcome allowed = db.permits(Command::RebuildTimesheet); !allowed)
        return allowed;
    const RebuildStatements& statements = rebuildStatements(rows);
    Transaction tx(db);
    db.lockKey(lock_keys::timesheetMonth(month.month, month.year));
    db.exec(statements.memory);
    // One statement deletes and inserts the month's rows, with one history row of both.
    Change change{.kind = DataKind::Timesheet,
                  .action = ChangeAction::Rebuild,
                  .table = QStringLiteral("accounts_dep.h_tabel"),
                  .month = month.first()};
    const QString key = QStringLiteral("jsonb_build_object('year', :year, 'month', :month, 'rows', '%1')")
                            .arg(rows == MonthRows::Works ? QStringLiteral("works") : QStringLiteral("piece-work"));
    if (Outcome applied = applyChange(db, change,
                                      monthRowsWrite(key, statements.remove + QStringLiteral(" returning *"),
                                                     statements.insertAfterRemove + QStringLiteral(" returning *"),
                                                     rebuildParams(month)));
        !applied)
        return applied;
    tx.commit();
    return Outcome::done();
}
