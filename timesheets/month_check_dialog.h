#pragma once
// MonthCheckDialog: the cells of a month's timesheet that differ from the register and the works
// records ("Проверить"), and their repair in one step ("Исправить").
#include "month_check.h"
#include "reading_source.h"
#include "timesheet_month.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

class MonthCheckDialog : public QDialog {
    Q_OBJECT
public:
    // Checks where the reports read (`reading`), repairs on the main connection `db`.
    MonthCheckDialog(Database& db, ReadingSource& reading, QWidget* parent = nullptr);

    // Checks `month` and shows the dialog modally; true when the month was repaired meanwhile.
    bool checkMonth(TimesheetMonth month);
    // Reads the differences of `month` and shows them (tests call it instead of checkMonth).
    void check(TimesheetMonth month);
    // Actions, public so that tests drive them as the buttons do.
    void repair();  // repairButton

    bool repaired() const { return repaired_; }
    const QVector<CellDifference>& differences() const { return differences_; }

    QLabel* summary;  // "Расхождений нет" or their number
    QTableWidget* differencesGrid;
    QPushButton* repairButton;
    QPushButton* closeButton;

private:
    void showDifferences();

    Database& db_;
    ReadingSource& reading_;
    TimesheetMonth month_;
    QVector<CellDifference> differences_;
    bool repaired_ = false;
};
