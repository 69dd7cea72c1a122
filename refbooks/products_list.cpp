#include "products_list.h"

#include "actions.h"
#include "data_module.h"
#include "messages.h"
#include "product_dialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

TForm3::TForm3(TDataModule6& dm, QWidget* parent)
    : RefList(dm, dm.Izdel,
              {QStringLiteral("Form3"),
               QStringLiteral("Изделия (3)"),
               {{QStringLiteral("marka"), QStringLiteral("Марка изделия"), 315},
                {QStringLiteral("nom"), QStringLiteral("Номенклатурная группа"), 162},
                {QStringLiteral("massa"), QStringLiteral("Коробки"), 67}},
               QStringLiteral("marka"),
               false,
               true},
              parent),
      store_(dm)
{
    resize(577, 420);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void TForm3::Button1Click()
{
    if (Tag != 0 || !form7_)
        return;
    const int remembered = list_.recNo();
    form7_->Edit1->clear();
    form7_->Edit2->clear();
    form7_->setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    form7_->Tag = 1;
    form7_->openItems();
    form7_->exec();
    form7_->closeItems();
    list_.setRecNo(remembered);
}

void TForm3::changeRow()
{
    if (!form7_)
        return;
    const int remembered = list_.recNo();
    form7_->setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
    form7_->Tag = 2;
    form7_->ProductId = list_.field(QStringLiteral("id")).asInteger();
    form7_->Edit1->setText(list_.field(QStringLiteral("marka")).asString().trimmed());
    form7_->Edit2->setText(list_.field(QStringLiteral("massa")).asString().trimmed());
    form7_->openItems();
    form7_->setGroupId(list_.field(QStringLiteral("id_class_item")).asInteger());
    form7_->exec();
    form7_->closeItems();
    list_.setRecNo(remembered);
}

void TForm3::Button3Click()
{
    if (Tag != 0 || list_.isEmpty())
        return;
    const int id = list_.field(QStringLiteral("id")).asInteger();
    runAction(dm_.ADO_DB, [&] {
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
        store_.remove(id, dropOperations, dropProduct, entries > 0);
        list_.reopen();
    });
}
