#include "nomenclature_list.h"

#include "data_module.h"
#include "group_dialog.h"

#include <QHeaderView>
#include <QLayout>
#include <QPushButton>
#include <QTableView>

NomenclatureList::NomenclatureList(DataModule& dm, GroupDialog& dialog, QWidget* parent)
    : RefList(dm,
              std::make_unique<Dataset>(
                  dm.db, QStringLiteral("item"),
                  QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption")),
              {.formName = QStringLiteral("TForm26"),
               .title = QStringLiteral("Номенклатура (26)"),
               .columns = {{QStringLiteral("s_caption"), QStringLiteral("Наименование"), 534}},
               .searchField = QStringLiteral("s_caption"),
               .addName = QStringLiteral("Button2"),
               .changeName = QStringLiteral("Button3"),
               .deleteName = QStringLiteral("Button1"),
               .shows = {DataKind::Group}},
              parent),
      groups(list_),
      dialog_(dialog)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    grid->setAccessibleName(QStringLiteral("Номенклатурные группы"));
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->setMouseTracking(true);
    grid->setMinimumSize(580, 400);
    deleteButton->setEnabled(false);
    layOutInOneRow();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void NomenclatureList::addItem()
{
    if (dialog_.openForAdd())
        reread(After::SameRow);
}

void NomenclatureList::changeItem(const Row& row)
{
    if (dialog_.openForChange(row))
        reread(After::SameRow);
}
