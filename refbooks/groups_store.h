#pragma once
// The statements of the nomenclature groups: adding a group to the plant's classifier and
// renaming one.
class Database;
class QString;

class GroupsStore {
public:
    explicit GroupsStore(Database& db) : db_(db) {}

    // The database makes a new classifier item a level-2 group.
    void add(const QString& name);
    void rename(int groupId, const QString& name);

private:
    Database& db_;
};
