#include "products_store.h"

#include "data_module.h"
#include "sql_text.h"
#include "unique_name.h"

Outcome ProductsStore::save(int productId, const ProductValues& product)
{
    Database& db = dm_.ADO_DB;
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
    return dm_.ADO_DB
        .scalar(QStringLiteral("select count(*) from accounts_dep.oper o where o.i_id=:id_ii"),
                {{QStringLiteral("id_ii"), productId}})
        .toInt();
}

int ProductsStore::entryCount(int productId, const QDate& today)
{
    return dm_.ADO_DB
        .scalar(QStringLiteral("select count(*) from accounts_dep.smena s where s.i_id=:id_ii and s.\"data\">=:dt"),
                {{QStringLiteral("id_ii"), productId}, {QStringLiteral("dt"), entriesSince(today)}})
        .toInt();
}

void ProductsStore::remove(int productId, bool operations, bool product, bool withEntries)
{
    if (!operations && !product)
        return;
    Database& db = dm_.ADO_DB;
    const Params id{{QStringLiteral("id"), productId}};
    Transaction tx(db);
    // Entries go before the operations they refer to.
    if (product && withEntries)
        db.execute(QStringLiteral("delete from accounts_dep.smena s where s.i_id=:id"), id);
    if (operations)
        db.execute(QStringLiteral("delete from accounts_dep.oper o where o.i_id=:id"), id);
    if (product)
        db.execute(QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv where id=:id"), id);
    tx.commit();
}
