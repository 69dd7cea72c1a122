#include "products_list.h"

#include "actions.h"
#include "data_module.h"
#include "dataset_model.h"
#include "messages.h"
#include "product_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TForm3::TForm3(TDataModule6& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Изделия (3)"));
    resize(577, 420);

    model_ = new DatasetModel(dm_.Izdel,
                              {{QStringLiteral("marka"), QStringLiteral("Марка изделия"), 315},
                               {QStringLiteral("nom"), QStringLiteral("Номенклатурная группа"), 162},
                               {QStringLiteral("massa"), QStringLiteral("Коробки"), 67}},
                              this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Изделия"));
    bindGrid(DBGrid1, model_);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    searchLabel_ = new QLabel(QStringLiteral("&Поиск:"), this);
    searchLabel_->setBuddy(Edit1);
    new SearchKeys(Edit1, dm_.Izdel, false);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Добавить"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Изменить"), this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("Удалить"), this);
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("Выход"), this);

    auto* search = new QHBoxLayout;
    search->addWidget(searchLabel_);
    search->addWidget(Edit1, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button3})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(search);
    layout->addLayout(buttons);

    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { Button2Click(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm3::setSearchVisible(bool visible)
{
    Edit1->setVisible(visible);
    searchLabel_->setVisible(visible);
}

void TForm3::prepareBrowsing()
{
    Tag = 0;
    chosen_.reset();
    runAction(dm_.ADO_DB, [this] { dm_.Izdel.open(); });
    Button2->setText(QStringLiteral("Изменить"));
    Button1->setDefault(true);
    Button1->show();
    Button3->show();
    // The search works from the menu too, whatever a picker left behind.
    setSearchVisible(true);
}

void TForm3::prepareChoosing(int tag)
{
    Tag = tag;
    chosen_.reset();
    runAction(dm_.ADO_DB, [this] { dm_.Izdel.open(); });
    Button2->setText(QStringLiteral("Выбрать"));
    Button2->setDefault(true);
    Button1->hide();
    Button3->hide();
    setSearchVisible(true);
    Edit1->clear();
}

void TForm3::finish()
{
    if (Tag != 0) {
        Button1->setDefault(true);
        setSearchVisible(false);
    }
    dm_.Izdel.close();
}

void TForm3::browse()
{
    prepareBrowsing();
    exec();
    finish();
}

std::optional<RefChoice> TForm3::choose(int tag)
{
    prepareChoosing(tag);
    exec();
    finish();
    return chosen_;
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Edit1->isVisibleTo(this))
        Edit1->setFocus();
}

void TForm3::Edit1Change() { searchByBeginning(dm_.Izdel, QStringLiteral("marka"), Edit1->text()); }

void TForm3::Button1Click()
{
    if (Tag != 0 || !form7_)
        return;
    Dataset& ds = dm_.Izdel;
    const int remembered = ds.recNo();
    form7_->Edit1->clear();
    form7_->Edit2->clear();
    form7_->setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    form7_->Tag = 1;
    form7_->openItems();
    form7_->exec();
    form7_->closeItems();
    ds.setRecNo(remembered);
}

void TForm3::Button2Click()
{
    Dataset& ds = dm_.Izdel;
    if (Tag != 0) {
        if (!ds.isEmpty())
            chosen_ = RefChoice{ds.field(QStringLiteral("id")).asInteger(),
                                ds.field(QStringLiteral("marka")).asString().trimmed()};
        accept();
        return;
    }
    if (ds.isEmpty() || !form7_)
        return;
    const int remembered = ds.recNo();
    form7_->setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
    form7_->Tag = 2;
    form7_->ProductId = ds.field(QStringLiteral("id")).asInteger();
    form7_->Edit1->setText(ds.field(QStringLiteral("marka")).asString().trimmed());
    form7_->Edit2->setText(ds.field(QStringLiteral("massa")).asString().trimmed());
    form7_->openItems();
    form7_->setGroupId(ds.field(QStringLiteral("id_class_item")).asInteger());
    form7_->exec();
    form7_->closeItems();
    ds.setRecNo(remembered);
}

void TForm3::Button3Click()
{
    Dataset& ds = dm_.Izdel;
    if (Tag != 0 || ds.isEmpty())
        return;
    const int id = ds.field(QStringLiteral("id")).asInteger();
    runAction(dm_.ADO_DB, [&] {
        const int entries = store_.entryCount(id, today());
        const int operations = store_.operationCount(id);
        const bool dropOperations =
            operations > 0 && msg::askYesNo(QStringLiteral("По изделию есть расценки они будут удалены!!!"),
                                            QStringLiteral("Удаление"));
        const QString question =
            entries > 0 ? QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут "
                                         "удалены. Удалить изделие? ")
                        : QStringLiteral("Удалить изделие? ");
        const bool dropProduct = msg::askYesNo(question, QStringLiteral("Удаление"));
        store_.remove(id, dropOperations, dropProduct, entries > 0);
        ds.reopen();
    });
}
