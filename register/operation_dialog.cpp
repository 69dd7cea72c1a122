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
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    edit->setMinimumWidth(280);
    return edit;
}

} // namespace

TForm10::TForm10(TDataModule6& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("Form10"));
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

    connect(Button1, &QPushButton::clicked, this, &TForm10::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TForm10::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm10::Button4Click);
}

void TForm10::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Button3->setFocus();
}

void TForm10::prepareNew()
{
    Edit1->clear();
    Edit2->clear();
    ComboBox1->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Заведение новой цены за операцию"));
    Tag = 1;
}

bool TForm10::prepareChange()
{
    const Dataset& ds = dm_.Oper;
    if (ds.isEmpty())
        return false;
    setWindowTitle(QStringLiteral("Изменение данных о цене за операцию"));
    Tag = 2;
    OperationId = ds.field(QStringLiteral("id")).asInteger();
    Edit1->setText(ds.field(QStringLiteral("MARKA")).asString().trimmed());
    Edit2->setText(ds.field(QStringLiteral("VID")).asString().trimmed());
    // Any product kind but 0 reads as blanks.
    ComboBox1->setCurrentIndex(ds.field(QStringLiteral("NAIMEN")).asInteger() == 0 ? 0 : 1);
    ProductId = ds.field(QStringLiteral("i_id")).asInteger();
    KindId = ds.field(QStringLiteral("oper_vid")).asInteger();
    return true;
}

void TForm10::addOperation()
{
    prepareNew();
    exec();
}

void TForm10::changeOperation()
{
    if (prepareChange())
        exec();
}

void TForm10::Button3Click()
{
    if (!pickers_.product)
        return;
    if (const auto choice = pickers_.product()) {
        Edit1->setText(choice->text);
        ProductId = choice->id;
    }
}

void TForm10::Button4Click()
{
    if (!pickers_.kind)
        return;
    if (const auto choice = pickers_.kind()) {
        Edit2->setText(choice->text);
        KindId = choice->id;
    }
}

void TForm10::Button1Click()
{
    if (Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty()) {
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    if (Tag != 1 && OperationId == 0)
        return;  // no row to change
    const int naimen = ComboBox1->currentIndex();
    bool saved = false;
    runAction(dm_.ADO_DB, [&] {
        saved = store_.saveOperation(Tag == 1 ? 0 : OperationId, KindId, naimen, ProductId);
        if (saved)
            dm_.Oper.reopen();
    });
    if (saved)
        accept();
}
