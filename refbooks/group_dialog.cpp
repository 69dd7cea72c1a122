#include "group_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "list_support.h"
#include "widgets.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

TForm29::TForm29(TDataModule6& dm, Dataset& item, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      dm_(dm),
      item_(item),
      store_(dm)
{
    setObjectName(QStringLiteral("Form29"));
    setWindowTitle(QStringLiteral("Ведение групп (29)"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFocusPolicy(Qt::ClickFocus);
    Edit1->setMinimumWidth(360);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    Button1->setDefault(true);
    Button6 = makeButton(QStringLiteral("Button6"), QStringLiteral("Выход"), this);

    addField(layOutDialog(this, QStringLiteral("Номенклатурная группа"), {Button1, Button6}),
             QStringLiteral("&Наименование"), Edit1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TForm29::Button1Click);
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm29::Button1Click()
{
    const QString name = Edit1->text().trimmed();
    const bool saved = runAction(dm_.ADO_DB, [&] {
        if (Tag == 1)
            store_.add(name);
        else if (Tag == 2 && !item_.isEmpty())
            store_.rename(item_.field(QStringLiteral("id")).asInteger(), name);
        item_.reopen();
    });
    if (saved)
        accept();
}

void TForm29::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}
