#include "register_window.h"

#include "actions.h"
#include "data_module.h"
#include "list_support.h"
#include "messages.h"
#include "widgets.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
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

RegisterWindow::~RegisterWindow() { dm_.db.onReopened = nullptr; }

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

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(30000);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        if (links_.versionCheck)
            links_.versionCheck();
    });
    Timer1.start();

    // After a lost connection came back, the lists are read again rather than left empty.
    dm_.db.onReopened = [this] {
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                refresh();
        });
    };
}

void RegisterWindow::buildControls()
{
    RadioButton1 = new QRadioButton(QStringLiteral("Смена №&1"), this);
    RadioButton2 = new QRadioButton(QStringLiteral("Смена №&2"), this);
    RadioButton3 = new QRadioButton(QStringLiteral("Смена №&3"), this);
    RadioButton4 = new QRadioButton(QStringLiteral("&Переработка"), this);
    DateT = new QDateEdit(QDate::currentDate(), this);
    CBox1 = new QCheckBox(QStringLiteral("В&ыходной"), this);
    DBGrid2 = new QTableView(this);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("&Добавить"), this);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("&Изменить"), this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("&Удалить"), this);
    Button8 = makeButton(QStringLiteral("Button8"), QStringLiteral("Об&новить"), this);
    Button5 = makeButton(QStringLiteral("Button5"), QStringLiteral("Ср.сд./&хоз. работы"), this);
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("Выход"), this);

    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    RadioButton4->setObjectName(QStringLiteral("RadioButton4"));
    DateT->setObjectName(QStringLiteral("DateT"));
    DateT->setCalendarPopup(true);
    DateT->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateT->setAccessibleName(QStringLiteral("Дата"));
    CBox1->setObjectName(QStringLiteral("CBox1"));
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setAccessibleName(QStringLiteral("Позиции смены"));
    RadioButton1->setChecked(true);

    bindGrid(DBGrid2, model_);
    DBGrid2->horizontalHeader()->setHighlightSections(false);

    auto* top = new QHBoxLayout;
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        top->addWidget(b);
    top->addStretch();
    top->addWidget(DateT);
    top->addWidget(CBox1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button3, Button8, Button5})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(DBGrid2, 1);
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
    connect(DateT, &QDateEdit::dateChanged, this, [this] { dateRest_.start(); });
    DateT->installEventFilter(this);
    connect(CBox1, &QCheckBox::toggled, this, [this] { paintDayOff(); });
    connect(DBGrid2, &QTableView::doubleClicked, this, [this] { toggleAcceptance(); });
    connect(Button1, &QPushButton::clicked, this, &RegisterWindow::addEntry);
    connect(Button2, &QPushButton::clicked, this, &RegisterWindow::changeEntry);
    connect(Button3, &QPushButton::clicked, this, &RegisterWindow::deleteEntry);
    connect(Button8, &QPushButton::clicked, this, &RegisterWindow::refresh);
    connect(Button5, &QPushButton::clicked, this, [this] {
        if (links_.works)
            links_.works(date());
    });
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
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
    N2 = bar->addMenu(QStringLiteral("&Справочники"));
    N2->setObjectName(QStringLiteral("N2"));
    N1 = item(N2, QStringLiteral("N1"), QStringLiteral("Рабочие"), &links_.workers);
    N3 = item(N2, QStringLiteral("N3"), QStringLiteral("Изделия"), &links_.products);
    N4 = item(N2, QStringLiteral("N4"), QStringLiteral("Цены"), &links_.prices);
    N6 = item(N2, QStringLiteral("N6"), QStringLiteral("Операции"), &links_.kinds);
    N8 = item(N2, QStringLiteral("N8"), QStringLiteral("Ном. группы"), &links_.nomenclature);

    N11 = bar->addMenu(QStringLiteral("&Табель"));
    N11->setObjectName(QStringLiteral("N11"));
    auto timesheet = [this](const QString& name, const QString& text, TimesheetMode mode) {
        QAction* a = N11->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, mode] {
            if (links_.timesheet)
                links_.timesheet(mode);
        });
        return a;
    };
    N9 = timesheet(QStringLiteral("N9"), QStringLiteral("Табель сделка"), TimesheetMode::PieceWork);
    N13 = N11->addAction(QStringLiteral("Табель по сменам"));
    N13->setObjectName(QStringLiteral("N13"));
    connect(N13, &QAction::triggered, this, [this] {
        if (links_.timesheetByShifts)
            links_.timesheetByShifts(date());
    });
    N14 = timesheet(QStringLiteral("N14"), QStringLiteral("Табель хоз. работ"), TimesheetMode::Household);
    N15 = timesheet(QStringLiteral("N15"), QStringLiteral("Табель ср. сдельная"), TimesheetMode::AveragePieceRate);
    N17 = timesheet(QStringLiteral("N17"), QStringLiteral("Общий табель"), TimesheetMode::General);

    N7 = bar->addMenu(QStringLiteral("&Отчеты"));
    N7->setObjectName(QStringLiteral("N7"));
    N10 = item(N7, QStringLiteral("N10"), QStringLiteral("Сводные отчеты"), &links_.summaryReports);

    N5 = bar->addAction(QStringLiteral("&Выход"));
    N5->setObjectName(QStringLiteral("N5"));
    connect(N5, &QAction::triggered, this, &QDialog::reject);
    layout()->setMenuBar(bar);
}

