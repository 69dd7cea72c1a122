#include "unique_name.h"

#include "data_module.h"

bool nameTaken(TDataModule6& dm, const QString& keyPrefix, QString countStatement, const QString& name, int exceptId,
               const QString& message)
{
    dm.ADO_DB.lockKey(keyPrefix + name.toUpper());
    Params params{{QStringLiteral("name"), name}};
    if (exceptId != 0) {
        countStatement += QStringLiteral(" and id<>:id");
        params.push_back({QStringLiteral("id"), exceptId});
    }
    return dm.CheckExists(countStatement, message, params) != 0;
}
