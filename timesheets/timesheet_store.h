#pragma once
// The statements of the monthly timesheet window: the timesheet of each mode, the month's
// footer figures, the year list, the works rebuild and the export. Money is read as decimal
// text (numeric cast to text), never through a binary fraction.
#include "dataset.h"
#include "outcome.h"
#include "timesheet_mode.h"
#include "timesheet_month.h"

#include <QList>
#include <QString>
#include <functional>

class Database;
class ExcelBook;

// The footer: each figure a sum over all workers of the month, as decimal text with two places;
// empty when no record qualifies (the total counts an empty part as 0).
struct TimesheetFooter {
    QString averagePieceRate;  // "Ср. сдел.:" works of kind 7778
    QString household;         // "Хоз. работы:" works of kind 7777
    QString pieceWork;         // "Сделка:" the register
    QString total;             // "Итого:" the register and the works of every kind
};

class TimesheetStore {
public:
    explicit TimesheetStore(Database& db) : db_(db) {}

    // The statement of the mode's timesheet: one row per worker (and day/night flag in the works
    // modes) with fio, the day sums d1..d31, i_time, f_price and, but in the general mode,
    // average_price; s_night in the works modes.
    static QString statement(TimesheetMode mode);
    // The earnings of a register entry `s` as the timesheets sum them, exact: the price is a
    // double column, made numeric before it is multiplied.
    static const QString& entryEarnings();
    // Sets the statement's parameters for the month.
    static void setMonth(Dataset& timesheet, TimesheetMode mode, TimesheetMonth month);

    // The footer's one statement, its parameters for a month, and its figures read from the
    // statement's rows (the window runs it in the background; footer() runs it here and now).
    static const QString& footerStatement();
    static Params footerParams(TimesheetMonth month);
    static TimesheetFooter footerOf(const QVector<QVector<QVariant>>& rows);
    TimesheetFooter footer(TimesheetMonth month);
    // The years of the monthly table, ascending.
    QList<int> years();
    // Recomputes the month's works rows (smena 0) from the works records.
    Outcome rebuildWorks(TimesheetMonth month);

    // Writes the open timesheet into sheet 1 of the opened book: the heading (row 1), the titles
    // (row 2) and one row per record; `written` is called after each record with the count so far.
    static void exportTimesheet(ExcelBook& book, const Dataset& timesheet, TimesheetMode mode, const QString& heading,
                                const std::function<void(int written)>& written);

private:
    Database& db_;
};
