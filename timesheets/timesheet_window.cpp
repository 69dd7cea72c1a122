#include "timesheet_window.h"

#include "actions.h"
#include "data_module.h"
#include "excel_book.h"
#include "money_text.h"
#include "month_choice.h"
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
      H_Tabel0(dm.db, QStringLiteral("H_Tabel0"), TimesheetStore::statement(TimesheetMode::PieceWork)),
      H_Tabel7777(dm.db, QStringLiteral("H_Tabel7777"), TimesheetStore::statement(TimesheetMode::Household)),
      H_Tabel7778(dm.db, QStringLiteral("H_Tabel7778"), TimesheetStore::statement(TimesheetMode::AveragePieceRate)),
      H_Tabel_all(dm.db, QStringLiteral("H_Tabel_all"), TimesheetStore::statement(TimesheetMode::General)),
      dm_(dm),
      store_(dm.db),
      cur_tabel(&H_Tabel0)
{
    setObjectName(QStringLiteral("TForm27"));
    setWindowTitle(lookOf(mode_).caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(1127, 617);
    model_ = new DayColumnsModel(*cur_tabel, gridColumns(), [this](int day) -> std::optional<QColor> {
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
    ComboBox1 = choice.month;
    cb_year = choice.year;

    DBGrid = new QTableView(this);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setAccessibleName(QStringLiteral("Табель"));
    bindGrid(DBGrid, model_);
    // The day columns are narrower than the header's usual minimum; "24" fits without "…".
    DBGrid->horizontalHeader()->setMinimumSectionSize(kDayWidth);
    DBGrid->setTextElideMode(Qt::ElideNone);
    const QVector<GridColumn> columns = gridColumns();
    for (int i = 0; i < columns.size(); ++i)
        DBGrid->setColumnWidth(i, columns[i].width);

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

    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Excel"), this);
    Button5 = makeButton(QStringLiteral("Button5"), QStringLiteral("Об&новить"), this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("&Перестроить"), this);
    PB = new QProgressBar(this);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setRange(1, 31);
    PB->setValue(1);
    PB->hide();
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Вы&ход"), this);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{Button2, Button5, Button3})
        buttons->addWidget(w);
    buttons->addWidget(PB, 1);
    buttons->addStretch();
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice.row);
    layout->addWidget(DBGrid, 1);
    layout->addLayout(footer);
    layout->addLayout(buttons);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            applyMonth();
    });
    connect(cb_year, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            applyMonth();
    });
    connect(Button2, &QPushButton::clicked, this, &TimesheetWindow::exportToExcel);
    connect(Button5, &QPushButton::clicked, this, &TimesheetWindow::refresh);
    connect(Button3, &QPushButton::clicked, this, &TimesheetWindow::rebuild);
    connect(Button1, &QPushButton::clicked, this, &TimesheetWindow::reject);
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
    case TimesheetMode::PieceWork: cur_tabel = &H_Tabel0; break;
    case TimesheetMode::Household: cur_tabel = &H_Tabel7777; break;
    case TimesheetMode::AveragePieceRate: cur_tabel = &H_Tabel7778; break;
    case TimesheetMode::General: cur_tabel = &H_Tabel_all; break;
    }
    const ModeLook look = lookOf(mode);
    setWindowTitle(look.caption);
    cur_tabel->close();
    model_->setDataset(*cur_tabel);
    DBGrid->setColumnHidden(columnOf(QStringLiteral("s_night")), !look.dayNight);
    DBGrid->setColumnHidden(columnOf(QStringLiteral("average_price")), !look.rate);
    Button2->setText(QStringLiteral("Excel"));
    filling_ = true;
    ComboBox1->setCurrentIndex(month.month - 1);
    fillYears(month.year);
    filling_ = false;
    applyMonth();
}

void TimesheetWindow::finish()
{
    cur_tabel->close();
    Button2->setText(QStringLiteral("Excel"));
}

void TimesheetWindow::reject()
{
    if (busy_)
        return;
    Button2->setText(QStringLiteral("Excel"));
    QDialog::reject();
}

TimesheetMonth TimesheetWindow::chosenMonth() const
{
    const QDate today = QDate::currentDate();
    const int month = ComboBox1->currentIndex() >= 0 ? ComboBox1->currentIndex() + 1 : today.month();
    const int year = cb_year->currentIndex() >= 0 ? cb_year->currentData().toInt() : today.year();
    return {month, year};
}

void TimesheetWindow::chooseMonth(TimesheetMonth month)
{
    filling_ = true;
    ComboBox1->setCurrentIndex(month.month - 1);
    if (const int index = cb_year->findData(month.year); index >= 0)
        cb_year->setCurrentIndex(index);
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
    cb_year->clear();
    for (int year : years)
        cb_year->addItem(QString::number(year), year);
    cb_year->setCurrentIndex(cb_year->findData(keep));
    filling_ = wasFilling;
}

void TimesheetWindow::applyMonth()
{
    const TimesheetMonth month = chosenMonth();
    cur_tabel->close();
    TimesheetStore::setMonth(*cur_tabel, mode_, month);
    TimesheetFooter footer;
    runAction(dm_.db, [&] {
        cur_tabel->open();
        footer = store_.footer(month);
    });
    showFooter(footer);
    layOutDayColumns(month);
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
        DBGrid->setColumnHidden(columnOf(QStringLiteral("d%1").arg(day)), !shown);
    }
    DBGrid->setColumnWidth(0, lookOf(mode_).nameWidth + kDayWidth * (31 - days));
    model_->titlesChanged();
    DBGrid->viewport()->update();
}

void TimesheetWindow::refresh()
{
    BusyCursor busy;
    runAction(dm_.db, [this] { cur_tabel->reopen(true); });
}

void TimesheetWindow::setBusy(bool busy)
{
    busy_ = busy;
    for (QWidget* w : std::initializer_list<QWidget*>{ComboBox1, cb_year, Button2, Button5, Button3, Button1})
        w->setEnabled(!busy);
}

void TimesheetWindow::rebuild()
{
    const TimesheetMonth month = chosenMonth();
    setBusy(true);
    {
        BusyCursor busy;
        cur_tabel->close();
        PB->setRange(1, month.days());
        PB->setValue(1);
        PB->show();
        PB->repaint();
        runAction(dm_.db, [&] { store_.rebuildWorks(month); });
        PB->setValue(month.days());
        runAction(dm_.db, [this] { cur_tabel->open(); });
        PB->hide();
    }
    setBusy(false);
}

void TimesheetWindow::exportToExcel()
{
    const TimesheetMonth month = chosenMonth();
    const QString heading = month.name() + u' ' + QString::number(month.year);
    ExcelBook book(lookOf(mode_).caption.chopped(5) + u' ' + heading);
    if (book.OpenExcelBook(QString()) == -1)
        return;
    setBusy(true);
    book.ShowExcel(false);
    const int count = cur_tabel->recordCount();
    Button2->setText(QStringLiteral("Excel (0 из %1)").arg(count));
    TimesheetStore::exportTimesheet(book, *cur_tabel, mode_, heading, [&](int written) {
        Button2->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(count));
        QCoreApplication::processEvents();
    });
    book.ShowExcel(true);
    setBusy(false);
}
