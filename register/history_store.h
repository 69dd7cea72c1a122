#pragma once
// The change history as the windows read it (tabel.change_log, written by the change seam): the
// changes of one stored row, the changes of a period with their filters, and what each change
// did to the row's fields, in the words of the program's windows.
#include "dataset.h"

#include <QDate>
#include <QDateTime>
#include <QJsonValue>
#include <QString>
#include <QVector>

class Database;

// One field of a row before and after a change, as the windows show them.
struct FieldChange {
    QString field;
    QString before;
    QString after;
};

// One history row.
struct LoggedChange {
    qint64 id = 0;
    QDateTime at;
    QString role;  // as stored: "full", "viewer", …
    QString osUser;
    QString host;
    QString action;  // as stored: "add", "change", …
    QString table;
    QJsonValue before;  // the stored row before the change (an array of rows for a whole month)
    QJsonValue after;
};

// When a change was made (a date and time, or seconds since the epoch), as the history windows
// show it: local time to the second.
QString changeTimeText(const QVariant& at);
// The captions of the stored names.
QString roleCaption(const QString& role);
QString actionCaption(const QString& action);
QString tableCaption(const QString& table);
// The actions and the tables of the history, as the journal's filters offer them.
const QStringList& loggedActions();
const QStringList& loggedTables();

// What a change did, field by field: the fields an add set, those a delete removed, those a
// change changed (in the order of the table's columns; keys and bookkeeping columns left out).
// A change of a whole month's rows gives their numbers before and after.
QVector<FieldChange> changedFields(const QString& table, const QJsonValue& before, const QJsonValue& after);
// The same in one line: "Кол-во: 5 → 7; Часы: 8 → 6".
QString changesText(const LoggedChange& change);

// The lines the history windows show: one per changed field, the first line of a change with
// when, who and what. Fields: at, role, os_user, host, action, field, before, after.
QStringList historyLineFields();
QVector<QVector<QVariant>> historyLines(const QVector<LoggedChange>& changes);

// What the journal lists: a period (both days included) and, where set, one worker, one table and
// one action.
struct JournalFilter {
    QDate from{};
    QDate to{};
    int workerId = 0;
    QString table{};   // empty: every table
    QString action{};  // empty: every action
};

class HistoryStore {
public:
    explicit HistoryStore(Database& db) : db_(db) {}

    // The changes of the row `id` of `table`, oldest first.
    QVector<LoggedChange> ofRow(const QString& table, int id);
    // The changes of the journal's filter, with their rows, oldest first (for the export).
    QVector<LoggedChange> ofJournal(const JournalFilter& filter);
    // One history row.
    LoggedChange change(qint64 id);

    // The journal's list: id, at (seconds since the epoch), login_role, os_user, host, action, table_name, row (the row's
    // id), worker (the worker's number), day (the row's date), oldest first; and its parameters.
    static QString journalStatement(const JournalFilter& filter);
    static Params journalParams(const JournalFilter& filter);

private:
    QVector<LoggedChange> read(const QString& statement, const Params& params);

    Database& db_;
};
