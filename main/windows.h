#pragma once
// The composition root: the data module, the connection and every window, created once at
// start-up in a fixed order and wired together. Members are destroyed in the reverse order of
// their declaration: the windows before the register they are parented to, all of them
// before the data module whose datasets they show.
#include "version_check.h"

#include <QStringList>
#include <memory>

class ChangeJournalWindow;
class DataModule;
class EntryDialog;
class EntryHistoryWindow;
class GroupDialog;
class KindDialog;
class KindsList;
class LoginWindow;
class NomenclatureList;
class NormsWindow;
class OperationDialog;
class OperationsList;
class ProductDialog;
class ProductsList;
class RegisterWindow;
class RepeatShiftDialog;
class TimesheetWindow;
class TimesheetByShiftWindow;
class SummaryReportsWindow;
class WorkerDialog;
class WorkersList;
class WorksDialog;
class WorksList;

class Windows {
public:
    Windows();
    ~Windows();

    // When the windows other than the register and the login window are made: at once, or
    // (the program) right after the login window has been painted, so that it shows sooner;
    // a login makes them first if they are not made yet.
    enum class Others { Now, AfterLoginShown };

    // Connects with the command-line arguments and creates the windows. On a failed
    // connection tells the user and returns false; no window is shown then.
    bool start(const QStringList& arguments, BuildStamp stamp, Others others = Others::Now);

    DataModule& dataModule() { return *dataModule_; }
    RegisterWindow& registerWindow() { return *register_; }
    LoginWindow& loginWindow() { return *login_; }
    WorkersList& workersList() { return *workersList_; }
    ProductsList& productsList() { return *productsList_; }
    KindsList& kindsList() { return *kindsList_; }
    OperationsList& operationsList() { return *operationsList_; }
    EntryDialog& entryDialog() { return *entryDialog_; }
    RepeatShiftDialog& repeatShiftDialog() { return *repeatShiftDialog_; }
    EntryHistoryWindow& entryHistory() { return *entryHistory_; }
    ChangeJournalWindow& changeJournal() { return *changeJournal_; }
    NomenclatureList& nomenclatureList() { return *nomenclatureList_; }
    TimesheetWindow& timesheetWindow() { return *timesheetWindow_; }
    TimesheetByShiftWindow& timesheetByShiftWindow() { return *timesheetByShiftWindow_; }
    WorksList& worksList() { return *worksList_; }
    WorksDialog& worksDialog() { return *worksDialog_; }
    SummaryReportsWindow& summaryReports() { return *summaryReports_; }

private:
    void createWindows(BuildStamp stamp, Others others);
    void createOtherWindows();
    void createReferenceBooks();
    void createRegisterDialogs();
    void createTimesheets();
    void createReports();
    void wireRegister();

    std::unique_ptr<DataModule> dataModule_;
    std::unique_ptr<RegisterWindow> register_;
    std::unique_ptr<LoginWindow> login_;
    std::unique_ptr<WorkerDialog> workerDialog_;
    std::unique_ptr<WorkersList> workersList_;
    std::unique_ptr<ProductDialog> productDialog_;
    std::unique_ptr<ProductsList> productsList_;
    std::unique_ptr<KindDialog> kindDialog_;
    std::unique_ptr<KindsList> kindsList_;
    std::unique_ptr<GroupDialog> groupDialog_;
    std::unique_ptr<NomenclatureList> nomenclatureList_;
    std::unique_ptr<OperationsList> operationsList_;
    std::unique_ptr<OperationDialog> operationDialog_;
    std::unique_ptr<NormsWindow> normsWindow_;
    std::unique_ptr<EntryDialog> entryDialog_;
    std::unique_ptr<RepeatShiftDialog> repeatShiftDialog_;
    std::unique_ptr<EntryHistoryWindow> entryHistory_;
    std::unique_ptr<ChangeJournalWindow> changeJournal_;
    std::unique_ptr<TimesheetWindow> timesheetWindow_;
    std::unique_ptr<TimesheetByShiftWindow> timesheetByShiftWindow_;
    std::unique_ptr<WorksDialog> worksDialog_;
    std::unique_ptr<WorksList> worksList_;
    std::unique_ptr<SummaryReportsWindow> summaryReports_;
};
