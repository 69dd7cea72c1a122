#pragma once
// Saving a register entry: the duplicate test, the insert or update, and the worker's
// timesheet day cells, all in one transaction under advisory locks, so that copies of the
// program saving the same key at once make one entry and one timesheet row.
#include "decimal4.h"
#include "outcome.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <utility>

class Database;
class TDataModule6;

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

// Where a changed entry stood before, so that the cell it leaves is recomputed too.
struct EntryOrigin {
    int entryId = 0;
    int workerId = 0;
    int shiftNo = 0;
    QDate date;
};

class EntryStore {
public:
    explicit EntryStore(TDataModule6& dm) : dm_(dm) {}

    // Adds (no origin) or changes the entry. Refused, with nothing written, when an entry with
    // the same key exists; throws DbError when a statement fails, with nothing written.
    Outcome save(const EntryValues& entry, const EntryOrigin* origin = nullptr);

private:
    Outcome duplicateTest(const EntryValues& e, int exceptId);
    Database& db();
    void insert(const EntryValues& e);
    void update(const EntryValues& e, int entryId);

    TDataModule6& dm_;
};
