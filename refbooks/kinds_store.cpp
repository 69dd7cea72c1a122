#include "kinds_store.h"

#include "data_module.h"

bool KindsStore::save(int kindId, const QString& name)
{
    Database& db = dm_.ADO_DB;
    Transaction tx(db);
    // Copies saving the same name at once wait for each other, so the test below holds.
    db.lockKey(QStringLiteral("vid_oper:") + name.toUpper());
    QString test = QStringLiteral("select count(*) as cnt from accounts_dep.vid_oper where upper(vid)=upper(:vid)");
    Params params{{QStringLiteral("vid"), name}};
    if (kindId != 0) {
        test += QStringLiteral(" and id<>:id");
        params.push_back({QStringLiteral("id"), kindId});
    }
    if (dm_.CheckExists(test, QStringLiteral("Такая операция уже заведена!"), params))
        return false;
    if (kindId == 0)
        db.execute(QStringLiteral("insert into accounts_dep.vid_oper(vid) values(:vid)"), {{QStringLiteral("vid"), name}});
    else
        db.execute(QStringLiteral("update accounts_dep.vid_oper set vid=:vid where id=:id"),
                   {{QStringLiteral("vid"), name}, {QStringLiteral("id"), kindId}});
    tx.commit();
    return true;
}

void KindsStore::remove(int kindId)
{
    dm_.ADO_DB.execute(QStringLiteral("delete from accounts_dep.vid_oper where id=:id"), {{QStringLiteral("id"), kindId}});
}
