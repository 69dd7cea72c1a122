#pragma once
// RegisterWindow (TForm1) "Табель": the register of one date and shift, acceptance marks,
// deleting entries, and the menu that opens every other window.
#include "dataset_model.h"
#include "register_store.h"
#include "role.h"
#include "timesheet_mode.h"

#include <QDialog>
#include <QSet>
#include <QTimer>
#include <functional>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QDateEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTableView;
class DataModule;
class Gathered;
class QuickEntryRow;
struct ChangeNotice;
struct EntryValues;

class RegisterWindow : public QDialog {
    Q_OBJECT
public:
    // What the register opens; the composition root fills these as the windows exist.
    struct Links {
        std::function<void()> workers, products, prices, kinds, nomenclature;
        std::function<void(TimesheetMode)> timesheet;
        std::function<void()> summaryReports;
        // The register's date is passed on.
        std::function<void(const QDate&)> works, timesheetByShifts;
        // The entry dialog for a new entry or an entry of the shift list; true when it saved.
        std::function<bool(const QDate& date, int shiftNo)> addEntry;
        std::function<bool(const Row& entry, int shiftNo)> changeEntry;
        // "Повторить смену" into the register's date, day-off mark and shift; true when it wrote.
        std::function<bool(const QDate& date, bool dayOff, int shiftNo)> repeatShift;
        // The history of an entry of the shift list; the journal of every change.
        std::function<void(const Row& entry)> entryHistory;
        std::function<void()> changeJournal;
        std::function<void()> versionCheck;  // every 30 seconds
    };

    explicit RegisterWindow(DataModule& dm, QWidget* parent = nullptr);
    ~RegisterWindow() override;

    void setLinks(Links links) { links_ = std::move(links); }
    // Before the login shows the window: shift 1, and what the role may not use disabled
    // (the enabled states stay until the program ends).
    void beginSession(Role role);

    // What the register's openers read.
    QDate date() const;
    bool dayOff() const;
    int shift() const { return shiftNo_; }

    // Actions, public so that tests drive them as the controls do.
    void changeDate();
    void chooseShift(int shiftNo);
    void toggleAcceptance();  // a double click on the grid
    void deleteEntry();
    void refresh();
    void addEntry();
    void changeEntry();
    void repeatShift();  // repeatShiftButton, Ctrl+R
    void showEntryHistory();  // entryHistoryAction: the current entry's history

    QRadioButton* shift1Button;
    QRadioButton* shift2Button;
    QRadioButton* shift3Button;
    QRadioButton* overtimeButton;
    QDateEdit* dateEdit;
    QCheckBox* dayOffBox;
    QTableView* entriesGrid;
    // Under the grid, for the roles that may add entries.
    QuickEntryRow* quickRow;
    QPushButton* addButton;
    QPushButton* changeButton;
    QPushButton* deleteButton;
    QPushButton* refreshButton;
    QPushButton* worksButton;
    QPushButton* repeatShiftButton;
    QPushButton* exitButton;
    QTimer versionCheckTimer;
    QMenu* referenceBooksMenu;
    QMenu* timesheetsMenu;
    QMenu* reportsMenu;
    QMenu* historyMenu;
    QAction *entryHistoryAction, *changeJournalAction;
    QLabel* closedMonthMark;  // the register date's month is closed
    QAction *workersAction, *productsAction, *pricesAction, *operationKindsAction, *nomenclatureAction;
    QAction *pieceWorkTimesheetAction, *timesheetByShiftsAction, *householdTimesheetAction,
        *averagePieceRateTimesheetAction, *generalTimesheetAction;
    QAction *summaryReportsAction, *exitAction;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Dataset& shiftList() const;
    void buildMenu();
    void buildControls();
    void activate();
    void openShiftLists();
    // After a save from the quick row: the shift's list read again, on the entry saved.
    void showSavedEntry(const EntryValues& entry);
    void paintShiftButtons();
    void paintDayOff();
    void buildHistoryMenu(QMenuBar* bar);
    // Shows whether the register date's month is closed, reading it when the month changed or
    // when `reread`.
    void showMonthClose(bool reread);
    QRadioButton* shiftButton(int shiftNo) const;
    // Another copy's change: the lists it touched are read again, gathered.
    void takeNotice(const ChangeNotice& notice);
    void rereadChanged();
    static QVector<GridColumn> gridColumns();

    DataModule& dm_;
    RegisterStore store_;
    int shiftNo_ = 1;
    std::optional<Role> role_;
    bool activationPending_ = true;
    QDate closeShownFor_;  // the first day of the month whose close is shown
    int closesSeen_ = 0;   // MonthCloseStore::changesMade() when it was read
    QTimer dateRest_;
    // What other copies changed and is still to be read again.
    QSet<int> staleShifts_;
    bool staleMonthClose_ = false;
    Gathered* liveReread_;
    DatasetModel* model_;
    Links links_;
};
