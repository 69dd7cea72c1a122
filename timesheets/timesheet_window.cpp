#include "timesheet_window.h"

#include "actions.h"
#include "data_module.h"
#include "excel_book.h"
#include "live_view.h"
#include "money_text.h"
#include "month_choice.h"
#include "month_check_dialog.h"
#include "month_close_bar.h"
#include "pay_statement.h"
#include "statement_file.h"
#include "widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QColor kTotalsBackground(225, 228, 255);
constexpr int kDayWidth = 20;

// What each mode shows.
struct ModeLook {
    QString caption;
    int nameWidth;  // the name column with all 31 days shown
    bool dayNight;  // the day/night column
    bool rate;      // "Час (р.)"
};

ModeLook lookOf(TimesheetMode mode)
{
    switch (mode) {
    case TimesheetMode::PieceWork: return {QStringLiteral("Табель сделка (27)"), 238, false, true};
    case TimesheetMode::Household: return {QStringLiteral("Табель хоз. работы (27)"), 208, true, true};
    case TimesheetMode::AveragePieceRate: return {QStringLiteral("Табель ср. сдельная (27)"), 208, true, true};
    case TimesheetMode::General: return {QStringLiteral("Общий табель (27)"), 304, false, false};
    }
    return {};
}

bool isTotal(const QString& field)
{
    return field == QLatin1String("f_price") || field == QLatin1String("i_time") || field == QLatin1String("average_price");
}

} // namespace

QVector<GridColumn> TimesheetWindow::gridColumns()
{
    const Qt::Alignment centred = Qt::AlignCenter;
    QVector<GridColumn> columns{{QStringLiteral("fio"), QStringLiteral("Фамилия И. О."), 208},
                                {QStringLiteral("s_night"), QStringLiteral(" "), 30, centred}};
    for (int day = 1; day <= 31; ++day)
        columns.push_back({QStringLiteral("d%1").arg(day), QString::number(day), kDayWidth, centred});
    columns.push_back(
        {QStringLiteral("f_price"), QStringLiteral("Итого (р.)"), 66, Qt::AlignRight | Qt::AlignVCenter, true, moneyText});
    columns.push_back({QStringLiteral("i_time"), QStringLiteral("Итого (ч.)"), 66, centred});
    columns.push_back({QStringLiteral("average_price"), QStringLiteral("Час (р.)"), 66, centred, true, moneyText});
    return columns;
}

int TimesheetWindow::columnOf(const QString& field)
{
    static const QVector<GridColumn> columns = gridColumns();
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].field == field)
            return i;
    return -1;
}

