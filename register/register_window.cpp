#include "register_window.h"

#include "actions.h"
#include "change_listener.h"
#include "change_seam.h"
#include "data_module.h"
#include "list_support.h"
#include "live_view.h"
#include "messages.h"
#include "month_close_bar.h"
#include "quick_entry_row.h"
#include "widgets.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

bool isWeekend(const QDate& d) { return d.dayOfWeek() >= 6; }

QString dateOnly(const QVariant& v)
{
    if (v.isNull())
        return {};
    const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

QVector<GridColumn> RegisterWindow::gridColumns()
{
    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    return {
        {QStringLiteral("fio"), QStringLiteral("Фамилия И.О."), 250, left},
        {QStringLiteral("marka"), QStringLiteral("Марка изделия"), 260, left},
        {QStringLiteral("vid"), QStringLiteral("Операция"), 155, left},
        {QStringLiteral("nmn"), QStringLiteral("Вид"), 157, left},
        {QStringLiteral("color"), QStringLiteral("Цвет"), 64, centred},
        {QStringLiteral("time"), QStringLiteral("Часы"), 64, right},
        {QStringLiteral("kol_vo"), QStringLiteral("Кол-во"), 57, right},
        {QStringLiteral("brak"), QStringLiteral("Брак"), 49, right},
        {QStringLiteral("summa"), QStringLiteral("Итого (р.)"), 78, right},
        {QStringLiteral("prize"), QStringLiteral("Премия (%)"), 64, right, false},
        {QStringLiteral("ok"), QStringLiteral("OK"), 37, centred},
        {QStringLiteral("vvod"), QStringLiteral("Заведен"), 72, centred, true, dateOnly},
    };
}

RegisterWindow::~RegisterWindow() = default;

RegisterWindow::RegisterWindow(DataModule& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm.db)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Табель"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(1281, 585);
    model_ = new DatasetModel(dm_.shiftList1, gridColumns(), this);
    model_->setCellRule([](const Dataset& ds, int rec, const QString& field) -> std::optional<CellStyle> {
        if (field != QLatin1String("ok"))
            return std::nullopt;
        const bool accepted = RegisterStore::isAccepted(ds.valueAt(rec, ds.fieldIndex(field)).toString());
        return CellStyle{accepted ? QColor(Qt::darkGreen) : QColor(Qt::red), std::nullopt, true};
    });
    buildControls();
    buildMenu();

    versionCheckTimer.setObjectName(QStringLiteral("Timer1"));
    versionCheckTimer.setInterval(30000);
    connect(&versionCheckTimer, &QTimer::timeout, this, [this] {
        if (links_.versionCheck)
            links_.versionCheck();
    });
    versionCheckTimer.start();

    // After a lost connection came back, the lists are read again rather than left empty.
    connect(&dm_.changes, &ChangeListener::reconnected, this, [this] {
        if (isVisible())
            refresh();
    });
    liveReread_ = new Gathered([this] { rereadChanged(); }, this);
    connect(&dm_.changes, &ChangeListener::changed, this, &RegisterWindow::takeNotice);
}

