#include "by_shift_window.h"

#include "actions.h"
#include "data_module.h"
#include "excel_book.h"
#include "live_view.h"
#include "month_choice.h"
#include "month_check_dialog.h"
#include "month_close_bar.h"
#include "month_rebuild.h"
#include "widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QColor kTotalBackground(225, 228, 255);
const QColor kLongDay(192, 220, 192);
constexpr int kDayWidth = 20;
constexpr int kFirstYear = 2007;

} // namespace

QVector<GridColumn> TimesheetByShiftWindow::gridColumns()
{
    QVector<GridColumn> columns{{QStringLiteral("fio"), QStringLiteral("Фамилия И. О."), 208}};
    for (int day = 1; day <= 31; ++day)
        columns.push_back({QStringLiteral("d%1").arg(day), QString::number(day), kDayWidth, Qt::AlignCenter});
    columns.push_back({QStringLiteral("summ"), QStringLiteral("Итого"), 47, Qt::AlignCenter});
    return columns;
}

int TimesheetByShiftWindow::columnOf(const QString& field)
{
    static const QVector<GridColumn> columns = gridColumns();
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].field == field)
            return i;
    return -1;
}

std::optional<CellStyle> TimesheetByShiftWindow::dayCellStyle(int hours, bool weekend, bool afterEnd,
                                                             const QColor& background)
{
    if (afterEnd)
        return CellStyle{background, std::nullopt, false};
    const std::optional<QColor> red = weekend ? std::optional<QColor>(QColor(Qt::red)) : std::nullopt;
    if (hours == 0)
        return CellStyle{weekend ? QColor(Qt::red) : QColor(Qt::lightGray), std::nullopt, false};
    if (hours == 8)
        return CellStyle{red, std::nullopt, true};
    if (hours > 8)
        return CellStyle{red, kLongDay, true};
    if (weekend)
        return CellStyle{red, std::nullopt, false};
    return std::nullopt;
}

