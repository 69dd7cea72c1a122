#include "ref_list.h"

#include "actions.h"
#include "data_module.h"
#include "list_support.h"
#include "live_view.h"
#include "messages.h"
#include "widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

RefList::RefList(DataModule& dm, Dataset& list, Setup setup, QWidget* parent)
    : QDialog(parent), dm_(dm), list_(list), setup_(std::move(setup))
{
    setObjectName(setup_.formName);
    setWindowTitle(setup_.title);

    model_ = new DatasetModel(list_, setup_.columns, this);
    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setAccessibleName(setup_.title);
    bindGrid(grid, model_);
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("Edit1"));
    searchLabel_ = new QLabel(QStringLiteral("&Поиск:"), this);
    searchLabel_->setBuddy(searchEdit);
    new SearchKeys(searchEdit, list_, setup_.swallowKeys);
    setSearchVisible(setup_.searchWhileBrowsing);
    addButton = makeButton(setup_.addName, QStringLiteral("&Добавить"), this);
    changeButton = makeButton(setup_.changeName, QStringLiteral("&Изменить"), this);
    deleteButton = makeButton(setup_.deleteName, QStringLiteral("&Удалить"), this);
    exitButton = makeButton(setup_.exitName, QStringLiteral("Вы&ход"), this);

    connect(grid, &QTableView::doubleClicked, this, [this] { rowDoubleClicked(); });
    connect(searchEdit, &QLineEdit::textChanged, this, &RefList::search);
    connect(addButton, &QPushButton::clicked, this, &RefList::addRow);
    connect(changeButton, &QPushButton::clicked, this, &RefList::changeOrChoose);
    connect(deleteButton, &QPushButton::clicked, this, &RefList::deleteRow);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    followChanges(
        this, dm_.changes, [this](const ChangeNotice& n) { return setup_.shows.contains(n.kind); },
        [this] { keepingPlace(grid, list_, QStringLiteral("id"), [this] { list_.reopen(); }); });
}

RefList::RefList(DataModule& dm, std::unique_ptr<Dataset> ownList, Setup setup, QWidget* parent)
    : RefList(dm, *ownList, std::move(setup), parent)
{
    ownList_ = std::move(ownList);
}

void RefList::layOutInRows()
{
    auto* search = new QHBoxLayout;
    search->addWidget(searchLabel_);
    search->addWidget(searchEdit, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {addButton, changeButton, deleteButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(search);
    layout->addLayout(buttons);
}

void RefList::layOutInOneRow(const QList<QWidget*>& extra)
{
    auto* row = new QHBoxLayout;
    for (QWidget* w : QList<QWidget*>{addButton, changeButton, deleteButton} + extra)
        row->addWidget(w);
    row->addSpacing(12);
    row->addWidget(searchLabel_);
    row->addWidget(searchEdit, 1);
    row->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(row);
}

void RefList::setSearchVisible(bool visible)
{
    searchEdit->setVisible(visible);
    searchLabel_->setVisible(visible);
}

void RefList::openIn(ListMode mode)
{
    mode_ = mode;
    chosen_.reset();
    searchEdit->clear();
    list_.clearFilter();
    // Read anew even if an opener left it open: the list shows the rows as they are now.
    list_.close();
    runAction(dm_.db, [this] { list_.open(); });
}

void RefList::prepareBrowsing()
{
    openIn(ListMode::Browse);
    changeButton->setText(QStringLiteral("&Изменить"));
    addButton->setDefault(true);
    addButton->show();
    deleteButton->show();
    setSearchVisible(setup_.searchWhileBrowsing);
}

void RefList::prepareChoosing()
{
    openIn(ListMode::Choose);
    changeButton->setText(QStringLiteral("&Выбрать"));
    changeButton->setDefault(true);
    changeButton->show();
    addButton->hide();
    deleteButton->hide();
    setSearchVisible(true);
}

void RefList::finish()
{
    if (mode_ == ListMode::Choose) {
        list_.clearFilter();
        changeButton->setDefault(false);
        addButton->show();
        deleteButton->show();
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

std::optional<Row> RefList::choose()
{
    prepareChoosing();
    exec();
    finish();
    return chosen_;
}

void RefList::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Wide enough for the grid's columns and their titles.
    if (!(windowFlags() & Qt::MSWindowsFixedSizeDialogHint))
        widenToFit(this, grid);
    if (searchEdit->isVisibleTo(this))
        searchEdit->setFocus();
}

void RefList::search()
{
    // A search anywhere in the text ignores a blank search; one by the beginning takes the
    // blanks as typed.
    const QString text = searchEdit->text();
    if (setup_.match == Match::Beginning)
        list_.setFilter(text.isEmpty() ? RowFilter() : filters::startsWith(setup_.searchField, text));
    else
        list_.setFilter(text.trimmed().isEmpty() ? RowFilter() : filters::contains(setup_.searchField, text));
}

void RefList::addRow()
{
    if (mode_ == ListMode::Browse)
        addItem();
}

void RefList::changeOrChoose()
{
    if (mode_ == ListMode::Choose) {
        if (!list_.isEmpty())
            chosen_ = list_.currentRow();
        accept();
        return;
    }
    if (!list_.isEmpty())
        changeItem(list_.currentRow());
}

void RefList::deleteRow()
{
    if (mode_ == ListMode::Browse && !list_.isEmpty())
        deleteItem(list_.currentRow());
}

void RefList::reread(After after)
{
    const int remembered = list_.recNo();
    runAction(dm_.db, [&] {
        list_.reopen();
        if (after == After::SameRow && !list_.isEmpty())
            list_.setRecNo(remembered);
    });
}

void RefList::askAndDelete(const Row& row, const QString& question, const std::function<Outcome(int id)>& remove,
                           After after)
{
    if (!msg::askYesNo(question, QStringLiteral("Удаление")))
        return;
    const int id = row.field(QStringLiteral("id")).asInteger();
    runCommand(dm_.db, [&] { return remove(id); });
    reread(after);
}
