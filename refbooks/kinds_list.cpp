#include "kinds_list.h"

#include "data_module.h"
#include "kind_dialog.h"

#include <QTableView>

KindsList::KindsList(DataModule& dm, KindDialog& dialog, QWidget* parent)
    : RefList(dm, dm.operationKinds,
              {.formName = QStringLiteral("TForm8"),
               .title = QStringLiteral("Виды операций (8)"),
               .columns = {{QStringLiteral("VID"), QStringLiteral("Операции"), 309}},
               .searchField = QStringLiteral("vid"),
               .searchWhileBrowsing = false,
               .shows = {DataKind::OperationKind}},
              parent),
      dialog_(dialog),
      store_(dm)
{
    layOutInRows();
    grid->setMinimumSize(360, 360);
}

void KindsList::addItem()
{
    if (dialog_.openForAdd())
        reread(After::FirstRow);
}

void KindsList::changeItem(const Row& row)
{
    if (dialog_.openForChange(row))
        reread(After::FirstRow);
}

void KindsList::deleteItem(const Row& row)
{
    askAndDelete(row, QStringLiteral("Удалить вид операции?"), [this](int id) { return store_.remove(id); }, After::FirstRow);
}
