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
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(128);
    Edit1->setMinimumWidth(300);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);

    addField(layOutDialog(this, QStringLiteral("Вид операции"), {Button1, Button2}), QStringLiteral("&Операция"),
             Edit1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &KindDialog::save);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

bool KindDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    kindId_ = 0;
    setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    Edit1->clear();
    return exec() == QDialog::Accepted;
}

bool KindDialog::openForChange(const Row& kind)
{
    mode_ = DialogMode::Change;
    kindId_ = kind[QStringLiteral("id")].asInteger();
    setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    Edit1->setText(kind[QStringLiteral("vid")].asString().trimmed());
    return exec() == QDialog::Accepted;
}

void KindDialog::save()
{
    const QString name = Edit1->text().trimmed();
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
    Edit1->setFocus();
}
