#include "kind_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "list_support.h"
#include "messages.h"
#include "widgets.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

TForm9::TForm9(TDataModule6& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("Form9"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(300);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);

    addField(layOutDialog(this, QStringLiteral("Вид операции"), {Button1, Button2}), QStringLiteral("&Операция"),
             Edit1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm9::Button1Click()
{
    const QString name = Edit1->text().trimmed();
    if (name.isEmpty()) {
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    Dataset& ds = dm_.Vid_oper;
    if (Tag != 1 && ds.isEmpty())
        return;  // nothing to rename
    const int kindId = Tag == 1 ? 0 : ds.field(QStringLiteral("id")).asInteger();
    bool saved = false;
    runAction(dm_.ADO_DB, [&] {
        saved = store_.save(kindId, name);
        if (saved)
            ds.reopen();
    });
    if (saved)
        accept();
}

void TForm9::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}
