#include "month_check_dialog.h"

#include "actions.h"
#include "database.h"
#include "widgets.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

MonthCheckDialog::MonthCheckDialog(Database& db, ReadingSource& reading, QWidget* parent)
    : QDialog(parent), db_(db), reading_(reading)
{
    setObjectName(QStringLiteral("MonthCheckDialog"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(640, 420);

    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    QFont bold = summary->font();
    bold.setBold(true);
    summary->setFont(bold);

    differencesGrid = new QTableWidget(0, 5, this);
    differencesGrid->setObjectName(QStringLiteral("differencesGrid"));
    differencesGrid->setAccessibleName(QStringLiteral("Расхождения"));
    differencesGrid->setHorizontalHeaderLabels(
        {QStringLiteral("Работник"), QStringLiteral("Смена / вид"), QStringLiteral("Число"), QStringLiteral("в табеле"),
         QStringLiteral("по записям")});
    differencesGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    differencesGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    differencesGrid->verticalHeader()->hide();
    differencesGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 5; ++column)
        differencesGrid->setColumnWidth(column, 90);

    repairButton = makeButton(QStringLiteral("repairButton"), QStringLiteral("&Исправить"), this);
    repairButton->setToolTip(QStringLiteral("Записать в табель часы по записям во всех ячейках с расхождениями"));
    closeButton = makeButton(QStringLiteral("closeButton"), QStringLiteral("Вы&ход"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(repairButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(differencesGrid, 1);
    layout->addLayout(buttons);

    connect(repairButton, &QPushButton::clicked, this, &MonthCheckDialog::repair);
    connect(closeButton, &QPushButton::clicked, this, &MonthCheckDialog::reject);
}

bool MonthCheckDialog::checkMonth(TimesheetMonth month)
{
    repaired_ = false;
    check(month);
    exec();
    return repaired_;
}

void MonthCheckDialog::check(TimesheetMonth month)
{
    month_ = month;
    setWindowTitle(QStringLiteral("Проверка табеля: ") + month.heading());
    differences_.clear();
    {
        BusyCursor busy;
        runAction(db_, [this] { differences_ = findMonthDifferences(reading_.forReading(), month_.first()); });
    }
    showDifferences();
}

void MonthCheckDialog::showDifferences()
{
    differencesGrid->setRowCount(int(differences_.size()));
    for (int row = 0; row < differences_.size(); ++row) {
        const CellDifference& d = differences_[row];
        const QStringList cells{d.workerName, d.line, QString::number(d.day), d.inTimesheet, d.fromRecords};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0)
                item->setTextAlignment(Qt::AlignCenter);
            differencesGrid->setItem(row, column, item);
        }
    }
    summary->setText(differences_.isEmpty() ? QStringLiteral("Расхождений нет")
                                            : QStringLiteral("Расхождений: %1").arg(differences_.size()));
    const bool may = db_.loginRole && mayDo(*db_.loginRole, Command::RebuildTimesheet);
    repairButton->setEnabled(may && !differences_.isEmpty());
}

void MonthCheckDialog::repair()
{
    Outcome outcome = Outcome::failed();
    {
        BusyCursor busy;
        outcome = runCommand(db_, [this] { return repairMonth(db_, month_.first()); });
    }
    if (!outcome)
        return;
    repaired_ = true;
    check(month_);
}
