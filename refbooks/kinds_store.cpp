#include "kinds_store.h"

#include "data_module.h"
#include "unique_name.h"

Outcome KindsStore::save(int kindId, const QString& name)
{
    Database& db = dm_.db;
    Transaction tx(db);
    if (const Outcome test = uniqueName(
            dm_, QStringLiteral("vid_oper"),
            QStringLiteral("select count(*) from accounts_dep.vid_oper where upper(vid)=upper(:name)"), name, kindId,
            QStringLiteral("Такая операция уже заведена!"));
        !test)
        return test;
    if (kindId == 0)
        db.execute(QStringLiteral("insert into accounts_dep.vid_oper(vid) values(:vid)"), {{QStringLiteral("vid"), name}});
    else
        db.execute(QStringLiteral("update accounts_dep.vid_oper set vid=:vid where id=:id"),
                   {{QStringLiteral("vid"), name}, {QStringLiteral("id"), kindId}});
    tx.commit();
    return Outcome::done();
}

void KindsStore::remove(int kindId)
{
    dm_.db.execute(QStringLiteral("delete from accounts_dep.vid_oper where id=:id"), {{QStringLiteral("id"), kindId}});
}
