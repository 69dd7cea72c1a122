#pragma once
// The day cell of a worker's monthly timesheet row, kept equal to the day's hours of its
// source: the register for the piece-work rows of a shift, the works records for the works
// rows of a kind and day/night flag. Callers run it inside their transaction, under the month's
// shared lock and the row's lock (lock_keys::timesheetMonth, lock_keys::timesheetRow).
#include "outcome.h"

#include <QDate>

class Database;

// Sets the day cell of the worker's row of that shift and month to the total hours of the
// worker's entries of that day and shift (0 when none), in one statement. A missing row is
// created when `createRow`, otherwise left missing. The total is summed in 64 bits; refused,
// with nothing written, when it does not fit the cell.
Outcome updateDayCell(Database& db, int workerId, int shiftNo, const QDate& date, bool createRow);

// The same for the works row (shift 0) of the worker, kind (7777, 7778) and day/night flag:
// the cell holds the hours of the worker's works records of that kind, flag and day.
Outcome updateWorksDayCell(Database& db, int workerId, int kind, int night, const QDate& date, bool createRow);
