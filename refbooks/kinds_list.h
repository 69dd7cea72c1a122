#pragma once
// KindsList (TForm8) "Виды операций (8)": browses, adds, renames and deletes the kinds of
// operations, and picks one for the operation dialog. Its search field shows only while
// choosing.
#include "kinds_store.h"
#include "ref_list.h"

class KindDialog;

class KindsList : public RefList {
    Q_OBJECT
public:
    KindsList(DataModule& dm, KindDialog& dialog, QWidget* parent = nullptr);

protected:
    void addItem() override;
    void changeItem(const Row& row) override;
    void deleteItem(const Row& row) override;

private:
    KindDialog& dialog_;
    KindsStore store_;
};
