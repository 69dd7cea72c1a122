#include "products_list.h"

#include "actions.h"
#include "data_module.h"
#include "messages.h"
#include "product_dialog.h"

#include <QHeaderView>
#include <QTableView>

ProductsList::ProductsList(DataModule& dm, ProductDialog& dialog, QWidget* parent)
    : RefList(dm, dm.products,
              {.formName = QStringLiteral("TForm3"),
               .title = QStringLiteral("Изделия (3)"),
               .columns = {{QStringLiteral("marka"), QStringLiteral("Марка изделия"), 315},
                           {QStringLiteral("nom"), QStringLiteral("Номенклатурная группа"), 162},
                           {QStringLiteral("massa"), QStringLiteral("Коробки"), 67}},
               .searchField = QStringLiteral("marka"),
               .swallowKeys = false,
               .shows = {DataKind::Product, DataKind::Group}},
              parent),
      dialog_(dialog),
      store_(dm)
{
    layOutInRows();
    resize(577, 420);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void ProductsList::addItem()
{
    if (dialog_.openForAdd())
        reread(After::SameRow);
}

void ProductsList::changeItem(const Row& row)
{
    if (dialog_.openForChange(row))
        reread(After::SameRow);
}

void ProductsList::deleteItem(const Row& row)
{
    const int id = row[QStringLiteral("id")].asInteger();
    runCommand(dm_.db, [&] {
        const int entries = store_.entryCount(id, today());
        const int operations = store_.operationCount(id);
        const bool dropOperations =
            operations > 0 && msg::askYesNo(QStringLiteral("По изделию есть расценки они будут удалены!!!"),
                                            QStringLiteral("Удаление"));
        const QString question =
            entries > 0 ? QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут "
                                         "удалены. Удалить изделие? ")
                        : QStringLiteral("Удалить изделие? ");
        const bool dropProduct = msg::askYesNo(question, QStringLiteral("Удаление"));
        return store_.remove(id, dropOperations, dropProduct, entries > 0);
    });
    reread(After::FirstRow);
}