TimesheetByShiftWindow::TimesheetByShiftWindow(DataModule& dm, QWidget* parent)
    : QDialog(parent), dm_(dm), print_(dm.db)
{
    setObjectName(QStringLiteral("TForm19"));
    setWindowTitle(QStringLiteral("Табель по времени"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(958, 577);
    buildControls();
}

TimesheetByShiftWindow::~TimesheetByShiftWindow() = default;

QTableView* TimesheetByShiftWindow::makeGrid(int shiftNo, QWidget* parent)
{
    Dataset& rows = dm_.shiftTimesheet(shiftNo);
    auto* model = new DayColumnsModel(rows, gridColumns(), [this](int day) -> std::optional<QColor> {
        if (afterEnd_[day])
            return QColor(Qt::lightGray);
        if (weekend_[day])
            return QColor(Qt::red);
        return std::nullopt;
    }, this);
    auto* grid = new QTableView(parent);
    grid->setObjectName(QStringLiteral("DBGrid%1").arg(shiftNo));
    grid->setAccessibleName(QStringLiteral("Смена №%1").arg(shiftNo));
    model->setCellRule([this, grid](const Dataset& ds, int rec, const QString& field) -> std::optional<CellStyle> {
        if (field == QLatin1String("summ"))
            return CellStyle{std::nullopt, kTotalBackground, true};
        const int day = dayOfField(field);
        if (day == 0)
            return std::nullopt;
        const int hours = ds.valueAt(rec, ds.fieldIndex(field)).toInt();
        return dayCellStyle(hours, weekend_[day], afterEnd_[day], grid->palette().color(QPalette::Base));
    });
    bindGrid(grid, model);
    grid->horizontalHeader()->setMinimumSectionSize(kDayWidth);
    grid->setTextElideMode(Qt::ElideNone);
    const QVector<GridColumn> columns = gridColumns();
    for (int i = 0; i < columns.size(); ++i)
        grid->setColumnWidth(i, columns[i].width);
    models_[shiftNo - 1] = model;
    grids_[shiftNo - 1] = grid;
    return grid;
}

void TimesheetByShiftWindow::buildControls()
{
    const MonthChoice choice = makeMonthChoice(this, QStringLiteral("ComboBox2"));
    monthBox = choice.month;
    yearBox = choice.year;
    monthCloseBar = new MonthCloseBar(dm_.db, this);
    choice.row->addWidget(monthCloseBar);

    shiftTabs = new QTabWidget(this);
    shiftTabs->setObjectName(QStringLiteral("PageControl1"));
    auto* first = new QWidget;
    shift1Grid = makeGrid(1, first);
    rebuildButton = makeButton(QStringLiteral("Button1"), QStringLiteral("&Перестроить"), first);
    progressBar = new QProgressBar(first);
    progressBar->setObjectName(QStringLiteral("PB"));
    progressBar->setRange(1, 31);
    progressBar->setValue(1);
    progressBar->hide();
    exportButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Excel"), first);
    auto* firstButtons = new QHBoxLayout;
    firstButtons->addWidget(rebuildButton);
    firstButtons->addWidget(progressBar, 1);
    firstButtons->addStretch();
    firstButtons->addWidget(exportButton);
    auto* firstLayout = new QVBoxLayout(first);
    firstLayout->addWidget(shift1Grid, 1);
    firstLayout->addLayout(firstButtons);
    shiftTabs->addTab(first, QStringLiteral("Смена №1"));
    for (int shiftNo : {2, 3}) {
        auto* page = new QWidget;
        QTableView* grid = makeGrid(shiftNo, page);
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->addWidget(grid);
        shiftTabs->addTab(page, QStringLiteral("Смена №%1").arg(shiftNo));
    }
    shift2Grid = grids_[1];
    shift3Grid = grids_[2];

    refreshButton = makeButton(QStringLiteral("Button5"), QStringLiteral("Об&новить"), this);
    printButton = makeButton(QStringLiteral("Button6"), QStringLiteral("П&ечать"), this);
    checkButton = makeButton(QStringLiteral("checkButton"), QStringLiteral("Пр&оверить"), this);
    checkButton->setToolTip(QStringLiteral("Сравнить табель месяца с записями и работами"));
    checkDialog = new MonthCheckDialog(dm_.db, dm_.reading, this);
    exitButton = makeButton(QStringLiteral("Button4"), QStringLiteral("Вы&ход"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(refreshButton);
    buttons->addWidget(printButton);
    buttons->addWidget(checkButton);
    buttons->addStretch();
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice.row);
    layout->addWidget(shiftTabs, 1);
    changedLine = new ChangedElsewhereLine(
        this, dm_.changes, [this](const ChangeNotice& n) { return n.touchesTimesheetOf(chosenMonth().first()); },
        [this] { refresh(); });
    layout->addWidget(changedLine);
    layout->addLayout(buttons);

    for (QComboBox* box : {monthBox, yearBox})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_)
                applyMonth();
        });
    connect(rebuildButton, &QPushButton::clicked, this, &TimesheetByShiftWindow::rebuild);
    connect(exportButton, &QPushButton::clicked, this, &TimesheetByShiftWindow::exportToExcel);
    connect(refreshButton, &QPushButton::clicked, this, &TimesheetByShiftWindow::refresh);
    connect(printButton, &QPushButton::clicked, this, &TimesheetByShiftWindow::print);
    connect(checkButton, &QPushButton::clicked, this, &TimesheetByShiftWindow::checkMonth);
    connect(exitButton, &QPushButton::clicked, this, &TimesheetByShiftWindow::reject);
}

void TimesheetByShiftWindow::openFor(const QDate& date)
{
    prepare(date);
    exec();
    finish();
}

void TimesheetByShiftWindow::prepare(const QDate& date)
{
    exportButton->setText(QStringLiteral("Excel"));
    shiftTabs->setCurrentIndex(0);
    filling_ = true;
    monthBox->setCurrentIndex(date.month() - 1);
    fillYears(date.year());
    filling_ = false;
    applyMonth();
}

void TimesheetByShiftWindow::finish()
{
    for (int shiftNo = 1; shiftNo <= 3; ++shiftNo)
        dm_.shiftTimesheet(shiftNo).close();
}

void TimesheetByShiftWindow::reject()
{
    if (busy_)
        return;
    QDialog::reject();
}

void TimesheetByShiftWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !busy_)
        exportButton->setText(QStringLiteral("Excel"));
    QDialog::changeEvent(event);
}

void TimesheetByShiftWindow::fillYears(int year)
{
    const int last = std::max(QDate::currentDate().year() + 1, year);
    const bool wasFilling = filling_;
    filling_ = true;
    yearBox->clear();
    for (int y = kFirstYear; y <= last; ++y)
        yearBox->addItem(QString::number(y), y);
    // A year before the list's first is added in front, so that its month can still be shown.
    if (year < kFirstYear)
        yearBox->insertItem(0, QString::number(year), year);
    yearBox->setCurrentIndex(yearBox->findData(year));
    filling_ = wasFilling;
}

