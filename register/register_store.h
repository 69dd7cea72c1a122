#pragma once
// The register's statements: acceptance marks and deleting an entry together with the
// worker's timesheet day cell.
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
    void setMark(int entryId, const QString& mark);

    // Deletes the entry and sets the worker's day cell of that shift to the hours left,
    // in one transaction: both happen or neither does.
    void deleteEntry(int entryId, int workerId, int shiftNo, const QDate& date);

private:
    Database& db_;
};
