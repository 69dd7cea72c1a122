#pragma once
// WorkersList (TForm5) "Список рабочих": browses, searches and edits the workers, and picks
// one for the entry dialog and the works dialog.
#include "ref_list.h"
#include "workers_store.h"

class WorkerDialog;

class WorkersList : public RefList {
    Q_OBJECT
public:
    WorkersList(DataModule& dm, WorkerDialog& dialog, QWidget* parent = nullptr);

protected:
    void addItem() override;
    // Changes the worker in the dialog; the list closes afterwards.
    void changeItem(const Row& row) override;
    void deleteItem(const Row& row) override;

private:
    WorkerDialog& dialog_;
    WorkersStore store_;
};
