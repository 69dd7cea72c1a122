#include "products_store.h"

#include "data_module.h"
#include "decimal4.h"
#include "lock_keys.h"
#include "sql_text.h"
#include "text_rules.h"
#include "timesheet_cell.h"
#include "unique_name.h"

Outcome productFault(const ProductValues& product)
{
    if (product.mark.trimmed().isEmpty() || product.factor.trimmed().isEmpty() || product.groupId <= 0)
        return Outcome::refused(QStringLiteral("Все поля должны быть заполнены!"));
    if (Outcome mark = checkText(product.mark.trimmed(), QStringLiteral("Марка"), 254); !mark)
        return mark;
    const auto factor = Decimal4::fromText(product.factor);
    if (!factor || factor->isNegative())
        return Outcome::refused(QStringLiteral("Расценка должна быть числом, например 1,5."));
    return Outcome::done();
}

Outcome ProductsStore::save(int productId, const ProductValues& typed)
{
    if (Outcome valid = productFault(typed); !valid)
        return valid;
    if (Outcome allowed = dm_.db.permits(Command::EditReferenceBooks); !allowed)
        return allowed;
    const ProductValues product{typed.mark.trimmed(), typed.factor.trimmed(), typed.groupId};
    Database& db = dm_.db;
    Transaction tx(db);
    if (const Outcome test = uniqueName(
            dm_, QStringLiteral("izdel"),
            QStringLiteral("select count(*) from accounts_dep.izdel where upper(marka)=upper(:name)"), product.mark,
            productId, QStringLiteral("Такая марка изделия уже заведена!"));
        !test)
        return test;
    const Params params{{QStringLiteral("marka"), product.mark},
                        {QStringLiteral("massa"), sql::decimalPoint(product.factor)},
                        {QStringLiteral("grp"), product.groupId},
                        {QStringLiteral("id"), productId}};
    if (productId == 0)
        db.execute(QStringLiteral("INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, "
                                  "id_class_item)VALUES(:marka, '', 6, :massa::numeric, :grp)"),
                   params);
    else
        db.execute(QStringLiteral("UPDATE cmn_gds_and_srv.gds_and_srv SET s_caption=:marka, s_description='', "
                                  "id_msm_bs=6, massa=:massa::numeric, id_class_item=:grp where id=:id"),
                   params);
    tx.commit();
    return Outcome::done();
}

QDate ProductsStore::entriesSince(const QDate& today)
{
    const int month = today.month() == 1 ? 13 : today.month();
    return QDate(2000, month - 1, 1);
}

int ProductsStore::operationCount(int productId)
{
    return dm_.db
        .scalar(QStringLiteral("select count(*) from accounts_dep.oper o where o.i_id=:id_ii"),
                {{QStringLiteral("id_ii"), productId}})
        .toInt();
}

int ProductsStore::entryCount(int productId, const QDate& today)
{
    return dm_.db
        .scalar(QStringLiteral("select count(*) from accounts_dep.smena s where s.i_id=:id_ii and s.\"data\">=:dt"),
                {{QStringLiteral("id_ii"), productId}, {QStringLiteral("dt"), entriesSince(today)}})
        .toInt();
}

Outcome ProductsStore::remove(int productId, bool operations, bool product, bool withEntries)
{
    if (!operations && !product)
        return Outcome::done();
    if (Outcome allowed = dm_.db.permits(Command::EditReferenceBooks); !allowed)
        return allowed;
    Database& db = dm_.db;
    const Params id{{QStringLiteral("id"), productId}};
    Transaction tx(db);
    // Entries go before the operations they refer to; the day cells they leave are recomputed.
    if (product && withEntries) {
        if (Outcome cells = deleteEntries(productId); !cells)
            return cells;
    }
    if (operations)
        db.execute(QStringLiteral("delete from accounts_dep.oper o where o.i_id=:id"), id);
    if (product)
        db.execute(QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv where id=:id"), id);
    tx.commit();
    return Outcome::done();
}

Outcome ProductsStore::deleteEntries(int productId)
{
    Database& db = dm_.db;
    struct Cell {
        int worker, shift;
        QDate date;
    };
    QVector<Cell> cells;
    QStringList keys;
    QList<QDate> dates;
    QSqlQuery gone = db.exec(QStringLiteral("with gone as (delete from accounts_dep.smena s where s.i_id=:id "
                                            "returning w_id, smena, data) select distinct w_id, smena, data from gone"),
                             {{QStringLiteral("id"), productId}});
    while (gone.next()) {
        const Cell cell{gone.value(0).toInt(), gone.value(1).toInt(), gone.value(2).toDate()};
        cells.push_back(cell);
        dates << cell.date;
        keys << lock_keys::timesheetRow(cell.worker, cell.shift, cell.date.month(), cell.date.year());
    }
    keys.sort();
    keys.removeDuplicates();
    db.lockKeys(lock_keys::timesheetMonths(dates), keys);
    for (const Cell& cell : cells)
        if (Outcome updated = updateDayCell(db, cell.worker, cell.shift, cell.date, false); !updated)
            return updated;
    return Outcome::done();
}