TimesheetWindow::TimesheetWindow(DataModule& dm, QWidget* parent)
    : QDialog(parent),
      pieceWorkRows(dm.db, QStringLiteral("H_Tabel0"), TimesheetStore::statement(TimesheetMode::PieceWork)),
      householdRows(dm.db, QStringLiteral("H_Tabel7777"), TimesheetStore::statement(TimesheetMode::Household)),
      averagePieceRateRows(dm.db, QStringLiteral("H_Tabel7778"),
                           TimesheetStore::statement(TimesheetMode::AveragePieceRate)),
      generalRows(dm.db, QStringLiteral("H_Tabel_all"), TimesheetStore::statement(TimesheetMode::General)),
      dm_(dm),
      store_(dm.db),
      footerQuery_(dm.db),
      timesheet_(&pieceWorkRows)
{
    setObjectName(QStringLiteral("TForm27"));
    setWindowTitle(lookOf(mode_).caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(1127, 617);
    model_ = new DayColumnsModel(*timesheet_, gridColumns(), [this](int day) -> std::optional<QColor> {
        if (weekend_[day])
            return QColor(Qt::red);
        return std::nullopt;
    }, this);
    model_->setCellRule([this](const Dataset&, int, const QString& field) -> std::optional<CellStyle> {
        if (isTotal(field))
            return CellStyle{std::nullopt, kTotalsBackground, true};
        if (const int day = dayOfField(field); day > 0 && weekend_[day])
            return CellStyle{QColor(Qt::red), std::nullopt, false};
        return std::nullopt;
    });
    buildControls();
}

void TimesheetWindow::buildControls()
{
    const MonthChoice choice = makeMonthChoice(this, QStringLiteral("cb_year"));
    monthBox = choice.month;
    yearBox = choice.year;
    monthCloseBar = new MonthCloseBar(dm_.db, this);
    choice.row->addWidget(monthCloseBar);

    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("DBGrid"));
    grid->setAccessibleName(QStringLiteral("Табель"));
    bindGrid(grid, model_);
    // The day columns are narrower than the header's usual minimum; "24" fits without "…".
    grid->horizontalHeader()->setMinimumSectionSize(kDayWidth);
    grid->setTextElideMode(Qt::ElideNone);
    const QVector<GridColumn> columns = gridColumns();
    for (int i = 0; i < columns.size(); ++i)
        grid->setColumnWidth(i, columns[i].width);

    QFont bold = font();
    bold.setBold(true);
    auto figure = [&](const QString& name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setFont(bold);
        l->setMinimumWidth(90);
        return l;
    };
    averagePieceRateFigure = figure(QStringLiteral("averagePieceRateFigure"));
    householdFigure = figure(QStringLiteral("householdFigure"));
    pieceWorkFigure = figure(QStringLiteral("pieceWorkFigure"));
    totalFigure = figure(QStringLiteral("totalFigure"));
    auto* footer = new QHBoxLayout;
    footer->addStretch();
    for (const auto& [caption, value] : {std::pair{QStringLiteral("Ср. сдел.:"), averagePieceRateFigure},
                                          std::pair{QStringLiteral("Хоз. работы:"), householdFigure},
                                          std::pair{QStringLiteral("Сделка:"), pieceWorkFigure},
                                          std::pair{QStringLiteral("Итого:"), totalFigure}}) {
        auto* label = new QLabel(caption, this);
        label->setFont(bold);
        footer->addWidget(label);
        footer->addWidget(value);
    }

    exportButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Excel"), this);
    refreshButton = makeButton(QStringLiteral("Button5"), QStringLiteral("Об&новить"), this);
    rebuildButton = makeButton(QStringLiteral("Button3"), QStringLiteral("&Перестроить"), this);
    checkButton = makeButton(QStringLiteral("checkButton"), QStringLiteral("Пр&оверить"), this);
    checkButton->setToolTip(QStringLiteral("Сравнить табель месяца с записями и работами"));
    statementButton = makeButton(QStringLiteral("statementButton"), QStringLiteral("&Листок"), this);
    statementButton->setToolTip(QStringLiteral("Расчетный листок выбранного работника"));
    allStatementsButton = makeButton(QStringLiteral("allStatementsButton"), QStringLiteral("Листки &всем"), this);
    allStatementsButton->setToolTip(QStringLiteral("Расчетные листки всех работников месяца в один файл PDF"));
    checkDialog = new MonthCheckDialog(dm_.db, dm_.reading, this);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("PB"));
    progressBar->setRange(1, 31);
    progressBar->setValue(1);
    progressBar->hide();
    exitButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Вы&ход"), this);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{exportButton, refreshButton, rebuildButton, checkButton,
                                                      statementButton, allStatementsButton})
        buttons->addWidget(w);
    buttons->addWidget(progressBar, 1);
    buttons->addStretch();
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice.row);
    layout->addWidget(grid, 1);
    changedLine = new ChangedElsewhereLine(
        this, dm_.changes,
        [this](const ChangeNotice& n) { return n.touchesTimesheetOf(chosenMonth().first()); },
        [this] {
            refresh();
            requestFooter(chosenMonth());
        });
    layout->addWidget(changedLine);
    layout->addLayout(footer);
    layout->addLayout(buttons);

    connect(monthBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            applyMonth();
    });
    connect(yearBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            applyMonth();
    });
    connect(exportButton, &QPushButton::clicked, this, &TimesheetWindow::exportToExcel);
    connect(refreshButton, &QPushButton::clicked, this, &TimesheetWindow::refresh);
    connect(rebuildButton, &QPushButton::clicked, this, &TimesheetWindow::rebuild);
    connect(checkButton, &QPushButton::clicked, this, &TimesheetWindow::checkMonth);
    connect(statementButton, &QPushButton::clicked, this, &TimesheetWindow::printStatement);
    connect(allStatementsButton, &QPushButton::clicked, this, &TimesheetWindow::writeAllStatements);
    connect(exitButton, &QPushButton::clicked, this, &TimesheetWindow::reject);
}

