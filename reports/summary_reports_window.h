#pragma once
// SummaryReportsWindow (TForm18) "Отчеты (8)": a period and a kind of production, the four
// band reports previewed over them, and the production summary written into a workbook.
#include "dataset.h"
#include "production_reports.h"
#include "production_summary.h"
#include "role.h"
#include "worker_reports.h"

#include <QDialog>

class ChangedElsewhereLine;
class QButtonGroup;
class QDateEdit;
class QGroupBox;
class QPushButton;
class DataModule;

class SummaryReportsWindow : public QDialog {
    Q_OBJECT
public:
    explicit SummaryReportsWindow(DataModule& dm, QWidget* parent = nullptr);
    ~SummaryReportsWindow() override;

    // The menu's "Сводные отчеты": the period reset to the previous month of today, then the
    // window shown modally.
    void openReports();
    // "с" the first day of the month before `today` (1 December of the year before in
    // January), "по" the first day of `today`'s month.
    void resetPeriod(const QDate& today);
    // The login's restrictions: foremen and warehouse see the detailed production report only;
    // the warehouse's kind of production is fixed at "Готовая продукция".
    void applyRole(Role role);

    // The kind of production: 0 all, 1 finished products, 2 blanks.
    int kind() const;
    void setKind(int kind);
    // The row filter of the kind: none, "naimen=0" or "naimen=1".
    RowFilter kindFilter() const;

    // Actions, public so that tests drive them as the buttons do.
    void previewWorkerReport();             // workerReportButton
    void previewProductionReport();         // productionReportButton
    void previewDetailedWorkerReport();     // detailedWorkerReportButton
    void previewDetailedProductionReport(); // detailedProductionReportButton
    void exportSummary();                   // exportButton
    // What "Excel" writes (its query keeps the parameters of the last export).
    ProductionSummary& productionSummary() { return summary_; }

    QGroupBox* kindBox;
    QButtonGroup* kindButtons;
    QDateEdit* fromDate;
    QDateEdit* toDate;
    QPushButton* workerReportButton;
    QPushButton* productionReportButton;
    QPushButton* detailedWorkerReportButton;
    QPushButton* detailedProductionReportButton;
    QPushButton* exportButton;
    QPushButton* exitButton;
    // Shown when another copy changed data of the period: F5 hides it (a report reads its data
    // when it is made).
    ChangedElsewhereLine* changedLine;

    WorkerReport workerReport;                      // TForm16
    ProductionReport productionReport;              // TForm17
    DetailedWorkerReport detailedWorkerReport;      // TForm20
    DetailedProductionReport detailedProductionReport;  // TForm21

private:
    void preview(PeriodReport& report);

    DataModule& dm_;
    ProductionSummary summary_;
};
