#include "operations_list.h"

#include "actions.h"
#include "data_module.h"
#include "dataset_model.h"
#include "excel_book.h"
#include "list_support.h"
#include "messages.h"
#include "widgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TForm4::TForm4(TDataModule6& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Операции"));

    model_ = new DatasetModel(dm_.Oper,
                              {{QStringLiteral("MARKA"), QStringLiteral("Марка"), 200},
                               {QStringLiteral("VID"), QStringLiteral("Опреция"), 243},
                               {QStringLiteral("cena"), QStringLiteral("Цена (min)"), 74},
                               {QStringLiteral("nmn"), QStringLiteral("Вид"), 139},
                               {QStringLiteral("id"), QString(), 64, Qt::AlignLeft | Qt::AlignVCenter, false},
                               {QStringLiteral("i_id"), QString(), 64, Qt::AlignLeft | Qt::AlignVCenter, false},
                               {QStringLiteral("oper_vid"), QString(), 64, Qt::AlignLeft | Qt::AlignVCenter, false},
                               {QStringLiteral("norma"), QStringLiteral("Нормы (шт.)"), 76}},
                              this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Операции"));
    bindGrid(DBGrid1, model_);
    DBGrid1->setMinimumSize(760, 400);

    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Добавить"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Изменить"), this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("Удалить"), this);
    Button5 = makeButton(QStringLiteral("Button5"), QStringLiteral("Excel"), this);
    CheckBox1 = new QCheckBox(QStringLiteral("Цены"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    QFont bold = CheckBox1->font();
    bold.setBold(true);
    CheckBox1->setFont(bold);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    searchLabel_ = new QLabel(QStringLiteral("&Поиск:"), this);
    searchLabel_->setBuddy(Edit1);
    new SearchKeys(Edit1, dm_.Oper, true);
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("Выход"), this);

    auto* row = new QHBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button3, Button5})
        row->addWidget(b);
    row->addWidget(CheckBox1);
    row->addSpacing(12);
    row->addWidget(searchLabel_);
    row->addWidget(Edit1, 1);
    row->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm4::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &TForm4::Button5Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm4::setSearchVisible(bool visible)
{
    Edit1->setVisible(visible);
    searchLabel_->setVisible(visible);
}

void TForm4::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Edit1->isVisibleTo(this))
        Edit1->setFocus();
}

void TForm4::prepareBrowsing()
{
    Tag = 0;
    chosen_.reset();
    runAction(dm_.ADO_DB, [this] { dm_.Oper.open(); });
    Button2->setText(QStringLiteral("Изменить"));
    Button1->setDefault(true);
    Button1->show();
    Button3->show();
    // The search works in the list of prices too, whatever a picker left behind.
    setSearchVisible(true);
}

void TForm4::browse()
{
    prepareBrowsing();
    exec();
    dm_.Oper.close();
}

void TForm4::prepareChoosing(int operationId, bool dayOff, int shiftNo)
{
    Tag = 1;
    chosen_.reset();
    dayOff_ = dayOff;
    shiftNo_ = shiftNo;
    Button2->setText(QStringLiteral("Выбрать"));
    Button2->setDefault(true);
    Button1->hide();
    Button3->hide();
    setSearchVisible(true);
    Edit1->clear();
    dm_.Oper.clearFilter();
    runAction(dm_.ADO_DB, [this] { dm_.Oper.open(); });
    if (operationId == 0 || !dm_.Oper.locate(QStringLiteral("id"), operationId))
        dm_.Oper.first();
}

void TForm4::finishChoosing()
{
    Button1->setDefault(true);
    setSearchVisible(false);
    dm_.Oper.clearFilter();
}

std::optional<OperationChoice> TForm4::choose(int operationId, bool dayOff, int shiftNo)
{
    prepareChoosing(operationId, dayOff, shiftNo);
    exec();
    finishChoosing();
    return chosen_;
}

OperationChoice TForm4::chooseCurrent()
{
    const Dataset& ds = dm_.Oper;
    OperationChoice choice;
    if (ds.isEmpty())
        return choice;
    choice.productId = ds.field(QStringLiteral("i_id")).asInteger();
    choice.operationId = ds.field(QStringLiteral("id")).asInteger();
    choice.basePrice = Decimal4::fromDouble(ds.field(QStringLiteral("cena")).asFloat());
    choice.price = entryPrice(choice.basePrice, dayOff_, shiftNo_);
    choice.text = store_.productMark(choice.productId).trimmed() + QStringLiteral("; ") +
                  ds.field(QStringLiteral("VID")).asString().trimmed() + QStringLiteral("; ") +
                  OperationsListStore::productKindText(ds.field(QStringLiteral("NAIMEN")).asInteger());
    chosen_ = choice;
    return choice;
}

void TForm4::Edit1Change()
{
    // The mark contains the text anywhere, letter case ignored, the text taken literally.
    if (Edit1->text().trimmed().isEmpty())
        dm_.Oper.clearFilter();
    else
        dm_.Oper.setFilter(filters::contains(QStringLiteral("marka"), Edit1->text()));
}

void TForm4::Button1Click()
{
    if (Tag == 0 && hooks_.addOperation)
        hooks_.addOperation();
}

void TForm4::Button2Click()
{
    if (Tag != 0) {
        if (dm_.Oper.isEmpty())
            return;
        if (runAction(dm_.ADO_DB, [this] { chooseCurrent(); }))
            accept();
        return;
    }
    if (!dm_.Oper.isEmpty() && hooks_.changeOperation)
        hooks_.changeOperation();
}

void TForm4::DBGrid1DblClick()
{
    if (Tag == 0 && CheckBox1->isChecked()) {
        if (!dm_.Oper.isEmpty() && hooks_.editNorms)
            hooks_.editNorms();
        return;
    }
    Button2Click();
}

void TForm4::Button3Click()
{
    Dataset& ds = dm_.Oper;
    if (Tag != 0 || ds.isEmpty())
        return;
    if (!msg::askYesNo(QStringLiteral("Удалить операцию?"), QStringLiteral("Удаление")))
        return;
    const int id = ds.field(QStringLiteral("id")).asInteger();
    runAction(dm_.ADO_DB, [&] {
        store_.remove(id);
        ds.reopen();
    });
}

void TForm4::Button5Click()
{
    BusyCursor busy;
    runAction(dm_.ADO_DB, [this] {
        ExcelBook book(QStringLiteral("Операции"));
        store_.exportList(book);
    });
}