void TimesheetWindow::open(TimesheetMode mode)
{
    prepare(mode);
    exec();
    finish();
}

void TimesheetWindow::prepare(TimesheetMode mode, TimesheetMonth month)
{
    mode_ = mode;
    switch (mode) {
    case TimesheetMode::PieceWork: timesheet_ = &pieceWorkRows; break;
    case TimesheetMode::Household: timesheet_ = &householdRows; break;
    case TimesheetMode::AveragePieceRate: timesheet_ = &averagePieceRateRows; break;
    case TimesheetMode::General: timesheet_ = &generalRows; break;
    }
    const ModeLook look = lookOf(mode);
    setWindowTitle(look.caption);
    timesheet_->close();
    model_->setDataset(*timesheet_);
    grid->setColumnHidden(columnOf(QStringLiteral("s_night")), !look.dayNight);
    grid->setColumnHidden(columnOf(QStringLiteral("average_price")), !look.rate);
    // The statements list a worker's piece-work and all works: from the piece-work and the general timesheet.
    const bool statements = mode == TimesheetMode::PieceWork || mode == TimesheetMode::General;
    statementButton->setVisible(statements);
    allStatementsButton->setVisible(statements);
    exportButton->setText(QStringLiteral("Excel"));
    filling_ = true;
    monthBox->setCurrentIndex(month.month - 1);
    fillYears(month.year);
    filling_ = false;
    applyMonth();
}

void TimesheetWindow::finish()
{
    timesheet_->close();
    exportButton->setText(QStringLiteral("Excel"));
}

void TimesheetWindow::reject()
{
    if (busy_)
        return;
    exportButton->setText(QStringLiteral("Excel"));
    QDialog::reject();
}

TimesheetMonth TimesheetWindow::chosenMonth() const
{
    const QDate today = QDate::currentDate();
    const int month = monthBox->currentIndex() >= 0 ? monthBox->currentIndex() + 1 : today.month();
    const int year = yearBox->currentIndex() >= 0 ? yearBox->currentData().toInt() : today.year();
    return {month, year};
}

void TimesheetWindow::chooseMonth(TimesheetMonth month)
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

// The years of the monthly table, today's year and `keep`, which is chosen. The box is never
// empty, so no month is applied without a year.
void TimesheetWindow::fillYears(int keep)
{
    QList<int> years;
    runAction(dm_.db, [&] { years = store_.years(); });
    years << QDate::currentDate().year() << keep;
    std::sort(years.begin(), years.end());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    const bool wasFilling = filling_;
    filling_ = true;
    yearBox->clear();
    for (int year : years)
        yearBox->addItem(QString::number(year), year);
    yearBox->setCurrentIndex(yearBox->findData(keep));
    filling_ = wasFilling;
}

void TimesheetWindow::applyMonth()
{
    const TimesheetMonth month = chosenMonth();
    changedLine->hide();
    timesheet_->close();
    TimesheetStore::setMonth(*timesheet_, mode_, month);
    readRows();
    layOutDayColumns(month);
    monthCloseBar->showMonth(month);
    requestFooter(month);
}

void TimesheetWindow::readRows(bool keepRecord)
{
    runAction(dm_.db, [&] {
        timesheet_->setDatabase(dm_.reading.forReading());
        timesheet_->reopen(keepRecord);
    });
}

