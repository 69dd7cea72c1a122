#pragma once
// TimesheetByShiftWindow (TForm19): the month's timesheet of hours of each of the three working
// shifts, one tab each (the rows of the monthly table whose worker has register entries in the
// month), with the day cells drawn by their hours; the rebuild of the month's piece-work rows
// from the register, the print of all shifts (ByShiftPrint) and its export to a spreadsheet.
#include "by_shift_print.h"
#include "day_columns_model.h"
#include "timesheet_month.h"

#include <QDialog>
#include <array>

class ChangedElsewhereLine;
class QComboBox;
class MonthCheckDialog;
class MonthCloseBar;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class DataModule;

class TimesheetByShiftWindow : public QDialog {
    Q_OBJECT
public:
    explicit TimesheetByShiftWindow(DataModule& dm, QWidget* parent = nullptr);
    ~TimesheetByShiftWindow() override;

    // The register's menu item: the month of `date`, shown modally.
    void openFor(const QDate& date);
    // The steps around showing it, for tests that show it themselves.
    void prepare(const QDate& date);
    void finish();

    TimesheetMonth chosenMonth() const;
    // Chooses the month and the year as the user does.
    void chooseMonth(TimesheetMonth month);

    // Actions, public so that tests drive them as the controls do.
    void applyMonth();     // the month or the year changed
    void refresh();        // refreshButton
    void rebuild();        // rebuildButton
    void print();          // printButton
    void exportToExcel();  // exportButton
    void checkMonth();     // checkButton: the differences from the records, and their repair

    // How a day cell holding `hours` is drawn: on a weekend, after the month's end (text in the
    // grid's `background`).
    static std::optional<CellStyle> dayCellStyle(int hours, bool weekend, bool afterEnd, const QColor& background);
    // The grid's column of a field ("fio", "d1".."d31", "summ").
    static int columnOf(const QString& field);
    QTableView* grid(int shiftNo) const { return grids_[shiftNo - 1]; }
    ByShiftPrint& printLayout() { return print_; }

    QTabWidget* shiftTabs;
    QTableView* shift1Grid;
    QTableView* shift2Grid;
    QTableView* shift3Grid;
    QComboBox* monthBox;
    QComboBox* yearBox;
    MonthCloseBar* monthCloseBar;  // the month's close and its mark
    QPushButton* rebuildButton;
    QProgressBar* progressBar;
    QPushButton* exportButton;
    QPushButton* refreshButton;
    // Shown when another copy changed the month's data: the rows stay as they are until F5.
    ChangedElsewhereLine* changedLine;
    QPushButton* printButton;
    QPushButton* checkButton;
    MonthCheckDialog* checkDialog;
    QPushButton* exitButton;

public slots:
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    QTableView* makeGrid(int shiftNo, QWidget* parent);
    // 2007 up to the later of next year and `year`; `year` chosen.
    void fillYears(int year);
    void openShifts();
    void layOutDayColumns(TimesheetMonth month);
    // While an export or a rebuild runs, the controls are off and the window does not close.
    void setBusy(bool busy);
    static QVector<GridColumn> gridColumns();

    DataModule& dm_;
    ByShiftPrint print_;
    std::array<DayColumnsModel*, 3> models_{};
    std::array<QTableView*, 3> grids_{};
    std::array<bool, 32> weekend_{};   // by day of the month
    std::array<bool, 32> afterEnd_{};  // days after the month's last
    bool busy_ = false;
    bool filling_ = false;
};
