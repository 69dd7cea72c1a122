#pragma once
// The worker reports of the summary reports window: each worker's piece-rate earnings over the
// period with the household and average piece-rate works paid to them, by worker and
// nomenclature group (WorkerReport) or by worker with the day and night works
// (DetailedWorkerReport).
#include "period_report.h"

// WorkerReport (TForm16) "Отчет по рабочим", query t_Report.
class WorkerReport : public PeriodReport {
public:
    explicit WorkerReport(Database& db);
    static QString statement();
};

// DetailedWorkerReport (TForm20) "Детальный отчет по рабочим", query w_Report.
class DetailedWorkerReport : public PeriodReport {
public:
    explicit DetailedWorkerReport(Database& db);
    static QString statement();
};
