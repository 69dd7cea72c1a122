#include "groups_store.h"

#include "change_seam.h"
#include "database.h"
#include "text_rules.h"

namespace {
const QString kTable = QStringLiteral("cmn_classifier.item");
} // namespace

Outcome GroupsStore::checkName(const QString& name)
{
    // An empty name is a group of its own, as the dialog has always saved it.
    return checkText(name.trimmed(), QStringLiteral("Наименование"), 254);
}

Outcome GroupsStore::add(const QString& name)
{
    if (Outcome valid = checkName(name); !valid)
        return valid;
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        return applyRowChange(db_, DataKind::Group, ChangeAction::Add, kTable,
                              rowWrite::insert(kTable, QStringLiteral("s_caption"), QStringLiteral(":name")),
                              {{QStringLiteral("name"), name.trimmed()}});
    });
}

Outcome GroupsStore::rename(int groupId, const QString& name)
{
    if (Outcome valid = checkName(name); !valid)
        return valid;
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        return applyRowChange(db_, DataKind::Group, ChangeAction::Change, kTable,
                              rowWrite::updateById(kTable, QStringLiteral("s_caption=:name")),
                              {{QStringLiteral("name"), name.trimmed()}, {QStringLiteral("id"), groupId}});
    });
}
