#pragma once
// The month rebuild done day by day and row by row, as the program's first version did it: the
// month's rows of the family deleted, then for each day of the month a grouped query of the
// day's records and, for each worker (and shift, or kind and day/night flag) of it, a count of
// the monthly rows, then an update of the day's cell or an insert of the row. Every statement
// commits by itself. The set-based rebuild (timesheets/month_rebuild.h) must give the same
// rows; tests compare the two and the benchmark times them.
#include "month_rebuild.h"

#include <QStringList>

class Database;

// Runs outside a transaction; returns the number of statements it sent.
int rebuildMonthRowByRow(Database& db, MonthRows rows, TimesheetMonth month);

// The family's rows of the month as sorted lines "w_id smena i_type i_night d1 … d31" (an empty
// cell as "-"), for comparing the results of two rebuilds.
QStringList monthRowsText(Database& db, MonthRows rows, TimesheetMonth month);
