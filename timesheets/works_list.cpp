#include "works_list.h"

#include "actions.h"
#include "data_module.h"
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
      fatigue(dm.db, QStringLiteral("fatigue"), WorksStore::listStatement()),
      dm_(dm),
      dialog_(dialog),
      store_(dm.db)
{
    setObjectName(QStringLiteral("TForm25"));
    setWindowTitle(QStringLiteral("Хоз. работы (25)"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(1054, 650);
    model_ = new DatasetModel(fatigue, gridColumns(), this);
    buildControls();
}

void WorksList::buildControls()
{
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Хоз. работы"));
    bindGrid(DBGrid1, model_);
    Button5 = makeButton(QStringLiteral("Button5"), QStringLiteral("&Добавить"), this);
    Button6 = makeButton(QStringLiteral("Button6"), QStringLiteral("&Изменить"), this);
    Button7 = makeButton(QStringLiteral("Button7"), QStringLiteral("&Удалить"), this);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("&Расчитать ср.сд."), this);
    Button8 = makeButton(QStringLiteral("Button8"), QStringLiteral("Вы&ход"), this);
    DTPcker1 = new QDateEdit(QDate::currentDate(), this);
    DTPcker1->setObjectName(QStringLiteral("DTPcker1"));
    DTPcker1->setCalendarPopup(true);
    DTPcker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    auto* dateLabel = new QLabel(QStringLiteral("Да&та:"), this);
    dateLabel->setBuddy(DTPcker1);
    CBox1 = new QCheckBox(QStringLiteral("В&ыходной"), this);
    CBox1->setObjectName(QStringLiteral("CBox1"));

    auto* top = new QHBoxLayout;
    top->addWidget(dateLabel);
    top->addWidget(DTPcker1);
    top->addWidget(CBox1);
    top->addStretch();
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Button5, Button6, Button7, Button1})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Button8);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);

    connect(DTPcker1, &QDateEdit::dateChanged, this, [this] {
        if (!settingDate_)
            changeDate();
    });
    connect(CBox1, &QCheckBox::toggled, this, [this] { paintDayOff(); });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { changeRecord(); });
    connect(Button5, &QPushButton::clicked, this, &WorksList::addRecord);
    connect(Button6, &QPushButton::clicked, this, &WorksList::changeRecord);
    connect(Button7, &QPushButton::clicked, this, &WorksList::deleteRecord);
    connect(Button1, &QPushButton::clicked, this, &WorksList::recomputeAveragePrices);
    connect(Button8, &QPushButton::clicked, this, &QDialog::reject);
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
    DTPcker1->setDate(date);
    settingDate_ = false;
    // The day-off mark follows the date from the start, not only after the user changes it.
    CBox1->setChecked(isWeekend(date));
    paintDayOff();
    reread(false);
    layout()->activate();
    widenToFit(this, DBGrid1);
}

void WorksList::finish() { fatigue.close(); }

QDate WorksList::date() const { return DTPcker1->date(); }

bool WorksList::dayOff() const { return CBox1->isChecked(); }

void WorksList::changeDate()
{
    CBox1->setChecked(isWeekend(date()));
    reread(false);
}

void WorksList::paintDayOff()
{
    // A day off is shown in bold on red.
    CBox1->setStyleSheet(CBox1->isChecked()
                             ? QStringLiteral("QCheckBox { background-color: #ff0000; font-weight: bold; }")
                             : QString());
}

void WorksList::reread(bool sameRow)
{
    const int remembered = fatigue.recNo();
    runAction(dm_.db, [&] {
        fatigue.close();
        fatigue.setParam(QStringLiteral("d_date"), date());
        fatigue.open();
        if (sameRow && remembered > 0 && !fatigue.isEmpty())
            fatigue.setRecNo(remembered);
    });
}

void WorksList::addRecord()
{
    if (dialog_.openForAdd(date(), dayOff()))
        reread(true);
}

void WorksList::changeRecord()
{
    if (fatigue.isEmpty())
        return;
    // Re-read whatever the dialog did: it may have found the record changed by another user.
    dialog_.openForChange(fatigue.currentRow(), dayOff());
    reread(true);
}

void WorksList::deleteRecord()
{
    if (fatigue.isEmpty())
        return;
    const Row record = fatigue.currentRow();
    if (!msg::askYesNo(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление")))
        return;
    runCommand(dm_.db, [&] { return store_.remove(record); });
    reread(true);
}

void WorksList::recomputeAveragePrices()
{
    {
        BusyCursor busy;
        runAction(dm_.db, [this] { store_.recomputeAveragePrices(TimesheetMonth::of(date())); });
    }
    reread(true);
}
