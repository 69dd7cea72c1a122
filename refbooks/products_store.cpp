#include "products_store.h"

#include "data_module.h"
#include "unique_name.h"

ProductsStore::ProductsStore(TDataModule6& dm)
    : Izdel_Smena(dm.ADO_DB, QStringLiteral("Izdel_Smena"),
                  QStringLiteral("select count(*) as cnt from accounts_dep.smena s where s.i_id =:id_ii and "
                                 "s.\"data\">=:dt\n")),
      ii_oper(dm.ADO_DB, QStringLiteral("ii_oper"),
              QStringLiteral("select count(*) as cnt from accounts_dep.oper o where o.i_id =:id_ii\n")),
      dm_(dm)
{
}

QString ProductsStore::factorText(const QString& typed)
{
    QString text = typed.trimmed();
    qsizetype at = text.indexOf(u',');
    if (at < 0)
        at = text.indexOf(u'.');
    if (at >= 0)
        text[at] = u'.';
    return text;
}

bool ProductsStore::save(int productId, const QString& mark, const QString& factor, int groupId)
{
    Database& db = dm_.ADO_DB;
    Transaction tx(db);
    if (nameTaken(dm_, QStringLiteral("izdel:"),
                  QStringLiteral("select count(*) as cnt from accounts_dep.izdel where upper(marka)=upper(:name)"), mark,
                  productId, QStringLiteral("Такая марка изделия уже заведена!")))
        return false;

    Command& cmd = dm_.SQL_exec;
    if (productId == 0)
        cmd.setSql(QStringLiteral("INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, "
                                  "id_class_item)VALUES(:marka, '', 6, :massa::numeric, :grp)"));
    else
        cmd.setSql(QStringLiteral("UPDATE cmn_gds_and_srv.gds_and_srv SET s_caption=:marka, s_description='', "
                                  "id_msm_bs=6, massa=:massa::numeric, id_class_item=:grp where id=:id"));
    cmd.setParam(QStringLiteral("marka"), mark);
    cmd.setParam(QStringLiteral("massa"), factorText(factor));
    cmd.setParam(QStringLiteral("grp"), groupId);
    cmd.setParam(QStringLiteral("id"), productId);
    cmd.execute();
    tx.commit();
    return true;
}

QDate ProductsStore::entriesSince(const QDate& today)
{
    const int month = today.month() == 1 ? 13 : today.month();
    return QDate(2000, month - 1, 1);
}

int ProductsStore::count(Dataset& ds)
{
    ds.open();
    const int n = ds.field(QStringLiteral("cnt")).asInteger();
    ds.close();
    return n;
}

int ProductsStore::operationCount(int productId)
{
    ii_oper.close();
    ii_oper.setParam(QStringLiteral("id_ii"), productId);
    return count(ii_oper);
}

int ProductsStore::entryCount(int productId, const QDate& today)
{
    Izdel_Smena.close();
    Izdel_Smena.setParam(QStringLiteral("id_ii"), productId);
    Izdel_Smena.setParam(QStringLiteral("dt"), entriesSince(today));
    return count(Izdel_Smena);
}

void ProductsStore::remove(int productId, bool operations, bool product, bool withEntries)
{
    if (!operations && !product)
        return;
    Database& db = dm_.ADO_DB;
    Command& cmd = dm_.DelSmena;
    Transaction tx(db);
    cmd.setParam(QStringLiteral("id"), productId);
    // Entries go before the operations they refer to.
    if (product && withEntries) {
        cmd.setSql(QStringLiteral("delete from accounts_dep.smena s where s.i_id =:id"));
        cmd.execute();
    }
    if (operations) {
        cmd.setSql(QStringLiteral("delete from accounts_dep.oper o where o.i_id =:id"));
        cmd.execute();
    }
    if (product) {
        cmd.setSql(QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv  where id=:id"));
        cmd.execute();
    }
    tx.commit();
}
