#pragma once
// TForm5 "Список рабочих": browses, searches and edits the workers, and picks one for
// the entry dialog (tag 1) and the works dialog (tag 24).
#include "ref_list.h"
#include "workers_store.h"

class TForm2;

class TForm5 : public RefList {
    Q_OBJECT
public:
    explicit TForm5(TDataModule6& dm, QWidget* parent = nullptr);
    void setDialog(TForm2* dialog) { form2_ = dialog; }

    void Button1Click() override;
    void Button3Click() override;

protected:
    // Changes the worker in the dialog; the list closes afterwards.
    void changeRow() override;

private:
    WorkersStore store_;
    TForm2* form2_ = nullptr;
};
