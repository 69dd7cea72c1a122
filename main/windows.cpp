#include "windows.h"

#include "change_journal_window.h"
#include "data_module.h"
#include "entry_dialog.h"
#include "entry_history_window.h"
#include "group_dialog.h"
#include "kind_dialog.h"
#include "kinds_list.h"
#include "login_window.h"
#include "messages.h"
#include "nomenclature_list.h"
#include "norms_window.h"
#include "repeat_shift_dialog.h"
#include "operation_dialog.h"
#include "operations_list.h"
#include "product_dialog.h"
#include "products_list.h"
#include "register_window.h"
#include "timesheet_window.h"
#include "by_shift_window.h"
#include "summary_reports_window.h"
#include "worker_dialog.h"
#include "workers_list.h"
#include "works_dialog.h"
#include "works_list.h"

#include <QEvent>
#include <QThread>
#include <QTimer>
#include <functional>
#include <utility>
#include <thread>

Windows::Windows() = default;
Windows::~Windows() = default;

bool Windows::start(const QStringList& arguments, BuildStamp stamp, Others others)
{
    dataModule_ = std::make_unique<DataModule>();
    // The connection opens on a thread of its own while the windows are made (none of them
    // reads the database before it is shown): loading the driver and the server's start of a
    // session take about as long as making the windows. It is handed to this thread before
    // anything uses it; without it no window is shown.
    const ConnectionSettings settings = ConnectionSettings::fromArguments(arguments);
    Database& db = dataModule_->db;
    QThread* windowsThread = QThread::currentThread();
    bool connected = false;
    std::thread connecting([&] {
        try {
            db.open(settings);
            connected = true;
        } catch (...) {
        }
        db.handOverTo(windowsThread);
    });
    try {
        createWindows(stamp, others);
    } catch (...) {
        connecting.join();
        throw;
    }
    connecting.join();
    if (!connected) {
        msg::error(QStringLiteral("Подключение к БД отсутсвует!!!"), QStringLiteral("Ошибка!"));
        return false;
    }
    // Live updates from the other copies, on this thread's event loop.
    dataModule_->changes.start();
    return true;
}

void Windows::createWindows(BuildStamp stamp, Others others)
{
    // The history records the build of every write.
    dataModule_->db.build = QStringLiteral("%1.%2").arg(stamp.date).arg(stamp.time);
    register_ = std::make_unique<RegisterWindow>(*dataModule_);

    LoginWindow::Hooks hooks;
    hooks.registerWindow = register_.get();
    hooks.startSession = [this](Role role) {
        createOtherWindows();
        register_->beginSession(role);
        summaryReports_->applyRole(role);
    };
    login_ = std::make_unique<LoginWindow>(*dataModule_, stamp, std::move(hooks));

    if (others == Others::Now) {
        createOtherWindows();
        return;
    }
    // Right after the login window's first paint, before the user can answer it.
    struct FirstPaint : QObject {
        std::function<void()> then;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && then) {
                QTimer::singleShot(0, watched, std::exchange(then, {}));
                watched->removeEventFilter(this);
            }
            return false;
        }
    };
    auto* firstPaint = new FirstPaint;
    firstPaint->setParent(login_.get());
    firstPaint->then = [this] { createOtherWindows(); };
    login_->installEventFilter(firstPaint);
}

void Windows::createOtherWindows()
{
    if (workersList_)
        return;
    createReferenceBooks();
    createRegisterDialogs();
    createTimesheets();
    createReports();
    wireRegister();
}

