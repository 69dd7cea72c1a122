#include "nomenclature_list.h"

#include "actions.h"
#include "data_module.h"
#include "dataset_model.h"
#include "group_dialog.h"
#include "widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TForm26::TForm26(TDataModule6& dm, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      item(dm.ADO_DB, QStringLiteral("item"),
           QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption")),
      dm_(dm)
{
    setObjectName(QStringLiteral("Form26"));
    setWindowTitle(QStringLiteral("Номенклатура (26)"));

    model_ = new DatasetModel(item, {{QStringLiteral("s_caption"), QStringLiteral("Наименование"), 534}}, this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Номенклатурные группы"));
    bindGrid(DBGrid1, model_);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->setMouseTracking(true);
    DBGrid1->setFixedSize(580, 400);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Добавить"), this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("Изменить"), this);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Удалить"), this);
    Button1->setEnabled(false);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto* searchLabel = new QLabel(QStringLiteral("&Поиск:"), this);
    searchLabel->setBuddy(Edit1);
    new SearchKeys(Edit1, item, true);
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("Выход"), this);

    auto* bar = new QHBoxLayout;
    for (QPushButton* b : {Button2, Button3, Button1})
        bar->addWidget(b);
    bar->addWidget(searchLabel);
    bar->addWidget(Edit1, 1);
    bar->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(bar);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { Button3Click(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(Button2, &QPushButton::clicked, this, &TForm26::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm26::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &TForm26::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm26::prepareBrowsing()
{
    Tag = 0;
    chosen_.reset();
    runAction(dm_.ADO_DB, [this] { item.open(); });
    Button3->setText(QStringLiteral("Изменить"));
    Button1->show();
    Button2->show();
}

void TForm26::prepareChoosing(int tag)
{
    Tag = tag;
    chosen_.reset();
    Button3->setText(QStringLiteral("Выбрать"));
    Button1->hide();
    Button2->hide();
    runAction(dm_.ADO_DB, [this] { item.open(); });
}

void TForm26::finish()
{
    if (Tag != 0) {
        Button1->show();
        Button2->show();
    }
    item.close();
}

void TForm26::browse()
{
    prepareBrowsing();
    exec();
    finish();
}

std::optional<RefChoice> TForm26::choose(int tag)
{
    prepareChoosing(tag);
    exec();
    finish();
    return chosen_;
}

void TForm26::Edit1Change() { searchByBeginning(item, QStringLiteral("s_caption"), Edit1->text()); }

void TForm26::Button3Click()
{
    const int remembered = item.recNo();
    if (Tag == 0) {
        if (item.isEmpty() || !form29_)
            return;
        form29_->Tag = 2;
        form29_->Edit1->setText(item.field(QStringLiteral("s_caption")).asString().trimmed());
        form29_->exec();
    } else if (Tag == 24) {
        if (!item.isEmpty())
            chosen_ = RefChoice{item.field(QStringLiteral("id")).asInteger(),
                                item.field(QStringLiteral("s_caption")).asString()};
        accept();
    }
    item.setRecNo(remembered);
}

void TForm26::Button2Click()
{
    if (!form29_)
        return;
    const int remembered = item.recNo();
    form29_->Edit1->clear();
    form29_->Tag = 1;
    form29_->exec();
    item.setRecNo(remembered);
}
