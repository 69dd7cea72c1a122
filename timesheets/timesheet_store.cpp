#include "timesheet_store.h"

#include "database.h"
#include "excel_book.h"
#include "month_choice.h"
#include "month_rebuild.h"

#include <QStringList>

namespace {

QString daySums() { return eachDayColumn(QStringLiteral("sum(h.d%1) d%1")); }

const QString& kEarnings = TimesheetStore::entryEarnings();

QString dayColumns() { return eachDayColumn(QStringLiteral("h.d%1")); }

// The month's rows of the monthly table summed per worker (of type 0 only in the piece-work
// mode), joined to the worker's name.
QString workersMonth(const QString& typeFilter)
{
    return QStringLiteral("from (select h.w_id, %1 from accounts_dep.h_tabel h where h.year=:i_year and "
                          "h.month=:i_month%2 group by h.w_id) h\njoin cmn_contractor.person p on h.w_id=p.id")
        .arg(daySums(), typeFilter);
}

// The register's month is read once and summed per worker (a sum per worker and field, each
// reading the worker's month again, took three times as long); workers without entries get
// no hours, no earnings and a rate of 0.
QString pieceWorkStatement()
{
    return QStringList{
        QStringLiteral("with register as materialized (select s.w_id, sum(s.time) i_time, "
                       "sum(%1)::numeric(10,2) f_price,")
            .arg(kEarnings),
        QStringLiteral("case when coalesce(sum(s.time),0)::numeric(10,2)=0 then 0 else "
                       "coalesce(sum(%1)/sum(time),0)::numeric(10,2) end average_price")
            .arg(kEarnings),
        QStringLiteral("from accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 group by s.w_id)"),
        QStringLiteral("select p.s_caption fio, p.id, 0 i_type, r.i_time, r.f_price::text f_price,"),
        QStringLiteral("coalesce(r.average_price,0)::text average_price, %1").arg(dayColumns()),
        workersMonth(QStringLiteral(" and h.i_type=0")),
        QStringLiteral("left join register r on r.w_id=p.id::integer"),
        QStringLiteral("order by fio, p.id")}
        .join(u'\n');
}

// The household and the average piece-rate timesheets: the kind is the parameter :kind.
QString worksStatement()
{
    const QString works = QStringLiteral("from accounts_dep.fatigue f where f.d_date<:d_date%1 and f.d_date>=:d_date%2 "
                                         "and f.id_p=p.id and f.id_o=:kind and f.i_night=h.i_night");
    return QStringList{
        QStringLiteral("select p.s_caption fio, p.id, h.i_type,"),
        QStringLiteral("case when h.i_night=0 then 'дн.' else 'ноч.' end s_night, h.i_night,"),
        QStringLiteral("(select sum(f.cnt) %1) i_time,").arg(works.arg(1).arg(2)),
        QStringLiteral("(select sum(f.cnt*f.price)::numeric(10,2) %1)::text f_price,").arg(works.arg(3).arg(4)),
        QStringLiteral("(select case when coalesce(sum(f.cnt),0)::numeric(10,2)=0 then 0 else "
                       "coalesce(sum((f.cnt*f.price))/sum(f.cnt),0)::numeric(10,2) end %1)::text average_price,")
            .arg(works.arg(5).arg(6)),
        daySums(),
        QStringLiteral("from  cmn_contractor.person p, accounts_dep.h_tabel h"),
        QStringLiteral("where h.year=:i_year and h.month=:i_month and h.w_id=p.id and i_type=:kind"),
        QStringLiteral("group by p.id, p.s_caption, h.i_type, h.i_night"),
        QStringLiteral("order by fio, p.id, h.i_night")}
        .join(u'\n');
}

// As the piece-work timesheet: the register's month and the works' month each read once.
QString generalStatement()
{
    return QStringList{
        QStringLiteral("with register as materialized (select s.w_id, sum(s.time) hours, sum(%1)::numeric(10,2) earnings")
            .arg(kEarnings),
        QStringLiteral("from accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 group by s.w_id),"),
        QStringLiteral("works as materialized (select f.id_p, sum(f.cnt) hours, sum(f.cnt*f.price)::numeric(10,2) "
                       "earnings"),
        QStringLiteral("from accounts_dep.fatigue f where f.d_date<:d_date1 and f.d_date>=:d_date2 group by f.id_p)"),
        QStringLiteral("select p.s_caption fio, p.id, coalesce(r.hours,0)+coalesce(w.hours,0) i_time,"),
        QStringLiteral("(coalesce(r.earnings,0)+coalesce(w.earnings,0))::text f_price, %1").arg(dayColumns()),
        workersMonth(QString()),
        QStringLiteral("left join register r on r.w_id=p.id::integer"),
        QStringLiteral("left join works w on w.id_p=p.id"),
        QStringLiteral("order by fio, p.id")}
        .join(u'\n');
}

// The four figures in one statement: the register's month read once through its date index,
// the works' month once through theirs, each kind's sum filtered out of the one pass. The
// register's quantities are summed per price first, so that each price is made exact (a double
// turned into numeric, the costly part) once rather than once per entry: the same exact sum.
const QString kFooter = QStringList{
    QStringLiteral("with register as (select sum(q.made*q.cena::numeric) earnings from (select s.cena, "
                   "sum(s.kol_vo-s.brak) made"),
    QStringLiteral("  from accounts_dep.smena s where s.data>=:first and s.data<:next and s.cena>0 and s.kol_vo>0 "
                   "group by s.cena) q),"),
    QStringLiteral("works as (select sum(f.cnt*f.price) filter (where f.id_o=7778) average_piece_rate,"),
    QStringLiteral("  sum(f.cnt*f.price) filter (where f.id_o=7777) household, sum(f.cnt*f.price) every_kind"),
    QStringLiteral("  from accounts_dep.fatigue f where f.d_date>=:first and f.d_date<:next and f.cnt>0 and f.price>0)"),
    QStringLiteral("select w.average_piece_rate::numeric(100,2)::text, w.household::numeric(100,2)::text,"),
    QStringLiteral("  r.earnings::numeric(100,2)::text,"),
    QStringLiteral("  (coalesce(r.earnings,0)+coalesce(w.every_kind,0))::numeric(20,2)::text"),
    QStringLiteral("from register r, works w")}
                              .join(u'\n');

} // namespace

