#include "groups_store.h"

#include "database.h"
#include "text_rules.h"

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
        db_.execute(QStringLiteral("INSERT INTO cmn_classifier.item(s_caption) VALUES(:name)"),
                    {{QStringLiteral("name"), name.trimmed()}});
    });
}

Outcome GroupsStore::rename(int groupId, const QString& name)
{
    if (Outcome valid = checkName(name); !valid)
        return valid;
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        db_.execute(QStringLiteral("UPDATE cmn_classifier.item SET s_caption=:name where id=:id"),
                    {{QStringLiteral("name"), name.trimmed()}, {QStringLiteral("id"), groupId}});
    });
}
