#include "works_store.h"

#include "change_seam.h"
#include "database.h"
#include "lock_keys.h"
#include "month_rebuild.h"
#include "timesheet_cell.h"

#include <QStringList>

const QString kWorksChangedMeanwhile =
    QStringLiteral("Запись изменена или удалена другим пользователем. Список перечитан.");

namespace {

const QString kTable = QStringLiteral("accounts_dep.fatigue");

// The fields that say whether a stored record is still the one the list showed.
const QStringList& storedFields()
{
    static const QStringList fields{QStringLiteral("id_nom"), QStringLiteral("id_o"),  QStringLiteral("id_p"),
                                    QStringLiteral("d_date"), QStringLiteral("cnt"),   QStringLiteral("price"),
                                    QStringLiteral("i_holiday"), QStringLiteral("i_night")};
    return fields;
}

// The day cell a record counts in: the works row of its worker, kind and day/night flag.
struct Cell {
    int worker = 0;
    int kind = 0;
    int night = 0;
    QDate date;
    bool operator==(const Cell&) const = default;
    QString rowKey() const { return lock_keys::timesheetRow(worker, 0, date.month(), date.year()); }
};

Cell cellOf(const Row& stored)
{
    return {stored[QStringLiteral("id_p")].asInteger(), stored[QStringLiteral("id_o")].asInteger(),
            stored[QStringLiteral("i_night")].asInteger(), stored[QStringLiteral("d_date")].asDate()};
}

Outcome updateCell(Database& db, const Cell& cell, bool createRow)
{
    return updateWorksDayCell(db, cell.worker, cell.kind, cell.night, cell.date, createRow);
}

// A write of one works record of the cell's worker and day, through the change seam.
Outcome writeRecord(Database& db, ChangeAction action, const Cell& cell, const QString& rows, const Params& params)
{
    Change change{.kind = DataKind::Works,
                  .action = action,
                  .table = kTable,
                  .dateColumn = QStringLiteral("d_date"),
                  .days = {cell.date},
                  .workerId = cell.worker};
    return applyChange(db, change, {.rows = rows, .params = params});
}

// The columns a save writes, each bound as the parameter of its name.
Params columnValues(const WorksValues& v)
{
    return {{QStringLiteral("id_nom"), v.nomenclatureId},
            {QStringLiteral("id_o"), v.kind},
            {QStringLiteral("id_p"), v.workerId},
            {QStringLiteral("cnt"), v.hours},
            // As exact decimal text: the database converts it, no binary fraction on the way.
            {QStringLiteral("price"), v.price.toString()},
            {QStringLiteral("i_holiday"), v.dayOff ? 1 : 0},
            {QStringLiteral("i_night"), v.night ? 1 : 0}};
}

} // namespace

std::optional<Decimal4> WorksStore::priceOf(const Decimal4& normPrice, bool dayOff, bool night)
{
    std::optional<Decimal4> price = normPrice;
    if (dayOff)
        price = price->times(2);
    if (price && night)
        price = price->scaled(6, 5);
    return price;
}

