#pragma once
// The statements of the nomenclature groups: adding a group to the plant's classifier and
// renaming one. Each is refused, with nothing written, when the login may not edit the
// reference books, when the name holds a control character or is longer than the column's
// 254 characters. The name is taken trimmed.
#include "outcome.h"

class Database;
class QString;

class GroupsStore {
public:
    explicit GroupsStore(Database& db) : db_(db) {}

    // The database makes a new classifier item a level-2 group.
    Outcome add(const QString& name);
    Outcome rename(int groupId, const QString& name);

private:
    static Outcome checkName(const QString& name);

    Database& db_;
};