QRadioButton* RegisterWindow::shiftButton(int shiftNo) const
{
    switch (shiftNo) {
    case 2: return RadioButton2;
    case 3: return RadioButton3;
    case 4: return RadioButton4;
    default: return RadioButton1;
    }
}

QDate RegisterWindow::date() const { return DateT->date(); }

bool RegisterWindow::dayOff() const { return CBox1->isChecked(); }

Dataset& RegisterWindow::shiftList() const { return dm_.shiftList(shiftNo_); }

void RegisterWindow::beginSession(Role role)
{
    role_ = role;
    activationPending_ = true;
    chooseShift(1);
    const bool full = role == Role::FullRights;
    N2->menuAction()->setEnabled(full);
    N11->menuAction()->setEnabled(full);
    switch (role) {
    case Role::FullRights:
        break;
    case Role::Viewer:
        // The grid stays enabled so that the viewer can scroll it; it changes nothing.
        for (QWidget* w : std::initializer_list<QWidget*>{Button1, Button2, Button3, Button8, RadioButton1,
                                                          RadioButton2, RadioButton3, RadioButton4, CBox1, DateT})
            w->setEnabled(false);
        break;
    case Role::Foremen:
        Button2->setEnabled(false);
        Button3->setEnabled(false);
        break;
    case Role::Warehouse:
        Button1->setEnabled(false);
        Button2->setEnabled(false);
        Button3->setEnabled(false);
        break;
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
    DateT->setDate(QDate::currentDate());
    dateRest_.stop();
    if (isWeekend(date()))
        CBox1->setChecked(true);
    runAction(dm_.db, [this] { openShiftLists(); });
}

void RegisterWindow::openShiftLists()
{
    for (int shift = 1; shift <= 4; ++shift)
        dm_.shiftList(shift).setParam(QStringLiteral("data"), date());
    dm_.reopenShiftLists();
}

bool RegisterWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DateT && event->type() == QEvent::KeyPress) {
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
        CBox1->setChecked(isWeekend(date()));
    }
    DBGrid2->setFocus();
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
    CBox1->setStyleSheet(CBox1->isChecked()
                             ? QStringLiteral("QCheckBox { background-color: #ff0000; font-weight: bold; }")
                             : QString());
}

void RegisterWindow::toggleAcceptance()
{
    if (role_ == Role::Foremen || role_ == Role::Viewer)
        return;
    Dataset& ds = shiftList();
    if (ds.isEmpty())
        return;
    runAction(dm_.db, [&] {
        store_.setMark(ds.field(QStringLiteral("id")).asInteger(),
                       RegisterStore::toggledMark(ds.field(QStringLiteral("ok")).asString()));
        ds.reopen(true);
    });
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
    runAction(dm_.db, [this] { dm_.reopenShiftLists(); });
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