QString WorksStore::normPriceFault(const QString& text)
{
    if (Decimal4::fromText(text))
        return {};
    if (text.trimmed().compare(QLatin1String("NaN"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Цена нормы вида работ не является числом.");
    return QStringLiteral("Цена вне допустимых пределов.");
}

std::optional<QString> worksFault(const WorksValues& v, bool newRecord)
{
    if (v.nomenclatureId <= 0 || v.workerId <= 0 || (v.kind != 7777 && v.kind != 7778)
        || (newRecord && !v.date.isValid()))
        return QStringLiteral("Все поля должны быть заполнены!");
    if (v.hours < 1)
        return QStringLiteral("Нужно завести количество!");
    if (v.hours > 24)
        return QStringLiteral("Количество часов не может быть больше 24.");
    if (v.price.isNegative())
        return QStringLiteral("Цена не может быть отрицательной.");
    if (v.price.units() > kMaxWorksPrice * 10000)
        return QStringLiteral("Цена вне допустимых пределов.");
    return std::nullopt;
}

Outcome WorksStore::admit(Command command, const WorksValues& values, bool newRecord) const
{
    if (Outcome allowed = db_.permits(command); !allowed)
        return allowed;
    if (const auto fault = worksFault(values, newRecord))
        return Outcome::refused(*fault);
    return Outcome::done();
}

QString WorksStore::listStatement()
{
    return QStringList{
        QStringLiteral("select distinct vo.vid, p.fio, i.s_caption, (f.cnt*f.price)::text as summ,  f.*, "
                       "f.price::text as s_price, case when f.i_holiday=0 then '' else '+' end as s_holiday, "
                       "case when f.i_night=0 then '' else '+' end as s_night"),
        QStringLiteral("from accounts_dep.fatigue f, cmn_classifier.item i, accounts_dep.person p,accounts_dep.vid_oper "
                       "vo, accounts_dep.oper o "),
        QStringLiteral("where f.id_nom =i.id and p.id=f.id_p and vo.id = f.id_o and o.i_id >=7777 and o.vid >=7777 and "
                       "f.d_date = :d_date"),
        QStringLiteral("order by p.fio, f.id")}
        .join(u'\n');
}

QString WorksStore::kindsStatement()
{
    // One row per kind: its operation's lowest norm price is the price per hour.
    return QStringList{
        QStringLiteral("select vo.id, vo.vid, min(n.price)::numeric::text as price from accounts_dep.vid_oper "
                       "vo,accounts_dep.norm n, accounts_dep.oper o "),
        QStringLiteral("where n.o_id =o.id and o.vid=vo.id and (vo.id = 7777 or vo.id = 7778)"),
        QStringLiteral("group by vo.id, vo.vid order by vo.id")}
        .join(u'\n');
}

std::optional<Row> WorksStore::lockStored(int id)
{
    return firstRow(db_,
                    QStringLiteral("select %1 from accounts_dep.fatigue where id=:id for update")
                        .arg(storedFields().join(QStringLiteral(", "))),
                    {{QStringLiteral("id"), id}});
}

Outcome WorksStore::add(const WorksValues& values)
{
    if (Outcome admitted = admit(Command::AddWorks, values, true); !admitted)
        return admitted;
    const Cell cell{values.workerId, values.kind, values.night ? 1 : 0, values.date};
    Transaction tx(db_);
    // Locks in one order everywhere (lock_keys.h): the month, then the timesheet row.
    db_.lockKeys(lock_keys::timesheetMonths({values.date}), {cell.rowKey()});
    Params params = columnValues(values);
    params += Params{{QStringLiteral("d_date"), values.date},
                     {QStringLiteral("i_mnth"), values.date.month()},
                     {QStringLiteral("i_year"), values.date.year()}};
    if (Outcome written = writeRecord(
            db_, ChangeAction::Add, cell,
            rowWrite::insert(kTable,
                             QStringLiteral("id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, "
                                            "i_night"),
                             QStringLiteral(":id_nom, :id_o, :id_p, :d_date, :i_mnth, :i_year, 1, :cnt, :price, "
                                            ":i_holiday, :i_night")),
            params);
        !written)
        return written;
    if (Outcome written = updateCell(db_, cell, true); !written)
        return written;
    tx.commit();
    return Outcome::done();
}

Outcome WorksStore::change(const Row& shown, const WorksValues& values)
{
    if (Outcome admitted = admit(Command::ChangeWorks, values, false); !admitted)
        return admitted;
    const int id = shown[QStringLiteral("id")].asInteger();
    Transaction tx(db_);
    const std::optional<Row> stored = lockStored(id);
    if (!stored || !stored->sameAs(shown, storedFields()))
        return Outcome::changedMeanwhile(kWorksChangedMeanwhile);
    const Cell left = cellOf(*stored);
    const Cell joined{values.workerId, values.kind, values.night ? 1 : 0, left.date};
    QStringList rows{left.rowKey(), joined.rowKey()};
    rows.sort();
    rows.removeDuplicates();
    db_.lockKeys(lock_keys::timesheetMonths({left.date}), rows);
    Params params = columnValues(values);
    params += Params{{QStringLiteral("id"), id}};
    if (Outcome written = writeRecord(
            db_, ChangeAction::Change, joined,
            rowWrite::updateById(kTable, QStringLiteral("id_nom=:id_nom, id_o=:id_o, id_p=:id_p, cnt=:cnt, price=:price, "
                                                        "i_holiday=:i_holiday, i_night=:i_night")),
            params);
        !written)
        return written;
    if (Outcome written = updateCell(db_, joined, true); !written)
        return written;
    // The cell the record left keeps no hours of it.
    if (!(left == joined)) {
        if (Outcome written = updateCell(db_, left, false); !written)
            return written;
    }
    tx.commit();
    return Outcome::done();
}

Outcome WorksStore::remove(const Row& shown)
{
    if (Outcome allowed = db_.permits(Command::DeleteWorks); !allowed)
        return allowed;
    const int id = shown[QStringLiteral("id")].asInteger();
    Transaction tx(db_);
    const std::optional<Row> stored = lockStored(id);
    if (!stored || !stored->sameAs(shown, storedFields()))
        return Outcome::changedMeanwhile(kWorksChangedMeanwhile);
    const Cell cell = cellOf(*stored);
    db_.lockKeys(lock_keys::timesheetMonths({cell.date}), {cell.rowKey()});
    if (Outcome written = writeRecord(db_, ChangeAction::Delete, cell,
                                      rowWrite::deleteById(kTable),
                                      {{QStringLiteral("id"), id}});
        !written)
        return written;
    if (Outcome written = updateCell(db_, cell, false); !written)
        return written;
    tx.commit();
    return Outcome::done();
}

Outcome WorksStore::recomputeAveragePrices(TimesheetMonth month)
{
    const QString records = QStringLiteral(" where i_mnth = :month and i_year = :year and id_o =7778");
    const QString recompute =
        QStringList{
            QStringLiteral("UPDATE accounts_dep.fatigue f SET price=coalesce((select case when "
                           "coalesce(sum(s.time),0)::numeric(10,2)=0 then 0 else "),
            QStringLiteral(" coalesce(sum((s.kol_vo-s.brak)*(s.cena::numeric+s.cena::numeric*f.i_holiday))/sum(time),0)"
                           "::numeric(10,2) end as price "),
            QStringLiteral(" from cmn_classifier.item i, accounts_dep.smena s, accounts_dep.izdel gas, "
                           "accounts_dep.person p where i.id_level =2 and s.i_id = gas.id and gas.id_class_item =i.id "),
            QStringLiteral(" and s.data<:next and s.data>=:first and p.id=s.w_id and p.id=f.id_p and i.id=f.id_nom "
                           "group by i.s_caption, i.id, p.id order by fio),0)"),
            records + QStringLiteral(" returning f.*")}
            .join(u'\n');
    // The month's records as one history row, before and after.
    Change change{.kind = DataKind::Works,
                  .action = ChangeAction::Rebuild,
                  .table = kTable,
                  .month = month.first()};
    const Write write = monthRowsWrite(
        QStringLiteral("jsonb_build_object('year', :year, 'month', :month, 'id_o', 7778)"),
        QStringLiteral("select * from accounts_dep.fatigue") + records, recompute,
        {{QStringLiteral("first"), month.first()},
         {QStringLiteral("next"), month.next()},
         {QStringLiteral("month"), month.month},
         {QStringLiteral("year"), month.year}});
    return writeAs(db_, Command::RecomputeWorks, [&] { return applyChange(db_, change, write); });
}