void TimesheetWindow::requestFooter(TimesheetMonth month)
{
    const QString coming = QStringLiteral("…");
    showFooter({coming, coming, coming, coming});
    footerQuery_.request(TimesheetStore::footerStatement(), TimesheetStore::footerParams(month),
                         [this](const BackgroundQuery::Answer& answer) {
                             TimesheetFooter footer;
                             runShowingError([&] { footer = TimesheetStore::footerOf(answer.rows()); });
                             showFooter(footer);
                             emit footerShown();
                         });
}

void TimesheetWindow::showFooter(const TimesheetFooter& footer)
{
    averagePieceRateFigure->setText(moneyText(footer.averagePieceRate));
    householdFigure->setText(moneyText(footer.household));
    pieceWorkFigure->setText(moneyText(footer.pieceWork));
    totalFigure->setText(moneyText(footer.total));
}

void TimesheetWindow::layOutDayColumns(TimesheetMonth month)
{
    const int days = month.days();
    weekend_.fill(false);
    for (int day = 1; day <= 31; ++day) {
        const bool shown = day <= days;
        if (shown)
            weekend_[day] = QDate(month.year, month.month, day).dayOfWeek() >= 6;
        grid->setColumnHidden(columnOf(QStringLiteral("d%1").arg(day)), !shown);
    }
    grid->setColumnWidth(0, lookOf(mode_).nameWidth + kDayWidth * (31 - days));
    model_->titlesChanged();
    grid->viewport()->update();
}

void TimesheetWindow::refresh()
{
    BusyCursor busy;
    changedLine->hide();
    readRows(true);
}

void TimesheetWindow::setBusy(bool busy)
{
    busy_ = busy;
    for (QWidget* w :
         std::initializer_list<QWidget*>{monthBox, yearBox, exportButton, refreshButton, rebuildButton, checkButton,
                                         statementButton, allStatementsButton, exitButton})
        w->setEnabled(!busy);
}

void TimesheetWindow::rebuild()
{
    const TimesheetMonth month = chosenMonth();
    setBusy(true);
    {
        BusyCursor busy;
        timesheet_->close();
        progressBar->setRange(1, month.days());
        progressBar->setValue(1);
        progressBar->show();
        progressBar->repaint();
        runCommand(dm_.db, [&] { return store_.rebuildWorks(month); });
        progressBar->setValue(month.days());
        readRows();
        progressBar->hide();
    }
    setBusy(false);
}

void TimesheetWindow::exportToExcel()
{
    const TimesheetMonth month = chosenMonth();
    const QString heading = month.heading();
    ExcelBook book(lookOf(mode_).caption.chopped(5) + u' ' + heading);
    if (book.OpenExcelBook(QString()) == -1)
        return;
    setBusy(true);
    book.ShowExcel(false);
    const int count = timesheet_->recordCount();
    exportButton->setText(QStringLiteral("Excel (0 из %1)").arg(count));
    TimesheetStore::exportTimesheet(book, *timesheet_, mode_, heading, [&](int written) {
        exportButton->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(count));
        QCoreApplication::processEvents();
    });
    book.ShowExcel(true);
    setBusy(false);
}

void TimesheetWindow::checkMonth()
{
    if (checkDialog->checkMonth(chosenMonth()))
        refresh();
}

void TimesheetWindow::printStatement()
{
    if (timesheet_->isEmpty())
        return;
    const int workerId = timesheet_->field(QStringLiteral("id")).asInteger();
    const TimesheetMonth month = chosenMonth();
    runAction(dm_.db, [&] {
        PayStatements statements(dm_.reading.forReading(), month.first(), workerId);
        if (statements.workerCount() > 0)
            statements.statementOf(0).preview(this);
    });
}

QString TimesheetWindow::writeAllStatements()
{
    setBusy(true);
    const QString path = writeStatementsFile(dm_.db, dm_.reading, chosenMonth(), this);
    setBusy(false);
    return path;
}
