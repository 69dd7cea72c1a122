#pragma once
// SummaryReportsWindow (TForm18) "Отчеты (8)": a period and a kind of production, the four
// band reports previewed over them, and the production summary written into a workbook.
#include "dataset.h"
#include "production_reports.h"
#include "production_summary.h"
#include "role.h"
#include "worker_reports.h"

#include <QDialog>

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
    void previewWorkerReport();             // Button4
    void previewProductionReport();         // Button2
    void previewDetailedWorkerReport();     // Button1
    void previewDetailedProductionReport(); // Button3
    void exportSummary();                   // Button6
    // What "Excel" writes (its query keeps the parameters of the last export).
    ProductionSummary& productionSummary() { return summary_; }

    QGroupBox* RadioGroup1;
    QButtonGroup* kindButtons;
    QDateEdit* DTPicker1;
    QDateEdit* DTPicker2;
    QPushButton* Button4;
    QPushButton* Button2;
    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* Button6;
    QPushButton* Button5;

    WorkerReport workerReport;                      // TForm16
    ProductionReport productionReport;              // TForm17
    DetailedWorkerReport detailedWorkerReport;      // TForm20
    DetailedProductionReport detailedProductionReport;  // TForm21

private:
    void preview(PeriodReport& report);

    DataModule& dm_;
    ProductionSummary summary_;
};
