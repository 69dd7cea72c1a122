#include "entry_history_window.h"

#include "actions.h"
#include "data_module.h"
#include "widgets.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

QVector<GridColumn> EntryHistoryWindow::gridColumns()
{
    return {{QStringLiteral("at"), QStringLiteral("Когда"), 125, Qt::AlignLeft | Qt::AlignVCenter, true, changeTimeText},
            {QStringLiteral("role"), QStringLiteral("Роль"), 95},
            {QStringLiteral("os_user"), QStringLiteral("Пользователь"), 95},
            {QStringLiteral("host"), QStringLiteral("Компьютер"), 95},
            {QStringLiteral("action"), QStringLiteral("Действие"), 85},
            {QStringLiteral("field"), QStringLiteral("Поле"), 85},
            {QStringLiteral("before"), QStringLiteral("Было"), 120},
            {QStringLiteral("after"), QStringLiteral("Стало"), 120}};
}

EntryHistoryWindow::EntryHistoryWindow(DataModule& dm, QWidget* parent)
    : QDialog(parent), dm_(dm), store_(dm.db), lines_(dm.db, QStringLiteral("entryHistory"))
{
    setObjectName(QStringLiteral("EntryHistoryWindow"));
    setWindowTitle(QStringLiteral("История позиции"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    entryLabel = new QLabel(this);
    entryLabel->setObjectName(QStringLiteral("entryLabel"));
    historyGrid = new QTableView(this);
    historyGrid->setObjectName(QStringLiteral("historyGrid"));
    historyGrid->setAccessibleName(QStringLiteral("История позиции"));
    model_ = new DatasetModel(lines_, gridColumns(), this);
    bindGrid(historyGrid, model_);
    closeButton = makeButton(QStringLiteral("closeButton"), QStringLiteral("Закрыть"), this);
    auto* layout = placeAboveButtons(this, historyGrid, {closeButton});
    layout->insertWidget(0, entryLabel);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(fittedWidth(historyGrid) + 40, 420);
}

void EntryHistoryWindow::prepare(const Row& entry)
{
    entryLabel->setText(QStringLiteral("%1; %2; %3; %4, смена %5")
                            .arg(entry[QStringLiteral("fio")].asString().trimmed(),
                                 entry[QStringLiteral("marka")].asString().trimmed(),
                                 entry[QStringLiteral("vid")].asString().trimmed(),
                                 entry[QStringLiteral("data")].asDate().toString(QStringLiteral("dd.MM.yyyy")))
                            .arg(entry[QStringLiteral("smena")].asInteger()));
    QVector<LoggedChange> changes;
    runAction(dm_.db, [&] { changes = store_.ofRow(QStringLiteral("accounts_dep.smena"), entry[QStringLiteral("id")].asInteger()); });
    lines_.openWith(historyLineFields(), historyLines(changes));
}

void EntryHistoryWindow::showFor(const Row& entry)
{
    prepare(entry);
    exec();
    lines_.close();
}
