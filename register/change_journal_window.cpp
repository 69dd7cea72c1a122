#include "change_journal_window.h"

#include "actions.h"
#include "data_module.h"
#include "excel_book.h"
#include "widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString dayText(const QVariant& v) { return v.isNull() ? QString() : v.toDate().toString(QStringLiteral("dd.MM.yyyy")); }

} // namespace

QVector<GridColumn> ChangeJournalWindow::journalColumns() const
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    return {{QStringLiteral("at"), QStringLiteral("Когда"), 125, left, true, changeTimeText},
            {QStringLiteral("login_role"), QStringLiteral("Роль"), 95, left, true,
             [](const QVariant& v) { return roleCaption(v.toString()); }},
            {QStringLiteral("os_user"), QStringLiteral("Пользователь"), 95},
            {QStringLiteral("host"), QStringLiteral("Компьютер"), 95},
            {QStringLiteral("action"), QStringLiteral("Действие"), 110, left, true,
             [](const QVariant& v) { return actionCaption(v.toString()); }},
            {QStringLiteral("table_name"), QStringLiteral("Что"), 95, left, true,
             [](const QVariant& v) { return tableCaption(v.toString()); }},
            {QStringLiteral("row"), QStringLiteral("Запись"), 60, Qt::AlignRight | Qt::AlignVCenter},
            {QStringLiteral("worker"), QStringLiteral("Рабочий"), 200, left, true,
             [this](const QVariant& v) { return v.isNull() ? QString() : workerNames_.value(v.toInt(), v.toString()); }},
            {QStringLiteral("day"), QStringLiteral("Дата"), 75, Qt::AlignCenter, true, dayText}};
}