const QString& TimesheetStore::entryEarnings()
{
    static const QString earnings = QStringLiteral("(s.kol_vo-s.brak)*s.cena::numeric");
    return earnings;
}

QString TimesheetStore::statement(TimesheetMode mode)
{
    switch (mode) {
    case TimesheetMode::PieceWork: return pieceWorkStatement();
    case TimesheetMode::Household:
    case TimesheetMode::AveragePieceRate: return worksStatement();
    case TimesheetMode::General: return generalStatement();
    }
    return {};
}

void TimesheetStore::setMonth(Dataset& timesheet, TimesheetMode mode, TimesheetMonth month)
{
    timesheet.setParam(QStringLiteral("i_month"), month.month);
    timesheet.setParam(QStringLiteral("i_year"), month.year);
    // Odd names take the end of the range (excluded), even names its first day.
    for (int k = 1; k <= 8; ++k)
        timesheet.setParam(QStringLiteral("d_date%1").arg(k), k % 2 ? month.next() : month.first());
    if (mode == TimesheetMode::Household)
        timesheet.setParam(QStringLiteral("kind"), 7777);
    else if (mode == TimesheetMode::AveragePieceRate)
        timesheet.setParam(QStringLiteral("kind"), 7778);
}

const QString& TimesheetStore::footerStatement() { return kFooter; }

Params TimesheetStore::footerParams(TimesheetMonth month)
{
    return {{QStringLiteral("first"), month.first()}, {QStringLiteral("next"), month.next()}};
}

TimesheetFooter TimesheetStore::footerOf(const QVector<QVector<QVariant>>& rows)
{
    if (rows.isEmpty())
        return {};
    const QVector<QVariant>& row = rows.first();
    return {row.value(0).toString(), row.value(1).toString(), row.value(2).toString(), row.value(3).toString()};
}

TimesheetFooter TimesheetStore::footer(TimesheetMonth month)
{
    QSqlQuery q = db_.exec(kFooter, footerParams(month));
    QVector<QVector<QVariant>> rows;
    if (q.next())
        rows.push_back({q.value(0), q.value(1), q.value(2), q.value(3)});
    return footerOf(rows);
}

// The distinct years walked through the (year, month) index, one step a year: the table holds
// hundreds of thousands of rows of a handful of years, and reading them all took 0.2 s.
QList<int> TimesheetStore::years()
{
    QSqlQuery q = db_.exec(QStringLiteral(
        "with recursive years as (select min(h.year) as year from accounts_dep.h_tabel h "
        "union all select (select min(h.year) from accounts_dep.h_tabel h where h.year > years.year) "
        "from years where years.year is not null) "
        "select year from years where year is not null order by year"));
    QList<int> out;
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

Outcome TimesheetStore::rebuildWorks(TimesheetMonth month) { return rebuildMonth(db_, MonthRows::Works, month); }

void TimesheetStore::exportTimesheet(ExcelBook& book, const Dataset& timesheet, TimesheetMode mode,
                                     const QString& heading, const std::function<void(int written)>& written)
{
    const bool general = mode == TimesheetMode::General;
    const bool works = mode == TimesheetMode::Household || mode == TimesheetMode::AveragePieceRate;
    writeTimesheetTitles(book, heading, 3);
    auto title = [&](int column, const QString& text) { book.WriteExcelCell(1, column, 2, text, true, true, true); };
    title(34, QStringLiteral("Итого (ч.)"));
    title(35, QStringLiteral("Итого (р.)"));
    if (!general)
        title(36, QStringLiteral("Час (р.)"));

    auto text = [&](int rec, const QString& field) {
        return displayText(timesheet.valueAt(rec, timesheet.fieldIndex(field)));
    };
    for (int rec = 0; rec < timesheet.recordCount(); ++rec) {
        const int row = rec + 3;
        book.WriteExcelCell(1, 1, row, text(rec, QStringLiteral("fio")), true, true, false);
        if (works)
            book.WriteExcelCell(1, 2, row, text(rec, QStringLiteral("s_night")), true, true, false);
        for (int day = 1; day <= 31; ++day)
            book.WriteExcelCell(1, day + 2, row, text(rec, QStringLiteral("d%1").arg(day)), false, true, false);
        book.WriteExcelCell(1, 34, row, text(rec, QStringLiteral("i_time")), false, true, false);
        book.WriteExcelCell(1, 35, row, text(rec, QStringLiteral("f_price")), false, true, false);
        if (!general)
            book.WriteExcelCell(1, 36, row, text(rec, QStringLiteral("average_price")), false, true, false);
        if (written)
            written(rec + 1);
    }
}