void RegisterWindow::buildControls()
{
    shift1Button = new QRadioButton(QStringLiteral("Смена №&1"), this);
    shift2Button = new QRadioButton(QStringLiteral("Смена №&2"), this);
    shift3Button = new QRadioButton(QStringLiteral("Смена №&3"), this);
    overtimeButton = new QRadioButton(QStringLiteral("&Переработка"), this);
    dateEdit = new QDateEdit(QDate::currentDate(), this);
    dayOffBox = new QCheckBox(QStringLiteral("В&ыходной"), this);
    closedMonthMark = new QLabel(this);
    closedMonthMark->setObjectName(QStringLiteral("closedMonthMark"));
    closedMonthMark->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    entriesGrid = new QTableView(this);
    addButton = makeButton(QStringLiteral("Button1"), QStringLiteral("&Добавить"), this);
    changeButton = makeButton(QStringLiteral("Button2"), QStringLiteral("&Изменить"), this);
    deleteButton = makeButton(QStringLiteral("Button3"), QStringLiteral("&Удалить"), this);
    refreshButton = makeButton(QStringLiteral("Button8"), QStringLiteral("Об&новить"), this);
    worksButton = makeButton(QStringLiteral("Button5"), QStringLiteral("Ср.сд./&хоз. работы"), this);
    repeatShiftButton = makeButton(QStringLiteral("repeatShiftButton"), QStringLiteral("Повторить смену"), this);
    repeatShiftButton->setToolTip(QStringLiteral("Повторить смену (Ctrl+R)"));
    auto* repeatKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(repeatKey, &QShortcut::activated, this, [this] {
        if (repeatShiftButton->isVisible() && repeatShiftButton->isEnabled())
            repeatShift();
    });
    exitButton = makeButton(QStringLiteral("Button4"), QStringLiteral("Выход"), this);

    shift1Button->setObjectName(QStringLiteral("RadioButton1"));
    shift2Button->setObjectName(QStringLiteral("RadioButton2"));
    shift3Button->setObjectName(QStringLiteral("RadioButton3"));
    overtimeButton->setObjectName(QStringLiteral("RadioButton4"));
    dateEdit->setObjectName(QStringLiteral("DateT"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    dateEdit->setAccessibleName(QStringLiteral("Дата"));
    dayOffBox->setObjectName(QStringLiteral("CBox1"));
    entriesGrid->setObjectName(QStringLiteral("DBGrid2"));
    entriesGrid->setAccessibleName(QStringLiteral("Позиции смены"));
    shift1Button->setChecked(true);

    bindGrid(entriesGrid, model_);
    entriesGrid->horizontalHeader()->setHighlightSections(false);

    auto* top = new QHBoxLayout;
    for (QRadioButton* b : {shift1Button, shift2Button, shift3Button, overtimeButton})
        top->addWidget(b);
    top->addStretch();
    top->addWidget(closedMonthMark);
    top->addWidget(dateEdit);
    top->addWidget(dayOffBox);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {addButton, changeButton, deleteButton, refreshButton, worksButton, repeatShiftButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(exitButton);
    quickRow = new QuickEntryRow(dm_, [this] { return QuickEntryRow::Target{date(), dayOff(), shiftNo_}; }, this);
    connect(quickRow, &QuickEntryRow::saved, this, &RegisterWindow::showSavedEntry);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(entriesGrid, 1);
    layout->addWidget(quickRow);
    layout->addLayout(buttons);
    paintShiftButtons();
    paintDayOff();

    for (int shift = 1; shift <= 4; ++shift)
        connect(shiftButton(shift), &QRadioButton::toggled, this, [this, shift](bool on) {
            if (on)
                chooseShift(shift);
        });
    // Every change of the date (typed, arrows, wheel, calendar) is applied once it rests for a
    // moment, so typing a date digit by digit re-reads the lists once; Enter applies at once.
    dateRest_.setSingleShot(true);
    dateRest_.setInterval(400);
    connect(&dateRest_, &QTimer::timeout, this, &RegisterWindow::changeDate);
    connect(dateEdit, &QDateEdit::dateChanged, this, [this] { dateRest_.start(); });
    dateEdit->installEventFilter(this);
    connect(dayOffBox, &QCheckBox::toggled, this, [this] { paintDayOff(); });
    connect(entriesGrid, &QTableView::doubleClicked, this, [this] { toggleAcceptance(); });
    connect(addButton, &QPushButton::clicked, this, &RegisterWindow::addEntry);
    connect(changeButton, &QPushButton::clicked, this, &RegisterWindow::changeEntry);
    connect(deleteButton, &QPushButton::clicked, this, &RegisterWindow::deleteEntry);
    connect(refreshButton, &QPushButton::clicked, this, &RegisterWindow::refresh);
    connect(worksButton, &QPushButton::clicked, this, [this] {
        if (links_.works)
            links_.works(date());
    });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

void RegisterWindow::buildMenu()
{
    auto* bar = new QMenuBar(this);
    auto item = [this](QMenu* menu, const QString& name, const QString& text, std::function<void()>* link) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [link] {
            if (*link)
                (*link)();
        });
        return a;
    };
    referenceBooksMenu = bar->addMenu(QStringLiteral("&Справочники"));
    referenceBooksMenu->setObjectName(QStringLiteral("N2"));
    workersAction = item(referenceBooksMenu, QStringLiteral("N1"), QStringLiteral("Рабочие"), &links_.workers);
    productsAction = item(referenceBooksMenu, QStringLiteral("N3"), QStringLiteral("Изделия"), &links_.products);
    pricesAction = item(referenceBooksMenu, QStringLiteral("N4"), QStringLiteral("Цены"), &links_.prices);
    operationKindsAction = item(referenceBooksMenu, QStringLiteral("N6"), QStringLiteral("Операции"), &links_.kinds);
    nomenclatureAction =
        item(referenceBooksMenu, QStringLiteral("N8"), QStringLiteral("Ном. группы"), &links_.nomenclature);

    timesheetsMenu = bar->addMenu(QStringLiteral("&Табель"));
    timesheetsMenu->setObjectName(QStringLiteral("N11"));
    auto timesheet = [this](const QString& name, const QString& text, TimesheetMode mode) {
        QAction* a = timesheetsMenu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, mode] {
            if (links_.timesheet)
                links_.timesheet(mode);
        });
        return a;
    };
    pieceWorkTimesheetAction =
        timesheet(QStringLiteral("N9"), QStringLiteral("Табель сделка"), TimesheetMode::PieceWork);
    timesheetByShiftsAction = timesheetsMenu->addAction(QStringLiteral("Табель по сменам"));
    timesheetByShiftsAction->setObjectName(QStringLiteral("N13"));
    connect(timesheetByShiftsAction, &QAction::triggered, this, [this] {
        if (links_.timesheetByShifts)
            links_.timesheetByShifts(date());
    });
    householdTimesheetAction =
        timesheet(QStringLiteral("N14"), QStringLiteral("Табель хоз. работ"), TimesheetMode::Household);
    averagePieceRateTimesheetAction =
        timesheet(QStringLiteral("N15"), QStringLiteral("Табель ср. сдельная"), TimesheetMode::AveragePieceRate);
    generalTimesheetAction = timesheet(QStringLiteral("N17"), QStringLiteral("Общий табель"), TimesheetMode::General);

    reportsMenu = bar->addMenu(QStringLiteral("&Отчеты"));
    reportsMenu->setObjectName(QStringLiteral("N7"));
    summaryReportsAction =
        item(reportsMenu, QStringLiteral("N10"), QStringLiteral("Сводные отчеты"), &links_.summaryReports);

    buildHistoryMenu(bar);

    exitAction = bar->addAction(QStringLiteral("&Выход"));
    exitAction->setObjectName(QStringLiteral("N5"));
    connect(exitAction, &QAction::triggered, this, &QDialog::reject);
    layout()->setMenuBar(bar);
}

