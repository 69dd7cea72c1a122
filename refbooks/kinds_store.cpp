#include "kinds_store.h"

#include "data_module.h"
#include "text_rules.h"
#include "unique_name.h"

Outcome KindsStore::save(int kindId, const QString& typed)
{
    // The column pads a name with blanks: a name is the same with or without them.
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return Outcome::refused(QStringLiteral("Все поля должны быть заполнены!"));
    if (Outcome valid = checkText(name, QStringLiteral("Вид операции"), 128); !valid)
        return valid;
    if (Outcome allowed = dm_.db.permits(Command::EditReferenceBooks); !allowed)
        return allowed;
    Database& db = dm_.db;
    Transaction tx(db);
    if (const Outcome test = uniqueName(
            dm_, QStringLiteral("vid_oper"),
            QStringLiteral("select count(*) from accounts_dep.vid_oper where upper(rtrim(vid))=upper(:name)"), name,
            kindId, QStringLiteral("Такая операция уже заведена!"));
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

Outcome KindsStore::remove(int kindId)
{
    return writeAs(dm_.db, Command::EditReferenceBooks, [&] {
        dm_.db.execute(QStringLiteral("delete from accounts_dep.vid_oper where id=:id"),
                       {{QStringLiteral("id"), kindId}});
    });
}
