#include "month_close_bar.h"

#include "actions.h"
#include "database.h"
#include "messages.h"
#include "widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QString closedMonthText(TimesheetMonth month, const MonthClose& close)
{
    return QStringLiteral("Месяц %1 закрыт %2 (%3)")
        .arg(MonthCloseStore::monthText(month),
             close.closedAt.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm")), close.closedBy);
}

MonthCloseBar::MonthCloseBar(Database& db, QWidget* parent) : QWidget(parent), db_(db), store_(db)
{
    setObjectName(QStringLiteral("monthCloseBar"));
    mark = new QLabel(this);
    mark->setObjectName(QStringLiteral("closedMonthMark"));
    mark->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    closeButton = makeButton(QStringLiteral("closeMonthButton"), QStringLiteral("Закрыть месяц"), this);
    openButton = makeButton(QStringLiteral("openMonthButton"), QStringLiteral("Открыть месяц"), this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(mark);
    row->addWidget(closeButton);
    row->addWidget(openButton);
    connect(closeButton, &QPushButton::clicked, this, &MonthCloseBar::closeMonth);
    connect(openButton, &QPushButton::clicked, this, &MonthCloseBar::openMonth);
}

void MonthCloseBar::showMonth(TimesheetMonth month)
{
    month_ = month;
    const bool may = db_.loginRole && mayDo(*db_.loginRole, Command::CloseMonth);
    closeButton->setVisible(may);
    openButton->setVisible(may);
    const bool available = historyAvailable(db_);
    const QString why = available ? QString() : historyUnavailableReason(db_);
    closeButton->setToolTip(why);
    openButton->setToolTip(why);
    std::optional<MonthClose> close;
    if (available)
        runAction(db_, [&] { close = store_.closeOf(month); });
    mark->setText(close ? closedMonthText(month, *close) : QString());
    closeButton->setEnabled(available && !close);
    openButton->setEnabled(available && close.has_value());
}

void MonthCloseBar::closeMonth()
{
    const QString month = MonthCloseStore::monthText(month_);
    if (!msg::askYesNo(QStringLiteral("Закрыть месяц %1? Позиции, хоз. работы и табель месяца нельзя будет изменить, "
                                      "пока месяц не откроют.")
                           .arg(month),
                       QStringLiteral("Закрытие месяца")))
        return;
    runCommand(db_, [&] { return store_.close(month_); });
    showMonth(month_);
}

void MonthCloseBar::openMonth()
{
    const std::optional<QString> reason =
        msg::askText(QStringLiteral("Причина открытия месяца %1:").arg(MonthCloseStore::monthText(month_)),
                     QStringLiteral("Открытие месяца"));
    if (!reason)
        return;
    runCommand(db_, [&] { return store_.open(month_, *reason); });
    showMonth(month_);
}
