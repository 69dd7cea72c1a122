#pragma once
// "Повторить смену": a shift's entries read as the source of new ones, and the chosen ones
// written into another date and shift in one transaction under the same locks as an entry
// save, the entries whose key is taken skipped.
#include "entry_store.h"
#include "outcome.h"

#include <QDate>
#include <QVector>

class Database;

class RepeatShiftStore {
public:
    explicit RepeatShiftStore(Database& db) : db_(db) {}

    // The entries of a date (:data) and shift (:smena), with their operation's lowest norm price
    // (field "base", text), sorted by worker.
    static QString sourceStatement();
    // The last date before `before` with entries of the shift; invalid when there is none.
    QDate lastDateWithEntries(const QDate& before, int shiftNo);

    // Writes the entries; refused whole when the login may not add entries or when an entry's
    // values are wrong (entryFault). Those whose key another entry has are skipped and counted
    // in `skipped`; the day cell of every worker written is set.
    Outcome write(const QVector<EntryValues>& entries, int* skipped);

private:
    Database& db_;
};