void RegisterWindow::buildHistoryMenu(QMenuBar* bar)
{
    historyMenu = bar->addMenu(QStringLiteral("&История"));
    historyMenu->setObjectName(QStringLiteral("historyMenu"));
    // A disabled command says why in its tooltip.
    historyMenu->setToolTipsVisible(true);
    entryHistoryAction = historyMenu->addAction(QStringLiteral("История позиции"));
    entryHistoryAction->setObjectName(QStringLiteral("entryHistoryAction"));
    entryHistoryAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(entryHistoryAction, &QAction::triggered, this, &RegisterWindow::showEntryHistory);
    changeJournalAction = historyMenu->addAction(QStringLiteral("Журнал изменений"));
    changeJournalAction->setObjectName(QStringLiteral("changeJournalAction"));
    connect(changeJournalAction, &QAction::triggered, this, [this] {
        if (links_.changeJournal)
            links_.changeJournal();
    });
    // The grid's context menu.
    entriesGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    entriesGrid->addAction(entryHistoryAction);
}

QRadioButton* RegisterWindow::shiftButton(int shiftNo) const
{
    switch (shiftNo) {
    case 2: return shift2Button;
    case 3: return shift3Button;
    case 4: return overtimeButton;
    default: return shift1Button;
    }
}

QDate RegisterWindow::date() const { return dateEdit->date(); }

bool RegisterWindow::dayOff() const { return dayOffBox->isChecked(); }

Dataset& RegisterWindow::shiftList() const { return dm_.shiftList(shiftNo_); }