TimesheetMonth TimesheetByShiftWindow::chosenMonth() const
{
    return {monthBox->currentIndex() + 1, yearBox->currentData().toInt()};
}

void TimesheetByShiftWindow::chooseMonth(TimesheetMonth month)
{
    filling_ = true;
    monthBox->setCurrentIndex(month.month - 1);
    if (const int index = yearBox->findData(month.year); index >= 0)
        yearBox->setCurrentIndex(index);
    else
        fillYears(month.year);
    filling_ = false;
    applyMonth();
}

void TimesheetByShiftWindow::openShifts()
{
    runAction(dm_.db, [this] {
        Database& reading = dm_.reading.forReading();
        for (int shiftNo = 1; shiftNo <= 3; ++shiftNo) {
            dm_.shiftTimesheet(shiftNo).setDatabase(reading);
            dm_.shiftTimesheet(shiftNo).open();
        }
    });
}

void TimesheetByShiftWindow::applyMonth()
{
    const TimesheetMonth month = chosenMonth();
    changedLine->hide();
    for (int shiftNo = 1; shiftNo <= 3; ++shiftNo) {
        Dataset& ds = dm_.shiftTimesheet(shiftNo);
        ds.close();
        ds.setParam(QStringLiteral("mnth"), month.month);
        ds.setParam(QStringLiteral("yea"), month.year);
        ds.setParam(QStringLiteral("date1"), month.first());
        ds.setParam(QStringLiteral("date2"), month.next());
    }
    layOutDayColumns(month);
    openShifts();
    monthCloseBar->showMonth(month);
}

void TimesheetByShiftWindow::layOutDayColumns(TimesheetMonth month)
{
    const int days = month.days();
    weekend_.fill(false);
    afterEnd_.fill(false);
    for (int day = 1; day <= 31; ++day) {
        if (day <= days)
            weekend_[day] = QDate(month.year, month.month, day).dayOfWeek() >= 6;
        else
            afterEnd_[day] = true;
    }
    for (int i = 0; i < 3; ++i) {
        models_[i]->titlesChanged();
        grids_[i]->viewport()->update();
    }
}

void TimesheetByShiftWindow::refresh()
{
    BusyCursor busy;
    changedLine->hide();
    finish();
    openShifts();
}

void TimesheetByShiftWindow::setBusy(bool busy)
{
    busy_ = busy;
    for (QWidget* w : std::initializer_list<QWidget*>{monthBox, yearBox, rebuildButton, exportButton, refreshButton,
                                                      printButton, checkButton, exitButton})
        w->setEnabled(!busy);
}

void TimesheetByShiftWindow::rebuild()
{
    const TimesheetMonth month = chosenMonth();
    setBusy(true);
    const auto done = qScopeGuard([this] { setBusy(false); });
    BusyCursor busy;
    finish();
    progressBar->setRange(1, month.days());
    progressBar->setValue(1);
    progressBar->show();
    progressBar->repaint();
    // One transaction: a failure leaves the month as it was, and the grids show it again.
    runCommand(dm_.db, [&] { return rebuildMonth(dm_.db, MonthRows::PieceWork, month); });
    progressBar->setValue(month.days());
    openShifts();
    progressBar->hide();
}

void TimesheetByShiftWindow::print()
{
    runAction(dm_.db, [this] {
        print_.query().setDatabase(dm_.reading.forReading());
        print_.run(chosenMonth(), this);
    });
}

void TimesheetByShiftWindow::exportToExcel()
{
    if (busy_)
        return;
    const TimesheetMonth month = chosenMonth();
    const QString heading = month.heading();
    setBusy(true);
    Dataset& report = print_.query();
    const auto done = qScopeGuard([&] {
        report.close();
        setBusy(false);
    });
    report.close();
    print_.setMonth(month);
    if (!runAction(dm_.db, [&] {
            report.setDatabase(dm_.reading.forReading());
            report.open();
        }))
        return;
    ExcelBook book(QStringLiteral("Табель по сменам ") + heading);
    if (book.OpenExcelBook(QString()) == -1)
        return;
    book.ShowExcel(false);
    const int count = report.recordCount();
    exportButton->setText(QStringLiteral("Excel (0 из %1)").arg(count));
    ByShiftPrint::exportTo(book, report, heading, [&](int written) {
        exportButton->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(count));
        QCoreApplication::processEvents();
    });
    book.ShowExcel(true);
}

void TimesheetByShiftWindow::checkMonth()
{
    if (checkDialog->checkMonth(chosenMonth()))
        refresh();
}
