#include "summary_reports_window.h"

#include "actions.h"
#include "data_module.h"
#include "excel_book.h"
#include "live_view.h"
#include "widgets.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The column is 180 pixels wide, or as wide as the widest caption needs in the screen's font.
constexpr int kColumnWidth = 180;

QDateEdit* makeDatePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    return picker;
}

} // namespace

SummaryReportsWindow::SummaryReportsWindow(DataModule& dm, QWidget* parent)
    : QDialog(parent), workerReport(dm.db), productionReport(dm.db), detailedWorkerReport(dm.db),
      detailedProductionReport(dm.db), dm_(dm), summary_(dm.db)
{
    setObjectName(QStringLiteral("TForm18"));
    setWindowTitle(QStringLiteral("Отчеты (8)"));

    kindBox = new QGroupBox(QStringLiteral("Вид продукции"), this);
    kindBox->setObjectName(QStringLiteral("RadioGroup1"));
    kindBox->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; } QRadioButton { font-weight: normal; }"));
    kindButtons = new QButtonGroup(this);
    auto* kinds = new QVBoxLayout(kindBox);
    const QStringList kindNames{QStringLiteral("Все"), QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")};
    for (int i = 0; i < kindNames.size(); ++i) {
        auto* button = new QRadioButton(kindNames[i], kindBox);
        button->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        kindButtons->addButton(button, i);
        kinds->addWidget(button);
    }
    setKind(0);

    auto* period = new QGroupBox(QStringLiteral("Период отбора"), this);
    auto* dates = new QFormLayout(period);
    fromDate = makeDatePicker(QStringLiteral("DTPicker1"), period);
    toDate = makeDatePicker(QStringLiteral("DTPicker2"), period);
    addField(dates, QStringLiteral("&с"), fromDate);
    addField(dates, QStringLiteral("п&о"), toDate);

    workerReportButton = makeButton(QStringLiteral("Button4"), QStringLiteral("Отчет по рабочим"), this);
    productionReportButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Отчет по продукции"), this);
    detailedWorkerReportButton =
        makeButton(QStringLiteral("Button1"), QStringLiteral("Детальный отчет по рабочим"), this);
    detailedProductionReportButton =
        makeButton(QStringLiteral("Button3"), QStringLiteral("Детальный отчет по продукции"), this);
    exportButton = makeButton(QStringLiteral("Button6"), QStringLiteral("Excel (0 из 0)"), this);
    exitButton = makeButton(QStringLiteral("Button5"), QStringLiteral("Выход"), this);

    changedLine = new ChangedElsewhereLine(
        this, dm_.changes,
        [this](const ChangeNotice& n) {
            if (n.kind == DataKind::Month || n.kind == DataKind::Timesheet)
                return false;  // the reports read the register and the works
            if (n.days.isEmpty())
                return true;
            return std::any_of(n.days.begin(), n.days.end(),
                               [this](const QDate& d) { return d >= fromDate->date() && d <= toDate->date(); });
        },
        [] {});
    changedLine->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    for (QWidget* w : std::initializer_list<QWidget*>{kindBox, period, workerReportButton, productionReportButton,
                                                      detailedWorkerReportButton, detailedProductionReportButton,
                                                      exportButton, exitButton, changedLine}) {
        w->setMinimumWidth(kColumnWidth);
        column->addWidget(w);
    }

    connect(workerReportButton, &QPushButton::clicked, this, &SummaryReportsWindow::previewWorkerReport);
    connect(productionReportButton, &QPushButton::clicked, this, &SummaryReportsWindow::previewProductionReport);
    connect(detailedWorkerReportButton, &QPushButton::clicked, this,
            &SummaryReportsWindow::previewDetailedWorkerReport);
    connect(detailedProductionReportButton, &QPushButton::clicked, this,
            &SummaryReportsWindow::previewDetailedProductionReport);
    connect(exportButton, &QPushButton::clicked, this, &SummaryReportsWindow::exportSummary);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

SummaryReportsWindow::~SummaryReportsWindow() = default;

void SummaryReportsWindow::openReports()
{
    resetPeriod(QDate::currentDate());
    changedLine->hide();
    exec();
}

void SummaryReportsWindow::resetPeriod(const QDate& today)
{
    const QDate month(today.year(), today.month(), 1);
    fromDate->setDate(month.addMonths(-1));
    toDate->setDate(month);
}

void SummaryReportsWindow::applyRole(Role role)
{
    if (role != Role::Foremen && role != Role::Warehouse)
        return;
    for (QPushButton* b : {detailedWorkerReportButton, productionReportButton, workerReportButton, exportButton})
        b->setEnabled(false);
    if (role == Role::Warehouse) {
        setKind(1);
        kindBox->setEnabled(false);
    }
}

int SummaryReportsWindow::kind() const { return kindButtons->checkedId(); }

void SummaryReportsWindow::setKind(int kind) { kindButtons->button(kind)->setChecked(true); }

RowFilter SummaryReportsWindow::kindFilter() const { return productKindFilter(ProductKind(kind())); }

void SummaryReportsWindow::preview(PeriodReport& report)
{
    runAction(dm_.db, [&] {
        report.query().setDatabase(dm_.reading.forReading());
        report.run(fromDate->date(), toDate->date(), kindFilter(), this);
    });
}

void SummaryReportsWindow::previewWorkerReport() { preview(workerReport); }
void SummaryReportsWindow::previewProductionReport() { preview(productionReport); }
void SummaryReportsWindow::previewDetailedWorkerReport() { preview(detailedWorkerReport); }
void SummaryReportsWindow::previewDetailedProductionReport() { preview(detailedProductionReport); }

void SummaryReportsWindow::exportSummary()
{
    BusyCursor busy;
    runAction(dm_.db, [this] {
        summary_.summaryRows.setDatabase(dm_.reading.forReading());
        ExcelBook book(QStringLiteral("Сводка по продукции"));
        // The caption follows the rows; repainted now and then, as nothing else runs meanwhile.
        QElapsedTimer shown;
        shown.start();
        summary_.write(book, fromDate->date(), toDate->date(), kindFilter(), [&](int written, int count) {
            exportButton->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(count));
            if (written == 0 || written == count || shown.elapsed() >= 100) {
                exportButton->repaint();
                shown.restart();
            }
        });
    });
}
