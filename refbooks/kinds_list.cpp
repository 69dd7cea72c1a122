#include "kinds_list.h"

#include "actions.h"
#include "data_module.h"
#include "kind_dialog.h"
#include "messages.h"

#include <QLineEdit>
#include <QTableView>

TForm8::TForm8(TDataModule6& dm, QWidget* parent)
    : RefList(dm, dm.Vid_oper,
              {QStringLiteral("Form8"),
               QStringLiteral("Виды операций (8)"),
               {{QStringLiteral("VID"), QStringLiteral("Операции"), 309}},
               QStringLiteral("vid"),
               true,
               false},
              parent),
      store_(dm)
{
    DBGrid1->setMinimumSize(360, 360);
}

void TForm8::Button1Click()
{
    if (Tag != 0 || !form9_)
        return;
    form9_->Edit1->clear();
    form9_->setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    form9_->Tag = 1;
    form9_->exec();
}

void TForm8::changeRow()
{
    if (!form9_)
        return;
    form9_->setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    form9_->Tag = 2;
    form9_->Edit1->setText(list_.field(QStringLiteral("vid")).asString().trimmed());
    form9_->exec();
}

void TForm8::Button3Click()
{
    if (Tag != 0 || list_.isEmpty())
        return;
    if (!msg::askYesNo(QStringLiteral("Удалить вид операции?"), QStringLiteral("Удаление")))
        return;
    const int id = list_.field(QStringLiteral("id")).asInteger();
    runAction(dm_.ADO_DB, [&] {
        store_.remove(id);
        list_.reopen();
    });
}
