#pragma once
// TimesheetWindow (TForm27): the monthly timesheet of a chosen month and year in one of four
// modes (piece-work, household works, average piece-rate works, general): hours per day with the
// weekends in red, the month's hours, earnings and earnings per hour, the month's footer figures;
// refresh, the rebuild of the works rows and the export to a spreadsheet.
#include "background_query.h"
#include "day_columns_model.h"
#include "timesheet_mode.h"
#include "timesheet_month.h"
#include "timesheet_store.h"

#include <QDialog>
#include <array>

class ChangedElsewhereLine;
class QComboBox;
class MonthCheckDialog;
class MonthCloseBar;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class DataModule;

class TimesheetWindow : public QDialog {
    Q_OBJECT
public:
    explicit TimesheetWindow(DataModule& dm, QWidget* parent = nullptr);

    // The register's menu items: the mode's window for today's month, shown modally.
    void open(TimesheetMode mode);
    // The steps around showing it, for tests that show it themselves; `month` is chosen.
    void prepare(TimesheetMode mode, TimesheetMonth month = TimesheetMonth::of(QDate::currentDate()));
    void finish();

    TimesheetMode mode() const { return mode_; }
    TimesheetMonth chosenMonth() const;
    // Chooses the month and year as the user does (the year joins the year box when missing).
    void chooseMonth(TimesheetMonth month);

    // Actions, public so that tests drive them as the controls do.
    void applyMonth();  // the month or the year changed
    void refresh();        // refreshButton
    void rebuild();        // rebuildButton
    void exportToExcel();  // exportButton
    void checkMonth();     // checkButton: the differences from the records, and their repair
    void printStatement(); // statementButton: the pay statement of the current worker, previewed
    // allStatementsButton: the statements of every worker of the month into one PDF in the export
    // folder, opened on the desktop; the file written, empty when none was.
    QString writeAllStatements();

    // The current mode's timesheet.
    Dataset& timesheet() { return *timesheet_; }
    // The grid's column of a field ("fio", "s_night", "d1".."d31", "f_price", "i_time", "average_price").
    static int columnOf(const QString& field);

    Dataset pieceWorkRows;
    Dataset householdRows;
    Dataset averagePieceRateRows;
    Dataset generalRows;

    QComboBox* monthBox;
    QComboBox* yearBox;
    MonthCloseBar* monthCloseBar;  // the month's close and its mark
    QTableView* grid;
    QPushButton* exportButton;
    QPushButton* refreshButton;
    // Shown when another copy changed the month's data: the rows stay as they are until F5.
    ChangedElsewhereLine* changedLine;
    QPushButton* rebuildButton;
    QPushButton* checkButton;
    QPushButton* statementButton;
    QPushButton* allStatementsButton;
    MonthCheckDialog* checkDialog;
    QProgressBar* progressBar;
    QPushButton* exitButton;
    QLabel* averagePieceRateFigure;
    QLabel* householdFigure;
    QLabel* pieceWorkFigure;
    QLabel* totalFigure;

    // The footer's figures of the applied month are still being read.
    bool footerComing() const { return footerQuery_.isPending(); }

signals:
    // The footer's figures of the applied month are shown (or, when their statement failed, its
    // error).
    void footerShown();

public slots:
    void reject() override;

private:
    // (Re-)reads the rows of the month, from the server the reports read from.
    void readRows(bool keepRecord = false);
    void buildControls();
    void fillYears(int keep);
    // Shows "…" in the figures and reads them in the background: the rows are painted meanwhile.
    void requestFooter(TimesheetMonth month);
    void showFooter(const TimesheetFooter& footer);
    void layOutDayColumns(TimesheetMonth month);
    // While an export or a rebuild runs, the controls are off and the window does not close.
    void setBusy(bool busy);
    static QVector<GridColumn> gridColumns();

    DataModule& dm_;
    TimesheetStore store_;
    BackgroundQuery footerQuery_;
    Dataset* timesheet_;  // one of the four above, by the mode
    TimesheetMode mode_ = TimesheetMode::PieceWork;
    DayColumnsModel* model_;
    std::array<bool, 32> weekend_{};  // by day of the month
    bool busy_ = false;
    bool filling_ = false;
};
