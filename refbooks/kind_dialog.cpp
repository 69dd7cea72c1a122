#include "kind_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "messages.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

KindDialog::KindDialog(DataModule& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("TForm9"));
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("Edit1"));
    nameEdit->setMaxLength(128);
    nameEdit->setMinimumWidth(300);
    saveButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    saveButton->setDefault(true);
    cancelButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);

    addField(layOutDialog(this, QStringLiteral("Вид операции"), {saveButton, cancelButton}),
             QStringLiteral("&Операция"), nameEdit);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(saveButton, &QPushButton::clicked, this, &KindDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool KindDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    kindId_ = 0;
    setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    nameEdit->clear();
    return exec() == QDialog::Accepted;
}

bool KindDialog::openForChange(const Row& kind)
{
    mode_ = DialogMode::Change;
    kindId_ = kind[QStringLiteral("id")].asInteger();
    setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    nameEdit->setText(kind[QStringLiteral("vid")].asString().trimmed());
    return exec() == QDialog::Accepted;
}

void KindDialog::save()
{
    const QString name = nameEdit->text().trimmed();
    if (name.isEmpty()) {
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    if (runCommand(dm_.db, [&] { return store_.save(mode_ == DialogMode::Add ? 0 : kindId_, name); }))
        accept();
}

void KindDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    nameEdit->setFocus();
}
