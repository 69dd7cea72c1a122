#pragma once
// The day cell of a worker's monthly timesheet row, kept equal to the day's hours in the
// register. Callers run it inside their transaction, under the row's lock
// (lock_keys::timesheetRow).
#include "outcome.h"

#include <QDate>

class Database;

// Sets the day cell of the worker's row of that shift and month to the total hours of the
// worker's entries of that day and shift (0 when none), in one statement. A missing row is
// created when `createRow`, otherwise left missing. The total is summed in 64 bits; refused,
// with nothing written, when it does not fit the cell.
Outcome updateDayCell(Database& db, int workerId, int shiftNo, const QDate& date, bool createRow);
