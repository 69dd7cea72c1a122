#pragma once
// ByShiftPrint (TForm15): the printed timesheet of a month over all shifts, A4 landscape: one
// line per worker's name with the month's 31 day sums of every monthly row (every shift and
// kind) and their total, the day numbers and lines repeated at the top of every page, the page
// number at the foot. Its query feeds the by-shift window's export too.
#include "band_report.h"
#include "dataset.h"
#include "timesheet_month.h"

#include <functional>

class ExcelBook;
class QWidget;

class ByShiftPrint {
public:
    explicit ByShiftPrint(Database& db);

    static QString statement();
    // The left edge of day k's cell (k = 1..31), mm from the left margin.
    static double dayLeft(int day);

    Dataset& query() { return query_; }
    report::BandReport& layout() { return layout_; }

    // "Март 2024 г."
    static QString title(TimesheetMonth month);
    // The query's parameters for the month.
    void setMonth(TimesheetMonth month);
    // The print command: the month, open, the title, prepare, preview, close.
    void run(TimesheetMonth month, QWidget* parent = nullptr);

    // The sum of the open query's current record's sd1..sd31 (an empty day counts as 0).
    static qint64 total(const Dataset& ds);
    // Writes the open query into sheet 1 of the opened book: the heading (row 1), the titles
    // (row 2) and one row per record; `written` is called after each record with the count so far.
    static void exportTo(ExcelBook& book, Dataset& ds, const QString& heading,
                         const std::function<void(int written)>& written);

private:
    Dataset query_;
    report::BandReport layout_;
};
