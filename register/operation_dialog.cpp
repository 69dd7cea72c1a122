#include "operation_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "messages.h"
#include "widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* readOnlyField(const QString& name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    showAsReadOnly(edit);
    edit->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    edit->setMinimumWidth(280);
    return edit;
}

} // namespace

OperationDialog::OperationDialog(DataModule& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("TForm10"));
    GroupBox1 = new QGroupBox(QStringLiteral("Цена операции"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    Edit1 = readOnlyField(QStringLiteral("Edit1"), GroupBox1);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("..."), GroupBox1);
    Button3->setAccessibleName(QStringLiteral("Выбрать изделие"));
    Edit2 = readOnlyField(QStringLiteral("Edit2"), GroupBox1);
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("..."), GroupBox1);
    Button4->setAccessibleName(QStringLiteral("Выбрать операцию"));
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")});
    ComboBox1->setCurrentIndex(0);

    auto* label1 = new QLabel(QStringLiteral("&Марка изделия"), GroupBox1);
    label1->setBuddy(Edit1);
    auto* label2 = new QLabel(QStringLiteral("&Операция"), GroupBox1);
    label2->setBuddy(Edit2);
    auto* label3 = new QLabel(QStringLiteral("&Вид"), GroupBox1);
    label3->setBuddy(ComboBox1);

    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Button3, 0, 2);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Button4, 1, 2);
    grid->addWidget(label3, 2, 0);
    grid->addWidget(ComboBox1, 2, 1);

    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);
    placeAboveButtons(this, GroupBox1, {Button1, Button2})->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &OperationDialog::save);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &OperationDialog::chooseProduct);
    connect(Button4, &QPushButton::clicked, this, &OperationDialog::chooseKind);
}

void OperationDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Button3->setFocus();
}

bool OperationDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    operationId_ = 0;
    Edit1->clear();
    Edit2->clear();
    ComboBox1->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Заведение новой цены за операцию"));
    return exec() == QDialog::Accepted;
}

bool OperationDialog::openForChange(const Row& operation)
{
    mode_ = DialogMode::Change;
    operationId_ = operation[QStringLiteral("id")].asInteger();
    productId_ = operation[QStringLiteral("i_id")].asInteger();
    kindId_ = operation[QStringLiteral("oper_vid")].asInteger();
    setWindowTitle(QStringLiteral("Изменение данных о цене за операцию"));
    Edit1->setText(operation[QStringLiteral("MARKA")].asString().trimmed());
    Edit2->setText(operation[QStringLiteral("VID")].asString().trimmed());
    // Any product kind but 0 reads as blanks.
    ComboBox1->setCurrentIndex(operation[QStringLiteral("NAIMEN")].asInteger() == 0 ? 0 : 1);
    return exec() == QDialog::Accepted;
}

void OperationDialog::chooseProduct() { pick(pickers_.product, Edit1, QStringLiteral("marka"), productId_); }

void OperationDialog::chooseKind() { pick(pickers_.kind, Edit2, QStringLiteral("vid"), kindId_); }

void OperationDialog::pick(const std::function<std::optional<Row>()>& picker, QLineEdit* edit, const QString& field,
                           int& id)
{
    if (!picker)
        return;
    if (const auto row = picker()) {
        edit->setText((*row)[field].asString().trimmed());
        id = (*row)[QStringLiteral("id")].asInteger();
    }
}

void OperationDialog::save()
{
    if (Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty()) {
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    const OperationValues operation{kindId_, ComboBox1->currentIndex(), productId_};
    if (runCommand(dm_.db, [&] { return store_.saveOperation(operationId_, operation); }))
        accept();
}
