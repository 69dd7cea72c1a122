#pragma once
// The month rebuilds of the monthly table accounts_dep.h_tabel: the rows of one family are
// recomputed for a whole month from their source. One transaction holds the month's lock
// (lock_keys::timesheetMonth) exclusively, deletes the month's rows of the family and inserts
// them anew by one grouped statement, so a failure leaves the month as it was, two copies
// rebuilding one month give one result, and no day cell write of the month interleaves.
//
// The rows come out as the day-by-day algorithm makes them (for each day a grouped query, then
// an update of the row or an insert of it per worker): one row per key with the day cells of the
// days that have records and the other cells empty.
#include "change_seam.h"
#include "database.h"
#include "timesheet_month.h"

enum class MonthRows {
    Works,      // smena 0, i_type the kind of works, i_night the flag: from accounts_dep.fatigue
    PieceWork,  // smena 1..4, i_type 0, i_night 0: from the register accounts_dep.smena
};

// Rebuilds the family's rows of the month in a transaction of its own (the caller has none
// open); refused when the login may not, and throws DbError, with the month unchanged, when a
// statement fails.
Outcome rebuildMonth(Database& db, MonthRows rows, TimesheetMonth month);

// The rebuild's statements and their parameters, for a caller that times them alone. The rebuild
// runs the delete and the insert as one statement with its history row.
struct RebuildStatements {
    QString memory;             // room for the transaction to sort a month's records without spilling to disk
    QString remove;             // the month's rows of the family
    QString insert;             // the month's rows from the grouped source
    QString insertAfterRemove;  // the same, in one statement after `remove` as the CTE "before"
};
const RebuildStatements& rebuildStatements(MonthRows rows);
Params rebuildParams(TimesheetMonth month);

// The seam's write of a change of many rows of one month, recorded as one history row keyed by
// `key` (a jsonb expression) with the rows before and after: `before` returns the rows as they
// were (a select, or the delete of them), `after` the rows written (a data-modifying statement
// returning them).
Write monthRowsWrite(const QString& key, const QString& before, const QString& after, const Params& params);
