#include "works_list.h"

#include "actions.h"
#include "data_module.h"
#include "live_view.h"
#include "messages.h"
#include "money_text.h"
#include "timesheet_month.h"
#include "widgets.h"
#include "works_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

bool isWeekend(const QDate& d) { return d.dayOfWeek() >= 6; }

} // namespace

QVector<GridColumn> WorksList::gridColumns()
{
    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    return {
        {QStringLiteral("fio"), QStringLiteral("ФИО"), 300, left},
        {QStringLiteral("s_caption"), QStringLiteral("Номенклатура"), 267, left},
        {QStringLiteral("vid"), QStringLiteral("Работа"), 156, left},
        {QStringLiteral("s_price"), QStringLiteral("Цена"), 80, right, true, moneyText},
        {QStringLiteral("cnt"), QStringLiteral("Кол-во"), 64, right},
        {QStringLiteral("summ"), QStringLiteral("Итого"), 80, right, true, moneyText},
        {QStringLiteral("s_holiday"), QStringLiteral("Вых."), 33, centred},
        {QStringLiteral("s_night"), QStringLiteral("Ноч."), 33, centred},
    };
}

WorksList::WorksList(DataModule& dm, WorksDialog& dialog, QWidget* parent)
    : QDialog(parent),
      records(dm.db, QStringLiteral("fatigue"), WorksStore::listStatement()),
      dm_(dm),
      dialog_(dialog),
      store_(dm.db)
{
    setObjectName(QStringLiteral("TForm25"));
    setWindowTitle(QStringLiteral("Хоз. работы (25)"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(1054, 650);
    model_ = new DatasetModel(records, gridColumns(), this);
    buildControls();
    // Another copy's works of the day, and the names the list shows, are read again.
    followChanges(
        this, dm_.changes,
        [this](const ChangeNotice& n) {
            return (n.kind == DataKind::Works && n.touches(date())) || n.kind == DataKind::Worker
                   || n.kind == DataKind::OperationKind || n.kind == DataKind::Group;
        },
        [this] { keepingPlace(grid, records, QStringLiteral("id"), [this] { records.reopen(); }); });
}

void WorksList::buildControls()
{
    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setAccessibleName(QStringLiteral("Хоз. работы"));
    bindGrid(grid, model_);
    addButton = makeButton(QStringLiteral("Button5"), QStringLiteral("&Добавить"), this);
    changeButton = makeButton(QStringLiteral("Button6"), QStringLiteral("&Изменить"), this);
    deleteButton = makeButton(QStringLiteral("Button7"), QStringLiteral("&Удалить"), this);
    recomputeButton = makeButton(QStringLiteral("Button1"), QStringLiteral("&Расчитать ср.сд."), this);
    exitButton = makeButton(QStringLiteral("Button8"), QStringLiteral("Вы&ход"), this);
    dateEdit = new QDateEdit(QDate::currentDate(), this);
    dateEdit->setObjectName(QStringLiteral("DTPcker1"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    auto* dateLabel = new QLabel(QStringLiteral("Да&та:"), this);
    dateLabel->setBuddy(dateEdit);
    dayOffBox = new QCheckBox(QStringLiteral("В&ыходной"), this);
    dayOffBox->setObjectName(QStringLiteral("CBox1"));

    auto* top = new QHBoxLayout;
    top->addWidget(dateLabel);
    top->addWidget(dateEdit);
    top->addWidget(dayOffBox);
    top->addStretch();
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {addButton, changeButton, deleteButton, recomputeButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);

    connect(dateEdit, &QDateEdit::dateChanged, this, [this] {
        if (!settingDate_)
            changeDate();
    });
    connect(dayOffBox, &QCheckBox::toggled, this, [this] { paintDayOff(); });
    connect(grid, &QTableView::doubleClicked, this, [this] { changeRecord(); });
    connect(addButton, &QPushButton::clicked, this, &WorksList::addRecord);
    connect(changeButton, &QPushButton::clicked, this, &WorksList::changeRecord);
    connect(deleteButton, &QPushButton::clicked, this, &WorksList::deleteRecord);
    connect(recomputeButton, &QPushButton::clicked, this, &WorksList::recomputeAveragePrices);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

void WorksList::openForDate(const QDate& date)
{
    prepare(date);
    exec();
    finish();
}

void WorksList::prepare(const QDate& date)
{
    settingDate_ = true;
    dateEdit->setDate(date);
    settingDate_ = false;
    // The day-off mark follows the date from the start, not only after the user changes it.
    dayOffBox->setChecked(isWeekend(date));
    paintDayOff();
    enableWrites();
    reread(false);
    layout()->activate();
    widenToFit(this, grid);
}

void WorksList::finish() { records.close(); }

void WorksList::enableWrites()
{
    // The buttons show what the store will allow the login.
    const std::optional<Role> role = dm_.db.loginRole;
    const auto allowed = [&](Command command) { return role && mayDo(*role, command); };
    addButton->setEnabled(allowed(Command::AddWorks));
    changeButton->setEnabled(allowed(Command::ChangeWorks));
    deleteButton->setEnabled(allowed(Command::DeleteWorks));
    recomputeButton->setEnabled(allowed(Command::RecomputeWorks));
}

QDate WorksList::date() const { return dateEdit->date(); }

bool WorksList::dayOff() const { return dayOffBox->isChecked(); }

void WorksList::changeDate()
{
    dayOffBox->setChecked(isWeekend(date()));
    reread(false);
}

void WorksList::paintDayOff()
{
    // A day off is shown in bold on red.
    dayOffBox->setStyleSheet(dayOffBox->isChecked()
                                 ? QStringLiteral("QCheckBox { background-color: #ff0000; font-weight: bold; }")
                                 : QString());
}

void WorksList::reread(bool sameRow)
{
    const int remembered = records.recNo();
    runAction(dm_.db, [&] {
        records.close();
        records.setParam(QStringLiteral("d_date"), date());
        records.open();
        if (sameRow && remembered > 0 && !records.isEmpty())
            records.setRecNo(remembered);
    });
}

void WorksList::addRecord()
{
    if (dialog_.openForAdd(date(), dayOff()))
        reread(true);
}

void WorksList::changeRecord()
{
    // A double click changes a record only where the button would.
    if (records.isEmpty() || !changeButton->isEnabled())
        return;
    // Re-read whatever the dialog did: it may have found the record changed by another user.
    dialog_.openForChange(records.currentRow(), dayOff());
    reread(true);
}

void WorksList::deleteRecord()
{
    if (records.isEmpty())
        return;
    const Row record = records.currentRow();
    if (!msg::askYesNo(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление")))
        return;
    runCommand(dm_.db, [&] { return store_.remove(record); });
    reread(true);
}

void WorksList::recomputeAveragePrices()
{
    {
        BusyCursor busy;
        runCommand(dm_.db, [this] { return store_.recomputeAveragePrices(TimesheetMonth::of(date())); });
    }
    reread(true);
}
