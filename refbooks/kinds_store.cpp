#include "kinds_store.h"

#include "change_seam.h"
#include "data_module.h"
#include "text_rules.h"
#include "unique_name.h"

namespace {
const QString kTable = QStringLiteral("accounts_dep.vid_oper");
} // namespace

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
    const Params params{{QStringLiteral("vid"), name}, {QStringLiteral("id"), kindId}};
    const Outcome written =
        kindId == 0
            ? applyRowChange(db, DataKind::OperationKind, ChangeAction::Add, kTable,
                             rowWrite::insert(kTable, QStringLiteral("vid"), QStringLiteral(":vid")), params)
            : applyRowChange(db, DataKind::OperationKind, ChangeAction::Change, kTable,
                             rowWrite::updateById(kTable, QStringLiteral("vid=:vid")), params);
    if (!written)
        return written;
    tx.commit();
    return Outcome::done();
}

Outcome KindsStore::remove(int kindId)
{
    return writeAs(dm_.db, Command::EditReferenceBooks, [&] {
        return applyRowChange(dm_.db, DataKind::OperationKind, ChangeAction::Delete, kTable,
                              rowWrite::deleteById(kTable), {{QStringLiteral("id"), kindId}});
    });
}
