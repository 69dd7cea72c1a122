#include "workers_list.h"

#include "actions.h"
#include "data_module.h"
#include "messages.h"
#include "worker_dialog.h"

#include <QLineEdit>

TForm5::TForm5(TDataModule6& dm, QWidget* parent)
    : RefList(dm, dm.Workers,
              {QStringLiteral("Form5"),
               QStringLiteral("Список рабочих"),
               {{QStringLiteral("fio"), QStringLiteral("ФИО"), 300},
                {QStringLiteral("s_staffpos_hl"), QStringLiteral("Должность"), 300}},
               QStringLiteral("fio"),
               true,
               true},
              parent),
      store_(dm)
{
    resize(641, 420);
}

void TForm5::changeRow()
{
    if (!form2_)
        return;
    const int remembered = list_.recNo();
    form2_->setWindowTitle(QStringLiteral("Изменение данных работника"));
    form2_->Tag = 2;
    form2_->reloadLists();
    form2_->showWorker(list_.field(QStringLiteral("id_department")).asInteger(),
                       list_.field(QStringLiteral("id_staffpos")).asInteger(),
                       list_.field(QStringLiteral("id_role")).asInteger(),
                       list_.field(QStringLiteral("s_staffpos_hl")).asString());
    form2_->Edit1->setText(list_.field(QStringLiteral("fio")).asString().trimmed());
    form2_->PersonId = list_.field(QStringLiteral("id")).asInteger();
    form2_->exec();
    runAction(dm_.ADO_DB, [&] {
        list_.reopen();
        if (!list_.isEmpty())
            list_.setRecNo(remembered);
    });
    accept();
}

void TForm5::Button1Click()
{
    if (Tag != 0 || !form2_)
        return;
    form2_->Edit1->clear();
    form2_->setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    form2_->Tag = 1;
    form2_->reloadLists();
    form2_->exec();
    runAction(dm_.ADO_DB, [this] { list_.reopen(); });
}

void TForm5::Button3Click()
{
    if (Tag != 0 || list_.isEmpty())
        return;
    if (!msg::askYesNo(QStringLiteral("Удалить работника?"), QStringLiteral("Удаление")))
        return;
    const int remembered = list_.recNo();
    const int id = list_.field(QStringLiteral("id")).asInteger();
    runAction(dm_.ADO_DB, [&] {
        store_.remove(id);
        list_.reopen();
        if (!list_.isEmpty())
            list_.setRecNo(remembered);
    });
}
