#pragma once
// The close of the shown month in the timesheet windows: a mark while the month is closed and,
// for the roles that may, "Закрыть месяц" and "Открыть месяц" (opening asks for the reason).
// Without the program's own schema both are disabled, their tooltip saying why.
#include "month_close_store.h"

#include <QWidget>

class QLabel;
class QPushButton;
class Database;

class MonthCloseBar : public QWidget {
    Q_OBJECT
public:
    MonthCloseBar(Database& db, QWidget* parent);

    // Reads and shows whether `month` is closed.
    void showMonth(TimesheetMonth month);
    // Actions, public so that tests drive them as the buttons do.
    void closeMonth();
    void openMonth();

    QLabel* mark;
    QPushButton* closeButton;
    QPushButton* openButton;

private:
    Database& db_;
    MonthCloseStore store_;
    TimesheetMonth month_;
};

// The mark of a closed month, as the timesheets and the register show it.
QString closedMonthText(TimesheetMonth month, const MonthClose& close);
