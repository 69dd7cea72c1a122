#pragma once
// The check of a month's timesheet against its records: every day cell of the month's rows of
// accounts_dep.h_tabel (piece-work rows per shift, works rows per kind and day/night flag) against
// the day's hours of the register and of the works records, in one statement; and the repair of
// exactly the cells that differ.
//
// A cell's value is the sum of the rows of its key (worker, shift, kind, flag), as the timesheets
// add them up; an empty cell and 0 are equal. The repair writes the records' hours into the first
// row of a key (the lowest id) and empties the cell in any further row of that key, and inserts
// the row of a key that has records but no row.
#include "database.h"
#include "outcome.h"
#include "timesheet_month.h"

#include <QDate>
#include <QString>
#include <QVector>

struct CellDifference {
    int workerId = 0;
    QString workerName;
    QString line;  // the shift "1".."4", or the works' kind and day/night: "Хоз. работы дн."
    int day = 0;
    QString inTimesheet;  // the hours as the timesheet shows them; empty for an empty cell
    QString fromRecords;  // the hours of the records; empty when there are none
    // The key of the cell's rows.
    int shiftNo = 0;  // 1..4 for piece-work rows, 0 for works rows
    int kind = 0;     // 0 for piece-work rows, the works' kind (7777, 7778) otherwise
    int night = 0;
};

// The differing cells of the month of `month` (any day of it), ordered by worker name, line and
// day. Throws DbError.
QVector<CellDifference> findMonthDifferences(Database& db, QDate month);

// "Иванов И.И., смена 2, 5 число: в табеле 8, по записям 10".
QString differenceText(const CellDifference& d);

// Rewrites the differing cells of the month in one transaction of its own, under the month's
// lock, as one change of the history. Refused when the login may not rebuild timesheets and when
// the month is closed; done without writing when the month has no differences. Throws DbError,
// with nothing written, when a statement fails.
Outcome repairMonth(Database& db, QDate month);

// The statement of findMonthDifferences and its parameters, for a caller that times it alone.
QString monthDifferencesStatement();
Params monthDifferencesParams(TimesheetMonth month);
