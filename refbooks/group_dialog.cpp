#include "group_dialog.h"

#include "actions.h"
#include "data_module.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

GroupDialog::GroupDialog(DataModule& dm, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      dm_(dm),
      store_(dm.db)
{
    setObjectName(QStringLiteral("TForm29"));
    setWindowTitle(QStringLiteral("Ведение групп (29)"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(254);
    Edit1->setFocusPolicy(Qt::ClickFocus);
    Edit1->setMinimumWidth(360);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    Button1->setDefault(true);
    Button6 = makeButton(QStringLiteral("Button6"), QStringLiteral("Выход"), this);

    addField(layOutDialog(this, QStringLiteral("Номенклатурная группа"), {Button1, Button6}),
             QStringLiteral("&Наименование"), Edit1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &GroupDialog::save);
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
}

bool GroupDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    groupId_ = 0;
    Edit1->clear();
    return exec() == QDialog::Accepted;
}

bool GroupDialog::openForChange(const Row& group)
{
    mode_ = DialogMode::Change;
    groupId_ = group[QStringLiteral("id")].asInteger();
    Edit1->setText(group[QStringLiteral("s_caption")].asString().trimmed());
    return exec() == QDialog::Accepted;
}

void GroupDialog::save()
{
    const QString name = Edit1->text().trimmed();
    const bool saved = runAction(dm_.db, [&] {
        if (mode_ == DialogMode::Add)
            store_.add(name);
        else
            store_.rename(groupId_, name);
    });
    if (saved)
        accept();
}

void GroupDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}
