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
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("Edit1"));
    nameEdit->setMaxLength(254);
    nameEdit->setFocusPolicy(Qt::ClickFocus);
    nameEdit->setMinimumWidth(360);
    saveButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    saveButton->setDefault(true);
    exitButton = makeButton(QStringLiteral("Button6"), QStringLiteral("Выход"), this);

    addField(layOutDialog(this, QStringLiteral("Номенклатурная группа"), {saveButton, exitButton}),
             QStringLiteral("&Наименование"), nameEdit);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(saveButton, &QPushButton::clicked, this, &GroupDialog::save);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool GroupDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    groupId_ = 0;
    nameEdit->clear();
    return exec() == QDialog::Accepted;
}

bool GroupDialog::openForChange(const Row& group)
{
    mode_ = DialogMode::Change;
    groupId_ = group[QStringLiteral("id")].asInteger();
    nameEdit->setText(group[QStringLiteral("s_caption")].asString().trimmed());
    return exec() == QDialog::Accepted;
}

void GroupDialog::save()
{
    const QString name = nameEdit->text().trimmed();
    if (runCommand(dm_.db, [&] { return mode_ == DialogMode::Add ? store_.add(name) : store_.rename(groupId_, name); }))
        accept();
}

void GroupDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    nameEdit->setFocus();
}