void RegisterWindow::beginSession(Role role)
{
    role_ = role;
    activationPending_ = true;
    chooseShift(1);
    const bool full = role == Role::FullRights;
    referenceBooksMenu->menuAction()->setEnabled(full);
    timesheetsMenu->menuAction()->setEnabled(full);
    addButton->setEnabled(mayDo(role, Command::AddEntry));
    changeButton->setEnabled(mayDo(role, Command::ChangeEntry));
    deleteButton->setEnabled(mayDo(role, Command::DeleteEntry));
    quickRow->setVisible(mayDo(role, Command::AddEntry));
    repeatShiftButton->setVisible(mayDo(role, Command::AddEntry));
    // The history is read by every role, its journal by full rights and the viewer.
    const bool history = historyAvailable(dm_.db);
    const QString why = historyUnavailableReason(dm_.db);
    const bool journal = role == Role::FullRights || role == Role::Viewer;
    entryHistoryAction->setEnabled(history);
    entryHistoryAction->setToolTip(why);
    changeJournalAction->setEnabled(history && journal);
    changeJournalAction->setToolTip(!history ? why
                                    : journal ? QString()
                                              : QStringLiteral("Журнал изменений доступен полным правам и просмотру."));
    if (role == Role::Viewer) {
        // The grid stays enabled so that the viewer can scroll it; it changes nothing.
        for (QWidget* w : std::initializer_list<QWidget*>{refreshButton, shift1Button, shift2Button, shift3Button,
                                                          overtimeButton, dayOffBox, dateEdit})
            w->setEnabled(false);
    }
}

void RegisterWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once per login: a window restored from the task bar keeps its date and lists.
    if (activationPending_) {
        activationPending_ = false;
        activate();
    }
}

void RegisterWindow::activate()
{
    dateEdit->setDate(QDate::currentDate());
    dateRest_.stop();
    if (isWeekend(date()))
        dayOffBox->setChecked(true);
    runAction(dm_.db, [this] { openShiftLists(); });
    showMonthClose(true);
}

void RegisterWindow::showMonthClose(bool reread)
{
    const TimesheetMonth month = TimesheetMonth::of(date());
    if (!reread && closeShownFor_ == month.first())
        return;
    closeShownFor_ = month.first();
    closesSeen_ = MonthCloseStore::changesMade();
    std::optional<MonthClose> close;
    runAction(dm_.db, [&] { close = MonthCloseStore(dm_.db).closeOf(month); });
    closedMonthMark->setText(close ? closedMonthText(month, *close) : QString());
}

void RegisterWindow::openShiftLists()
{
    for (int shift = 1; shift <= 4; ++shift)
        dm_.shiftList(shift).setParam(QStringLiteral("data"), date());
    dm_.reopenShiftLists();
}

void RegisterWindow::changeEvent(QEvent* event)
{
    // Back from a timesheet window that closed or opened a month.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && role_
        && closesSeen_ != MonthCloseStore::changesMade())
        showMonthClose(true);
    QDialog::changeEvent(event);
}

bool RegisterWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == dateEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            changeDate();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RegisterWindow::changeDate()
{
    dateRest_.stop();
    {
        BusyCursor busy;
        runAction(dm_.db, [this] { openShiftLists(); });
        dayOffBox->setChecked(isWeekend(date()));
        showMonthClose(false);
    }
    entriesGrid->setFocus();
}

void RegisterWindow::chooseShift(int shiftNo)
{
    shiftNo_ = shiftNo;
    if (!shiftButton(shiftNo)->isChecked())
        shiftButton(shiftNo)->setChecked(true);
    model_->setDataset(dm_.shiftList(shiftNo));
    paintShiftButtons();
}

void RegisterWindow::paintShiftButtons()
{
    // The current shift stands out in bold on green; the others are plain.
    for (int shift = 1; shift <= 4; ++shift)
        shiftButton(shift)->setStyleSheet(shift == shiftNo_
                                              ? QStringLiteral("QRadioButton { background-color: #008000; "
                                                               "color: white; font-weight: bold; }")
                                              : QString());
}

void RegisterWindow::paintDayOff()
{
    // A day off is shown in bold on red.
    dayOffBox->setStyleSheet(dayOffBox->isChecked()
                             ? QStringLiteral("QCheckBox { background-color: #ff0000; font-weight: bold; }")
                             : QString());
}

void RegisterWindow::toggleAcceptance()
{
    if (role_ && !mayDo(*role_, Command::AcceptEntry))
        return;
    Dataset& ds = shiftList();
    if (ds.isEmpty())
        return;
    const Row entry = ds.currentRow();
    const Outcome toggled = runCommand(dm_.db, [&] { return store_.toggleAcceptance(entry); });
    // A refusal of a stale row re-reads the list (as its message says), keeping the row.
    if (toggled || toggled.isStale())
        runAction(dm_.db, [&] { ds.reopen(true); });
}

