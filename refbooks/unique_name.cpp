#include "unique_name.h"

#include "data_module.h"
#include "lock_keys.h"

Outcome uniqueName(TDataModule6& dm, const QString& table, const QString& countStatement, const QString& name,
                   int exceptId, const QString& message)
{
    dm.ADO_DB.lockKey(lock_keys::uniqueName(table, name));
    return dm.CheckExists(countStatement + QStringLiteral(" and id<>:id"), message,
                          {{QStringLiteral("name"), name}, {QStringLiteral("id"), exceptId}});
}