ChangeJournalWindow::ChangeJournalWindow(DataModule& dm, QWidget* parent)
    : QDialog(parent),
      dm_(dm),
      store_(dm.db),
      journal_(dm.db, QStringLiteral("changeJournal")),
      details_(dm.db, QStringLiteral("changeDetails"))
{
    setObjectName(QStringLiteral("ChangeJournalWindow"));
    setWindowTitle(QStringLiteral("Журнал изменений"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    buildControls();
}

void ChangeJournalWindow::buildControls()
{
    fromDate = new QDateEdit(this);
    fromDate->setObjectName(QStringLiteral("fromDate"));
    toDate = new QDateEdit(this);
    toDate->setObjectName(QStringLiteral("toDate"));
    for (QDateEdit* d : {fromDate, toDate}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    }
    workerBox = new QComboBox(this);
    workerBox->setObjectName(QStringLiteral("workerBox"));
    whatBox = new QComboBox(this);
    whatBox->setObjectName(QStringLiteral("whatBox"));
    whatBox->addItem(QStringLiteral("Всё"), QString());
    for (const QString& table : loggedTables())
        whatBox->addItem(tableCaption(table), table);
    actionBox = new QComboBox(this);
    actionBox->setObjectName(QStringLiteral("actionBox"));
    actionBox->addItem(QStringLiteral("Все действия"), QString());
    for (const QString& action : loggedActions())
        actionBox->addItem(actionCaption(action), action);
    showButton = makeButton(QStringLiteral("showButton"), QStringLiteral("&Показать"), this);
    showButton->setDefault(true);
    countLabel = new QLabel(this);
    countLabel->setObjectName(QStringLiteral("countLabel"));

    auto* filters = new QHBoxLayout;
    auto labelled = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        filters->addWidget(label);
        filters->addWidget(field);
    };
    labelled(QStringLiteral("&С:"), fromDate);
    labelled(QStringLiteral("&по:"), toDate);
    labelled(QStringLiteral("&Рабочий:"), workerBox);
    labelled(QStringLiteral("&Что:"), whatBox);
    labelled(QStringLiteral("&Действие:"), actionBox);
    filters->addWidget(showButton);
    filters->addStretch();
    filters->addWidget(countLabel);

    journalGrid = new QTableView(this);
    journalGrid->setObjectName(QStringLiteral("journalGrid"));
    journalGrid->setAccessibleName(QStringLiteral("Изменения"));
    journalModel_ = new DatasetModel(journal_, journalColumns(), this);
    bindGrid(journalGrid, journalModel_);
    detailsGrid = new QTableView(this);
    detailsGrid->setObjectName(QStringLiteral("detailsGrid"));
    detailsGrid->setAccessibleName(QStringLiteral("Поля изменения"));
    detailsModel_ = new DatasetModel(details_,
                                     {{QStringLiteral("field"), QStringLiteral("Поле"), 140},
                                      {QStringLiteral("before"), QStringLiteral("Было"), 300},
                                      {QStringLiteral("after"), QStringLiteral("Стало"), 300}},
                                     this);
    bindGrid(detailsGrid, detailsModel_);

    exportButton = makeButton(QStringLiteral("exportButton"), QStringLiteral("Excel"), this);
    exitButton = makeButton(QStringLiteral("exitButton"), QStringLiteral("Вы&ход"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addStretch();
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(journalGrid, 3);
    layout->addWidget(detailsGrid, 1);
    layout->addLayout(buttons);
    resize(std::max(fittedWidth(journalGrid) + 40, 1000), 640);

    connect(showButton, &QPushButton::clicked, this, &ChangeJournalWindow::showChanges);
    connect(exportButton, &QPushButton::clicked, this, &ChangeJournalWindow::exportToExcel);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(journalModel_, &DatasetModel::currentRecordChanged, this, [this] { showDetails(); });
}

void ChangeJournalWindow::open()
{
    prepare();
    exec();
    finish();
}

void ChangeJournalWindow::prepare()
{
    const QDate today = QDate::currentDate();
    fromDate->setDate(QDate(today.year(), today.month(), 1));
    toDate->setDate(today);
    fillWorkers();
    showChanges();
}

void ChangeJournalWindow::finish()
{
    journal_.close();
    details_.close();
}

void ChangeJournalWindow::fillWorkers()
{
    const int chosen = workerBox->currentData().toInt();
    workerBox->clear();
    workerNames_.clear();
    workerBox->addItem(QStringLiteral("Все рабочие"), 0);
    runAction(dm_.db, [&] {
        QSqlQuery q = dm_.db.exec(QStringLiteral("select id, fio from accounts_dep.person order by fio, id"));
        while (q.next()) {
            const QString name = q.value(1).toString().trimmed();
            workerBox->addItem(name, q.value(0).toInt());
            workerNames_.insert(q.value(0).toInt(), name);
        }
    });
    workerBox->setCurrentIndex(std::max(0, workerBox->findData(chosen)));
}

JournalFilter ChangeJournalWindow::filter() const
{
    return {fromDate->date(), toDate->date(), workerBox->currentData().toInt(), whatBox->currentData().toString(),
            actionBox->currentData().toString()};
}

void ChangeJournalWindow::showChanges()
{
    BusyCursor busy;
    const JournalFilter f = filter();
    journal_.close();
    journal_.setSql(HistoryStore::journalStatement(f));
    for (const auto& [name, value] : HistoryStore::journalParams(f))
        journal_.setParam(name, value);
    // Opening moves to the first change, which shows its fields.
    runAction(dm_.db, [this] { journal_.open(); });
    countLabel->setText(QStringLiteral("Изменений: %1").arg(journal_.recordCount()));
}

void ChangeJournalWindow::showDetails()
{
    QVector<LoggedChange> change;
    if (journal_.isActive() && !journal_.isEmpty())
        runAction(dm_.db, [&] { change = {store_.change(journal_.field(QStringLiteral("id")).asLargeInt())}; });
    details_.openWith(historyLineFields(), historyLines(change));
}

void ChangeJournalWindow::exportToExcel()
{
    if (!journal_.isActive())
        return;
    ExcelBook book(QStringLiteral("Журнал изменений"));
    if (book.OpenExcelBook(QString()) == -1)
        return;
    BusyCursor busy;
    // What each change did, by its id.
    QHash<qint64, QString> changes;
    runAction(dm_.db, [&] {
        for (const LoggedChange& c : store_.ofJournal(filter()))
            changes.insert(c.id, changesText(c));
    });
    const QVector<GridColumn> columns = journalColumns();
    for (int c = 0; c < columns.size(); ++c)
        book.WriteExcelCell(1, c + 1, 1, columns[c].title, true, true, true);
    book.WriteExcelCell(1, int(columns.size()) + 1, 1, QStringLiteral("Изменения"), true, true, true);
    // The fetched rows as they are: moving the list's current record would read each one's details.
    const int id = journal_.fieldIndex(QStringLiteral("id"));
    int row = 2;
    for (const QVector<QVariant>& fetched : journal_.fetchedRows()) {
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = fetched[journal_.fieldIndex(columns[c].field)];
            book.WriteExcelCell(1, c + 1, row, columns[c].format ? columns[c].format(value) : displayText(value), true,
                                true, false);
        }
        book.WriteExcelCell(1, int(columns.size()) + 1, row, changes.value(fetched[id].toLongLong()), true, true, false);
        ++row;
    }
    book.ShowExcel(true);
}