void RegisterWindow::deleteEntry()
{
    Dataset& ds = shiftList();
    if (ds.field(QStringLiteral("id")).isNull())
        return;
    const Row entry = ds.currentRow();
    if (msg::askYesNo(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление")))
        runCommand(dm_.db, [&] { return store_.deleteEntry(entry); });
    runAction(dm_.db, [&] { ds.reopen(); });
}

void RegisterWindow::refresh()
{
    BusyCursor busy;
    quickRow->forgetLists();
    runAction(dm_.db, [this] { dm_.reopenShiftLists(); });
    showMonthClose(true);
}

void RegisterWindow::showEntryHistory()
{
    Dataset& ds = shiftList();
    if (ds.isEmpty() || !links_.entryHistory || !entryHistoryAction->isEnabled())
        return;
    links_.entryHistory(ds.currentRow());
}

void RegisterWindow::repeatShift()
{
    if (links_.repeatShift && links_.repeatShift(date(), dayOff(), shiftNo_))
        runAction(dm_.db, [this] { shiftList().reopen(true); });
}

void RegisterWindow::showSavedEntry(const EntryValues& entry)
{
    Dataset& ds = shiftList();
    runAction(dm_.db, [&] { ds.reopen(); });
    // The newest entry of the saved key (worker, operation, colour) on this date and shift.
    int best = 0;
    const auto& rows = ds.fetchedRows();
    const int id = ds.fieldIndex(QStringLiteral("id")), worker = ds.fieldIndex(QStringLiteral("w_id")),
              operation = ds.fieldIndex(QStringLiteral("o_id")), colour = ds.fieldIndex(QStringLiteral("color"));
    for (const auto& row : rows)
        if (row[worker].toInt() == entry.workerId && row[operation].toInt() == entry.operationId
            && row[colour].toInt() == entry.colour)
            best = std::max(best, row[id].toInt());
    if (best != 0)
        ds.locate(QStringLiteral("id"), best);
}

void RegisterWindow::addEntry()
{
    if (links_.addEntry && links_.addEntry(date(), shiftNo_))
        runAction(dm_.db, [this] { shiftList().reopen(true); });
}

void RegisterWindow::changeEntry()
{
    Dataset& ds = shiftList();
    if (ds.isEmpty() || !links_.changeEntry)
        return;
    const int remembered = ds.recNo();
    // Re-read whatever the dialog did: it may have found the entry changed by another user.
    links_.changeEntry(ds.currentRow(), shiftNo_);
    runAction(dm_.db, [&] { ds.reopen(); });
    ds.setRecNo(remembered);
}

void RegisterWindow::takeNotice(const ChangeNotice& notice)
{
    if (!isVisible() || activationPending_)
        return;
    switch (notice.kind) {
    case DataKind::Entry:
        if (!notice.touches(date()))
            return;
        // A changed entry may have left another shift of the day.
        if (notice.action == ChangeAction::Change || notice.shiftNo < 1 || notice.shiftNo > 4)
            staleShifts_ = {1, 2, 3, 4};
        else
            staleShifts_.insert(notice.shiftNo);
        break;
    case DataKind::Worker:
    case DataKind::Product:
    case DataKind::Operation:
    case DataKind::OperationKind:
        // Names the lists show (a product's delete takes its entries with it).
        staleShifts_ = {1, 2, 3, 4};
        quickRow->forgetLists();
        break;
    case DataKind::Month:
        if (!notice.touchesMonth(TimesheetMonth::of(date()).first()))
            return;
        staleMonthClose_ = true;
        break;
    default:
        return;
    }
    liveReread_->request();
}

void RegisterWindow::rereadChanged()
{
    // Never inside a command of this copy (a question asked in its midst): a moment later.
    if (dm_.db.inTransaction()) {
        liveReread_->request();
        return;
    }
    const QSet<int> shifts = std::exchange(staleShifts_, {});
    if (!shifts.isEmpty())
        keepingPlace(entriesGrid, shiftList(), QStringLiteral("id"), [&] {
            if (shifts.size() == 4) {
                dm_.reopenShiftLists();
                return;
            }
            for (int shift : shifts)
                dm_.shiftList(shift).reopen(true);
        });
    if (std::exchange(staleMonthClose_, false))
        showMonthClose(true);
}