void Windows::createReferenceBooks()
{
    DataModule& dm = *dataModule_;
    QWidget* owner = register_.get();
    workerDialog_ = std::make_unique<WorkerDialog>(dm, owner);
    workersList_ = std::make_unique<WorkersList>(dm, *workerDialog_, owner);
    productDialog_ = std::make_unique<ProductDialog>(dm, owner);
    productsList_ = std::make_unique<ProductsList>(dm, *productDialog_, owner);
    kindDialog_ = std::make_unique<KindDialog>(dm, owner);
    kindsList_ = std::make_unique<KindsList>(dm, *kindDialog_, owner);
    groupDialog_ = std::make_unique<GroupDialog>(dm);
    nomenclatureList_ = std::make_unique<NomenclatureList>(dm, *groupDialog_);
    operationsList_ = std::make_unique<OperationsList>(dm, owner);
}

void Windows::createRegisterDialogs()
{
    DataModule& dm = *dataModule_;
    QWidget* owner = register_.get();
    operationDialog_ = std::make_unique<OperationDialog>(dm, owner);
    operationDialog_->setPickers({[this] { return productsList_->choose(); }, [this] { return kindsList_->choose(); }});
    normsWindow_ = std::make_unique<NormsWindow>(dm, owner);
    operationsList_->setEditors({[this] { return operationDialog_->openForAdd(); },
                                 [this](const Row& operation) { return operationDialog_->openForChange(operation); },
                                 [this](const Row& operation) { return normsWindow_->editNorms(operation); }});

    entryDialog_ = std::make_unique<EntryDialog>(dm, owner);
    EntryDialog::Pickers pickers;
    pickers.worker = [this] { return workersList_->choose(); };
    pickers.operation = [this](int locateOperationId) {
        return operationsList_->choose(locateOperationId, register_->dayOff(), register_->shift());
    };
    entryDialog_->setPickers(std::move(pickers));
    repeatShiftDialog_ = std::make_unique<RepeatShiftDialog>(dm, owner);
    entryHistory_ = std::make_unique<EntryHistoryWindow>(dm, owner);
    changeJournal_ = std::make_unique<ChangeJournalWindow>(dm, owner);
}

void Windows::createTimesheets()
{
    DataModule& dm = *dataModule_;
    QWidget* owner = register_.get();
    timesheetWindow_ = std::make_unique<TimesheetWindow>(dm, owner);
    timesheetByShiftWindow_ = std::make_unique<TimesheetByShiftWindow>(dm, owner);
    worksDialog_ = std::make_unique<WorksDialog>(dm, owner);
    worksDialog_->setPickers({[this] { return workersList_->choose(); }, [this] { return nomenclatureList_->choose(); }});
    worksList_ = std::make_unique<WorksList>(dm, *worksDialog_, owner);
}

void Windows::createReports()
{
    summaryReports_ = std::make_unique<SummaryReportsWindow>(*dataModule_, register_.get());
}

void Windows::wireRegister()
{
    RegisterWindow::Links links;
    links.versionCheck = [this] { login_->runVersionCheck(); };
    links.workers = [this] { workersList_->browse(); };
    links.products = [this] { productsList_->browse(); };
    links.kinds = [this] { kindsList_->browse(); };
    links.prices = [this] { operationsList_->browse(); };
    links.nomenclature = [this] { nomenclatureList_->browse(); };
    links.timesheet = [this](TimesheetMode mode) { timesheetWindow_->open(mode); };
    links.works = [this](const QDate& date) { worksList_->openForDate(date); };
    links.timesheetByShifts = [this](const QDate& date) { timesheetByShiftWindow_->openFor(date); };
    links.summaryReports = [this] { summaryReports_->openReports(); };
    links.addEntry = [this](const QDate& date, int shiftNo) { return entryDialog_->openForAdd(date, shiftNo); };
    links.changeEntry = [this](const Row& entry, int shiftNo) { return entryDialog_->openForChange(entry, shiftNo); };
    links.repeatShift = [this](const QDate& date, bool dayOff, int shiftNo) {
        return repeatShiftDialog_->openFor(date, dayOff, shiftNo);
    };
    links.entryHistory = [this](const Row& entry) { entryHistory_->showFor(entry); };
    links.changeJournal = [this] { changeJournal_->open(); };
    register_->setLinks(std::move(links));
}
