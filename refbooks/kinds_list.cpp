#include "kinds_list.h"

#include "actions.h"
#include "data_module.h"
#include "dataset_model.h"
#include "kind_dialog.h"
#include "messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TForm8::TForm8(TDataModule6& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Виды операций (8)"));

    model_ = new DatasetModel(dm_.Vid_oper, {{QStringLiteral("VID"), QStringLiteral("Операции"), 309}}, this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Виды операций"));
    bindGrid(DBGrid1, model_);
    DBGrid1->setMinimumSize(360, 360);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    searchLabel_ = new QLabel(QStringLiteral("&Поиск:"), this);
    searchLabel_->setBuddy(Edit1);
    new SearchKeys(Edit1, dm_.Vid_oper, true);
    setSearchVisible(false);
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
    connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm8::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm8::setSearchVisible(bool visible)
{
    Edit1->setVisible(visible);
    searchLabel_->setVisible(visible);
}

void TForm8::prepareBrowsing()
{
    Tag = 0;
    chosen_.reset();
    dm_.Vid_oper.clearFilter();
    runAction(dm_.ADO_DB, [this] { dm_.Vid_oper.open(); });
    Button2->setText(QStringLiteral("Изменить"));
    Button1->setDefault(true);
    Button1->show();
    Button3->show();
}

void TForm8::prepareChoosing(int tag)
{
    Tag = tag;
    chosen_.reset();
    runAction(dm_.ADO_DB, [this] { dm_.Vid_oper.open(); });
    Button2->setText(QStringLiteral("Выбрать"));
    Button2->setDefault(true);
    Button1->hide();
    Button3->hide();
    setSearchVisible(true);
    Edit1->clear();
}

void TForm8::finish()
{
    if (Tag != 0) {
        Button1->setDefault(true);
        setSearchVisible(false);
    }
    dm_.Vid_oper.close();
}

void TForm8::browse()
{
    prepareBrowsing();
    exec();
    finish();
}

std::optional<RefChoice> TForm8::choose(int tag)
{
    prepareChoosing(tag);
    exec();
    finish();
    return chosen_;
}

void TForm8::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Edit1->isVisibleTo(this))
        Edit1->setFocus();
}

void TForm8::Edit1Change() { searchByBeginning(dm_.Vid_oper, QStringLiteral("vid"), Edit1->text()); }

void TForm8::Button1Click()
{
    if (Tag != 0 || !form9_)
        return;
    form9_->Edit1->clear();
    form9_->setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    form9_->Tag = 1;
    form9_->exec();
}

void TForm8::Button2Click()
{
    Dataset& ds = dm_.Vid_oper;
    if (Tag != 0) {
        if (!ds.isEmpty())
            chosen_ = RefChoice{ds.field(QStringLiteral("id")).asInteger(),
                                ds.field(QStringLiteral("vid")).asString().trimmed()};
        accept();
        return;
    }
    if (ds.isEmpty() || !form9_)
        return;
    form9_->setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    form9_->Tag = 2;
    form9_->Edit1->setText(ds.field(QStringLiteral("vid")).asString().trimmed());
    form9_->exec();
}

void TForm8::Button3Click()
{
    Dataset& ds = dm_.Vid_oper;
    if (Tag != 0 || ds.isEmpty())
        return;
    if (!msg::askYesNo(QStringLiteral("Удалить вид операции?"), QStringLiteral("Удаление")))
        return;
    const int id = ds.field(QStringLiteral("id")).asInteger();
    runAction(dm_.ADO_DB, [&] {
        store_.remove(id);
        ds.reopen();
    });
}
