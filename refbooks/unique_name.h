#pragma once
// The case-blind test that a name is not taken yet, run inside the transaction of the write
// it guards.
#include "outcome.h"

#include <QString>

class DataModule;

// Takes the lock of the name in `table` for the rest of the transaction, so copies of the
// program saving the same name at once wait for each other, then counts with `countStatement`
// the rows whose name is :name in any letter case, leaving out the row :id (`exceptId`, 0 for
// a new row). Refused with `message` when another row has the name.
Outcome uniqueName(DataModule& dm, const QString& table, const QString& countStatement, const QString& name,
                   int exceptId, const QString& message);
