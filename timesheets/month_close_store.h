#pragma once
// Closing a month for changes and opening it again (tabel.closed_month). Every write of a closed
// month's register entries, works and timesheet rows is refused (the change seam checks them);
// closing and opening are in the history. Both need the program's own schema (historyAvailable)
// and full rights.
#include "change_seam.h"
#include "outcome.h"
#include "timesheet_month.h"

#include <QDateTime>
#include <QString>
#include <optional>

class Database;

struct MonthClose {
    QDateTime closedAt;
    QString closedBy;  // "user@computer" of the copy that closed it
};

class MonthCloseStore {
public:
    explicit MonthCloseStore(Database& db) : db_(db) {}

    // The close of the month; nullopt when the month is open or the database has no schema to
    // close it in.
    std::optional<MonthClose> closeOf(TimesheetMonth month);
    // Closes the month. It takes the month's lock exclusively, so that every write of the month
    // in progress ends first (and is in the history) and every later one finds it closed.
    // Refused when the login may not, without the schema, and when the month is closed already.
    Outcome close(TimesheetMonth month);
    // Opens a closed month again; the reason goes into the history. Refused as close is, without
    // a reason, and when the month is not closed.
    Outcome open(TimesheetMonth month, const QString& reason);

    // "02.2024".
    static QString monthText(TimesheetMonth month);
    // How many closes and openings this program has made: a window that shows a month's close
    // reads it again when the count moved (its own copy's changes bring no notification).
    static int changesMade();

private:
    Outcome admit() const;
    // The close's or the open's one row written under the month's exclusive lock; refused with
    // `notDone` (%1 the month) when there was nothing to write.
    Outcome write(TimesheetMonth month, ChangeAction action, const QString& rows, const Params& params,
                  const QString& notDone);

    Database& db_;
};
