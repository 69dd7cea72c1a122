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
    fieldsBox = new QGroupBox(QStringLiteral("Цена операции"), this);
    fieldsBox->setObjectName(QStringLiteral("GroupBox1"));

    productEdit = readOnlyField(QStringLiteral("Edit1"), fieldsBox);
    chooseProductButton = makeButton(QStringLiteral("Button3"), QStringLiteral("..."), fieldsBox);
    chooseProductButton->setAccessibleName(QStringLiteral("Выбрать изделие"));
    kindEdit = readOnlyField(QStringLiteral("Edit2"), fieldsBox);
    chooseKindButton = makeButton(QStringLiteral("Button4"), QStringLiteral("..."), fieldsBox);
    chooseKindButton->setAccessibleName(QStringLiteral("Выбрать операцию"));
    productKindBox = new QComboBox(fieldsBox);
    productKindBox->setObjectName(QStringLiteral("ComboBox1"));
    productKindBox->addItems({QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")});
    productKindBox->setCurrentIndex(0);

    auto* productLabel = new QLabel(QStringLiteral("&Марка изделия"), fieldsBox);
    productLabel->setBuddy(productEdit);
    auto* kindLabel = new QLabel(QStringLiteral("&Операция"), fieldsBox);
    kindLabel->setBuddy(kindEdit);
    auto* productKindLabel = new QLabel(QStringLiteral("&Вид"), fieldsBox);
    productKindLabel->setBuddy(productKindBox);

    auto* grid = new QGridLayout(fieldsBox);
    grid->addWidget(productLabel, 0, 0);
    grid->addWidget(productEdit, 0, 1);
    grid->addWidget(chooseProductButton, 0, 2);
    grid->addWidget(kindLabel, 1, 0);
    grid->addWidget(kindEdit, 1, 1);
    grid->addWidget(chooseKindButton, 1, 2);
    grid->addWidget(productKindLabel, 2, 0);
    grid->addWidget(productKindBox, 2, 1);

    saveButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    saveButton->setDefault(true);
    cancelButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);
    placeAboveButtons(this, fieldsBox, {saveButton, cancelButton})->setSizeConstraint(QLayout::SetFixedSize);

    connect(saveButton, &QPushButton::clicked, this, &OperationDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(chooseProductButton, &QPushButton::clicked, this, &OperationDialog::chooseProduct);
    connect(chooseKindButton, &QPushButton::clicked, this, &OperationDialog::chooseKind);
}

void OperationDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    chooseProductButton->setFocus();
}

bool OperationDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    operationId_ = 0;
    productEdit->clear();
    kindEdit->clear();
    productKindBox->setCurrentIndex(0);
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
    productEdit->setText(operation[QStringLiteral("MARKA")].asString().trimmed());
    kindEdit->setText(operation[QStringLiteral("VID")].asString().trimmed());
    // Any product kind but 0 reads as blanks.
    productKindBox->setCurrentIndex(operation[QStringLiteral("NAIMEN")].asInteger() == 0 ? 0 : 1);
    return exec() == QDialog::Accepted;
}

void OperationDialog::chooseProduct() { pick(pickers_.product, productEdit, QStringLiteral("marka"), productId_); }

void OperationDialog::chooseKind() { pick(pickers_.kind, kindEdit, QStringLiteral("vid"), kindId_); }

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
    if (productEdit->text().trimmed().isEmpty() || kindEdit->text().trimmed().isEmpty()) {
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    const OperationValues operation{kindId_, productKindBox->currentIndex(), productId_};
    if (runCommand(dm_.db, [&] { return store_.saveOperation(operationId_, operation); }))
        accept();
}
