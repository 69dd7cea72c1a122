#include "products_store.h"

#include "change_seam.h"
#include "data_module.h"
#include "decimal4.h"
#include "lock_keys.h"
#include "operations_list_store.h"
#include "sql_text.h"
#include "text_rules.h"
#include "timesheet_cell.h"
#include "unique_name.h"

#include <QSet>

namespace {
const QString kGoods = QStringLiteral("cmn_gds_and_srv.gds_and_srv");
} // namespace

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
    const Outcome written =
        productId == 0
            ? applyRowChange(db, DataKind::Product, ChangeAction::Add, kGoods,
                             rowWrite::insert(kGoods, QStringLiteral("s_caption, s_description, id_msm_bs, massa, id_class_item"),
                                              QStringLiteral(":marka, '', 6, :massa::numeric, :grp")),
                             params)
            : applyRowChange(db, DataKind::Product, ChangeAction::Change, kGoods,
                             rowWrite::updateById(kGoods, QStringLiteral("s_caption=:marka, s_description='', id_msm_bs=6, "
                                                                         "massa=:massa::numeric, id_class_item=:grp")),
                             params);
    if (!written)
        return written;
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
    if (operations) {
        if (Outcome deleted = deleteOperations(db, QStringLiteral("o.i_id=:id"), id); !deleted)
            return deleted;
    }
    if (product) {
        if (Outcome deleted = applyRowChange(db, DataKind::Product, ChangeAction::Delete, kGoods,
                                             rowWrite::deleteById(kGoods), id);
            !deleted)
            return deleted;
    }
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
    // Each entry with its history row; an entry of a closed month refuses the whole delete.
    Change change{.kind = DataKind::Entry,
                  .action = ChangeAction::Delete,
                  .table = QStringLiteral("accounts_dep.smena"),
                  .dateColumn = QStringLiteral("data")};
    QVector<Row> gone;
    if (Outcome deleted = applyChange(db, change,
                                      {.rows = QStringLiteral("delete from accounts_dep.smena t where t.i_id=:id "
                                                              "returning w_id, smena, data, ")
                                               + rowWrite::deleted(QStringLiteral("t")),
                                       .params = {{QStringLiteral("id"), productId}},
                                       .readBack = QStringLiteral("w_id, smena, data")},
                                      &gone);
        !deleted)
        return deleted;
    QVector<Cell> cells;
    QSet<QString> seen;
    QStringList keys;
    QList<QDate> dates;
    for (const Row& entry : gone) {
        const Cell cell{entry[QStringLiteral("w_id")].asInteger(), entry[QStringLiteral("smena")].asInteger(),
                        entry[QStringLiteral("data")].asDate()};
        const QString rowKey = lock_keys::timesheetRow(cell.worker, cell.shift, cell.date.month(), cell.date.year());
        const QString dayKey = rowKey + u':' + QString::number(cell.date.day());
        if (seen.contains(dayKey))
            continue;
        seen.insert(dayKey);
        cells.push_back(cell);
        dates << cell.date;
        keys << rowKey;
    }
    keys.sort();
    keys.removeDuplicates();
    db.lockKeys(lock_keys::timesheetMonths(dates), keys);
    for (const Cell& cell : cells)
        if (Outcome updated = updateDayCell(db, cell.worker, cell.shift, cell.date, false); !updated)
            return updated;
    return Outcome::done();
}
