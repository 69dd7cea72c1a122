#include "unique_name.h"

#include "data_module.h"
#include "lock_keys.h"

Outcome uniqueName(DataModule& dm, const QString& table, const QString& countStatement, const QString& name,
                   int exceptId, const QString& message)
{
    dm.db.lockKey(lock_keys::uniqueName(table, name));
    return dm.checkDuplicate(countStatement + QStringLiteral(" and id<>:id"), message,
                          {{QStringLiteral("name"), name}, {QStringLiteral("id"), exceptId}});
}
