#pragma once
// TForm8 "Виды операций (8)": browses, adds, renames and deletes the kinds of operations,
// and picks one for the operation dialog (tag 1). Its search field shows only while choosing.
#include "kinds_store.h"
#include "ref_list.h"

class TForm9;

class TForm8 : public RefList {
    Q_OBJECT
public:
    explicit TForm8(TDataModule6& dm, QWidget* parent = nullptr);
    void setDialog(TForm9* dialog) { form9_ = dialog; }

    void Button1Click() override;
    void Button3Click() override;

protected:
    void changeRow() override;

private:
    KindsStore store_;
    TForm9* form9_ = nullptr;
};
