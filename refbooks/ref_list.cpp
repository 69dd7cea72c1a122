#include "ref_list.h"

#include "actions.h"
#include "data_module.h"
#include "widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

RefList::RefList(TDataModule6& dm, Dataset& list, Setup setup, QWidget* parent)
    : QDialog(parent), dm_(dm), list_(list), setup_(std::move(setup))
{
    setObjectName(setup_.name);
    setWindowTitle(setup_.title);

    model_ = new DatasetModel(list_, setup_.columns, this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(setup_.title);
    bindGrid(DBGrid1, model_);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    searchLabel_ = new QLabel(QStringLiteral("&Поиск:"), this);
    searchLabel_->setBuddy(Edit1);
    new SearchKeys(Edit1, list_, setup_.swallowKeys);
    setSearchVisible(setup_.searchWhileBrowsing);
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
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void RefList::setSearchVisible(bool visible)
{
    Edit1->setVisible(visible);
    searchLabel_->setVisible(visible);
}

void RefList::prepareBrowsing()
{
    Tag = 0;
    chosen_.reset();
    // A search the user cannot see does not narrow the list.
    if (!setup_.searchWhileBrowsing)
        list_.clearFilter();
    runAction(dm_.ADO_DB, [this] { list_.open(); });
    Button2->setText(QStringLiteral("Изменить"));
    Button1->setDefault(true);
    Button1->show();
    Button3->show();
    setSearchVisible(setup_.searchWhileBrowsing);
}

void RefList::prepareChoosing(int tag)
{
    Tag = tag;
    chosen_.reset();
    runAction(dm_.ADO_DB, [this] { list_.open(); });
    Button2->setText(QStringLiteral("Выбрать"));
    Button2->setDefault(true);
    Button2->show();
    Button1->hide();
    Button3->hide();
    setSearchVisible(true);
    Edit1->clear();
}

void RefList::finish()
{
    if (Tag != 0) {
        Button1->setDefault(true);
        setSearchVisible(setup_.searchWhileBrowsing);
    }
    list_.close();
}

void RefList::browse()
{
    prepareBrowsing();
    exec();
    finish();
}

std::optional<RefChoice> RefList::choose(int tag)
{
    prepareChoosing(tag);
    exec();
    finish();
    return chosen_;
}

void RefList::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (Edit1->isVisibleTo(this))
        Edit1->setFocus();
}

void RefList::Edit1Change() { searchByBeginning(list_, setup_.nameField, Edit1->text()); }

void RefList::Button2Click()
{
    if (Tag != 0) {
        if (!list_.isEmpty())
            chosen_ = RefChoice{list_.field(QStringLiteral("id")).asInteger(),
                                list_.field(setup_.nameField).asString().trimmed()};
        accept();
        return;
    }
    if (!list_.isEmpty())
        changeRow();
}
