#pragma once
// Saving a register entry: the login's right to it, the checks of its values, the duplicate
// test, the insert or update, and the worker's timesheet day cells, all in one transaction
// under advisory locks, so that copies of the program saving the same key at once make one
// entry and one timesheet row. A change acts on the entry as it is stored: when another copy
// changed, accepted or deleted it since the user's list was read, nothing is written.
#include "change_seam.h"
#include "dataset.h"
#include "decimal4.h"
#include "outcome.h"
#include "role.h"

#include <QDate>
#include <QString>
#include <optional>

class Database;

struct EntryValues {
    int workerId = 0;
    int operationId = 0;
    int productId = 0;
    Decimal4 price;
    int quantity = 0;
    int rejects = 0;
    int hours = 0;
    int colour = 0;
    QDate date;
    int shiftNo = 1;
};

// The value an entry's check found wrong, for the dialog to put the cursor on.
enum class EntryField { Worker, Operation, Quantity, Rejects, Hours, Colour, Date, Shift, Price };

struct EntryFault {
    EntryField field;
    QString message;
};

// The first value the register may not hold, with the message the user reads; nullopt when
// the entry may be stored: every id chosen and a date, shift 1 to 4, quantity, rejects, colour
// and price not negative, rejects not above the quantity, hours from 0 to 24.
std::optional<EntryFault> entryFault(const EntryValues& entry);

// The message when the entry a user works on is no longer what the list showed.
extern const QString kEntryChangedMeanwhile;

// A change of one register entry of that day, shift and worker (the seam's value, change_seam.h).
Change entryChange(ChangeAction action, const QDate& date, int shiftNo, int workerId);

// The stored entry that the list showed as `shown`, locked until the transaction ends; nullopt
// when another copy changed, accepted or deleted it since the list was read.
std::optional<Row> lockShownEntry(Database& db, const Row& shown);
// The fields that say whether a stored entry is still the one the list showed, its acceptance
// mark included.
const QStringList& entryFields();

class EntryStore {
public:
    explicit EntryStore(Database& db) : db_(db) {}

    // Adds the entry. Refused, with nothing written, when the login may not add entries, when
    // entryFault finds a value wrong or when an entry with the same key exists; throws DbError
    // when a statement fails, with nothing written.
    Outcome add(const EntryValues& entry);
    // Changes the entry `shown` (a row of the register's list, as the user saw it), refused as
    // add is.
    Outcome change(const Row& shown, const EntryValues& entry);

private:
    Outcome admit(Command command, const EntryValues& entry) const;
    // `left` is the stored entry a change replaces (empty for an add).
    Outcome write(const EntryValues& entry, int entryId, const Row& left = {});

    Database& db_;
};
