#pragma once
// The production reports of the summary reports window, grouped by the products'
// nomenclature group: the good quantity and boxes per kind of operation and colour
// (ProductionReport), and with marks, rejects and money (DetailedProductionReport).
#include "period_report.h"

// ProductionReport (TForm17) "Отчет по продукции", query t_Report.
class ProductionReport : public PeriodReport {
public:
    explicit ProductionReport(Database& db);
    static QString statement();
};

// DetailedProductionReport (TForm21) "Детальный отчет по продукции", query i_Report.
class DetailedProductionReport : public PeriodReport {
public:
    explicit DetailedProductionReport(Database& db);
    static QString statement();
};
