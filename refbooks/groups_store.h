#pragma once
// The statements of the nomenclature groups: adding a group to the plant's classifier and
// renaming one.
class QString;
class TDataModule6;

class GroupsStore {
public:
    explicit GroupsStore(TDataModule6& dm) : dm_(dm) {}

    // The database makes a new classifier item a level-2 group.
    void add(const QString& name);
    void rename(int groupId, const QString& name);

private:
    TDataModule6& dm_;
};
