#include "groups_store.h"

#include "database.h"

void GroupsStore::add(const QString& name)
{
    db_.execute(QStringLiteral("INSERT INTO cmn_classifier.item(s_caption) VALUES(:name)"), {{QStringLiteral("name"), name}});
}

void GroupsStore::rename(int groupId, const QString& name)
{
    db_.execute(QStringLiteral("UPDATE cmn_classifier.item SET s_caption=:name where id=:id"),
                {{QStringLiteral("name"), name}, {QStringLiteral("id"), groupId}});
}
