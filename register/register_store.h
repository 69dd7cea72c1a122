#pragma once
// The register's statements: acceptance marks and deleting an entry together with the
// worker's timesheet day cell.
#include "dataset.h"
#include "outcome.h"

#include <QDate>
#include <QString>

class Database;

class RegisterStore {
public:
    explicit RegisterStore(Database& db) : db_(db) {}

    // "ok" and "да" are the marks of an accepted entry.
    static bool isAccepted(const QString& mark);
    // "ok" when the mark is neither "ok" nor "да", else "no".
    static QString toggledMark(const QString& mark);
    // Accepts the entry `shown` (a row of the register's list, as the user saw it), or takes
    // its acceptance back when the list showed it accepted. Refused when the login may not
    // accept, and when another copy changed, accepted or deleted the entry since the list was
    // read: the mark goes only on an entry as the user saw it.
    Outcome toggleAcceptance(const Row& shown);

    // Deletes the entry `shown` and sets the day cell of its stored worker, shift and date to
    // the hours left, in one transaction. Refused when the login may not delete entries; when
    // another copy changed, accepted or deleted the entry since the list was read, nothing is
    // deleted.
    Outcome deleteEntry(const Row& shown);

private:
    Database& db_;
};
