#pragma once
// The day cell of a worker's monthly timesheet row, kept equal to the day's hours in the
// register. Callers run it inside their transaction, under the row's lock
// (lock_keys::timesheetRow).
#include <QDate>

class Database;

// Sets the day cell of the worker's row of that shift and month to the total hours of the
// worker's entries of that day and shift (0 when none). A missing row is created when
// `createRow`, otherwise left missing.
void updateDayCell(Database& db, int workerId, int shiftNo, const QDate& date, bool createRow);
