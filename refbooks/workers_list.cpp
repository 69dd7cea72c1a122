#include "workers_list.h"

#include "data_module.h"
#include "worker_dialog.h"

WorkersList::WorkersList(DataModule& dm, WorkerDialog& dialog, QWidget* parent)
    : RefList(dm, dm.workers,
              {.formName = QStringLiteral("TForm5"),
               .title = QStringLiteral("Список рабочих"),
               .columns = {{QStringLiteral("fio"), QStringLiteral("ФИО"), 300},
                           {QStringLiteral("s_staffpos_hl"), QStringLiteral("Должность"), 300}},
               .searchField = QStringLiteral("fio"),
               .shows = {DataKind::Worker}},
              parent),
      dialog_(dialog),
      store_(dm.db)
{
    layOutInRows();
    resize(641, 420);
}

void WorkersList::addItem()
{
    dialog_.openForAdd();
    reread(After::FirstRow);
}

void WorkersList::changeItem(const Row& row)
{
    dialog_.openForChange(row);
    reread(After::SameRow);
    accept();
}

void WorkersList::deleteItem(const Row& row)
{
    askAndDelete(row, QStringLiteral("Удалить работника?"), [this](int id) { return store_.remove(id); }, After::SameRow);
}
