#include "summary_reports_window.h"

#include "actions.h"
#include "data_module.h"
#include "excel_book.h"
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

    RadioGroup1 = new QGroupBox(QStringLiteral("Вид продукции"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; } QRadioButton { font-weight: normal; }"));
    kindButtons = new QButtonGroup(this);
    auto* kinds = new QVBoxLayout(RadioGroup1);
    const QStringList kindNames{QStringLiteral("Все"), QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")};
    for (int i = 0; i < kindNames.size(); ++i) {
        auto* button = new QRadioButton(kindNames[i], RadioGroup1);
        button->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        kindButtons->addButton(button, i);
        kinds->addWidget(button);
    }
    setKind(0);

    auto* period = new QGroupBox(QStringLiteral("Период отбора"), this);
    auto* dates = new QFormLayout(period);
    DTPicker1 = makeDatePicker(QStringLiteral("DTPicker1"), period);
    DTPicker2 = makeDatePicker(QStringLiteral("DTPicker2"), period);
    addField(dates, QStringLiteral("&с"), DTPicker1);
    addField(dates, QStringLiteral("п&о"), DTPicker2);

    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("Отчет по рабочим"), this);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Отчет по продукции"), this);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Детальный отчет по рабочим"), this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("Детальный отчет по продукции"), this);
    Button6 = makeButton(QStringLiteral("Button6"), QStringLiteral("Excel (0 из 0)"), this);
    Button5 = makeButton(QStringLiteral("Button5"), QStringLiteral("Выход"), this);

    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    for (QWidget* w : std::initializer_list<QWidget*>{RadioGroup1, period, Button4, Button2, Button1, Button3, Button6,
                                                      Button5}) {
        w->setMinimumWidth(kColumnWidth);
        column->addWidget(w);
    }

    connect(Button4, &QPushButton::clicked, this, &SummaryReportsWindow::previewWorkerReport);
    connect(Button2, &QPushButton::clicked, this, &SummaryReportsWindow::previewProductionReport);
    connect(Button1, &QPushButton::clicked, this, &SummaryReportsWindow::previewDetailedWorkerReport);
    connect(Button3, &QPushButton::clicked, this, &SummaryReportsWindow::previewDetailedProductionReport);
    connect(Button6, &QPushButton::clicked, this, &SummaryReportsWindow::exportSummary);
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
}

SummaryReportsWindow::~SummaryReportsWindow() = default;

void SummaryReportsWindow::openReports()
{
    resetPeriod(QDate::currentDate());
    exec();
}

void SummaryReportsWindow::resetPeriod(const QDate& today)
{
    const QDate month(today.year(), today.month(), 1);
    DTPicker1->setDate(month.addMonths(-1));
    DTPicker2->setDate(month);
}

void SummaryReportsWindow::applyRole(Role role)
{
    if (role != Role::Foremen && role != Role::Warehouse)
        return;
    for (QPushButton* b : {Button1, Button2, Button4, Button6})
        b->setEnabled(false);
    if (role == Role::Warehouse) {
        setKind(1);
        RadioGroup1->setEnabled(false);
    }
}

int SummaryReportsWindow::kind() const { return kindButtons->checkedId(); }

void SummaryReportsWindow::setKind(int kind) { kindButtons->button(kind)->setChecked(true); }

RowFilter SummaryReportsWindow::kindFilter() const
{
    switch (kind()) {
    case 1: return filters::equals(QStringLiteral("naimen"), 0);
    case 2: return filters::equals(QStringLiteral("naimen"), 1);
    default: return {};
    }
}

void SummaryReportsWindow::preview(PeriodReport& report)
{
    runAction(dm_.db, [&] { report.run(DTPicker1->date(), DTPicker2->date(), kindFilter(), this); });
}

void SummaryReportsWindow::previewWorkerReport() { preview(workerReport); }
void SummaryReportsWindow::previewProductionReport() { preview(productionReport); }
void SummaryReportsWindow::previewDetailedWorkerReport() { preview(detailedWorkerReport); }
void SummaryReportsWindow::previewDetailedProductionReport() { preview(detailedProductionReport); }

void SummaryReportsWindow::exportSummary()
{
    BusyCursor busy;
    runAction(dm_.db, [this] {
        ExcelBook book(QStringLiteral("Сводка по продукции"));
        // The caption follows the rows; repainted now and then, as nothing else runs meanwhile.
        QElapsedTimer shown;
        shown.start();
        summary_.write(book, DTPicker1->date(), DTPicker2->date(), kindFilter(), [&](int written, int count) {
            Button6->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(count));
            if (written == 0 || written == count || shown.elapsed() >= 100) {
                Button6->repaint();
                shown.restart();
            }
        });
    });
}
