#pragma once
// NomenclatureList (TForm26) "Номенклатура (26)": the nomenclature groups (level-2 classifier
// items); adds and renames them through the group dialog, and picks one for the works dialog.
#include "ref_list.h"

class GroupDialog;

class NomenclatureList : public RefList {
    Q_OBJECT
public:
    NomenclatureList(DataModule& dm, GroupDialog& dialog, QWidget* parent = nullptr);

    // The groups: the list's own query, not a shared one.
    Dataset& groups;

protected:
    void addItem() override;
    void changeItem(const Row& row) override;
    // Groups are not deleted here: "Удалить" stays disabled.
    void deleteItem(const Row&) override {}

private:
    GroupDialog& dialog_;
};
