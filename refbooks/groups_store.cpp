#include "groups_store.h"

#include "data_module.h"

void GroupsStore::add(const QString& name)
{
    Command& cmd = dm_.SQL_exec;
    cmd.setSql(QStringLiteral("INSERT INTO cmn_classifier.item(s_caption) VALUES(:name)"));
    cmd.setParam(QStringLiteral("name"), name);
    cmd.execute();
}

void GroupsStore::rename(int groupId, const QString& name)
{
    Command& cmd = dm_.SQL_exec;
    cmd.setSql(QStringLiteral("UPDATE cmn_classifier.item SET s_caption=:name where id=:id"));
    cmd.setParam(QStringLiteral("name"), name);
    cmd.setParam(QStringLiteral("id"), groupId);
    cmd.execute();
}
