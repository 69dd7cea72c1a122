#pragma once
// The one seam every write of the program goes through. A store describes what one write
// statement changes as a Change and hands the statement (a Write) to applyChange, inside the
// command's transaction. What must follow every write is added here, once:
//  - the history: one row of tabel.change_log for each written row, inserted by the write's own
//    statement, so that a write and its history commit together or not at all, in one round trip;
//  - the refusal of a closed month: the written rows' dates before and after the write (or the
//    month of a change of a whole month) are checked by the same statement under the month's
//    shared lock, and the command is refused with nothing written;
//  - what other copies are to be told: one notification (app/change_notice.h) naming the data
//    (kind, action, days or month, shift, worker, the rows' keys), sent by the same statement,
//    so that it goes out when the write commits and never for a rolled-back one.
// Without the program's own schema (db/tabel.sql) of the steps this build needs, or without the
// rights to it, the statement runs with its notification only: no history and no closed months.
#include "database.h"
#include "dataset.h"
#include "outcome.h"

#include <QDate>
#include <QList>
#include <QStringList>

// The steps of db/tabel.sql this build needs.
constexpr int kOwnSchemaSteps = 1;

// What kind of data a change is of.
enum class DataKind { Entry, Works, Norm, Operation, Worker, Product, OperationKind, Group, Timesheet, Month };

// What a change did. Its name in tabel.change_log.action: "add", "change", "delete", "accept",
// "rebuild", "repair", "close", "open".
enum class ChangeAction { Add, Change, Delete, Accept, Rebuild, Repair, Close, Open };
QString actionName(ChangeAction action);
// The role's name in tabel.change_log.login_role: "full", "viewer", "foremen", "warehouse".
QString roleName(Role role);

struct Change {
    DataKind kind = DataKind::Entry;
    ChangeAction action = ChangeAction::Add;
    QString table{};  // schema-qualified: "accounts_dep.smena"
    // The written rows' date column ("data", "d_date"): a row whose month is closed, before or
    // after the write, refuses the change. Empty for data of no month.
    QString dateColumn{};
    // The first day of the month that a change of a whole month (a rebuild) writes; null otherwise.
    QDate month{};
    // What a notification names, where the store knows it: the days, the shift, the worker.
    QList<QDate> days{};
    int shiftNo = 0;
    int workerId = 0;
    // The written rows' keys (their row_key as JSON text), filled by applyChange.
    QStringList keys{};
};

// The statement of a Change. `rows` writes and returns, for each written row, `row_key`, `old_row`
// and `new_row` (jsonb: the row's key, the stored row before and after the write, null where there
// is none) and whatever the store reads back. It is a data-modifying statement, or a select over
// the data-modifying statements of `with`.
struct Write {
    QString rows{};
    Params params{};
    QString with{};      // "name as (…), …" that `rows` reads, or empty
    QString readBack{};  // the columns of the written rows that the store reads back, or empty
    QString then{};      // expressions evaluated for each written row after the write (locks), or empty
};

// Runs the write of `change` in the caller's transaction (or as a statement of its own), fills
// change.keys and puts the rows read back into `readBack` (each with "row_key" first). Refused
// with "Месяц 02.2024 закрыт. Изменения запрещены." when a written row's month is closed: the
// statement then wrote nothing and the caller's transaction can only be rolled back. Throws
// DbError when the statement fails.
Outcome applyChange(Database& db, Change& change, const Write& write, QVector<Row>* readBack = nullptr);

// applyChange of a write of rows of no month (the reference books); the rows read back hold
// their "id".
Outcome applyRowChange(Database& db, DataKind kind, ChangeAction action, const QString& table, const QString& rows,
                       const Params& params, QVector<Row>* readBack = nullptr);

// The computer's user and name as "user@computer" (the name alone when the user is not known).
QString thisWorkplace();

// Whether history and month close work on this connection: its database holds the steps of
// db/tabel.sql that this build needs, and the login may use them.
bool historyAvailable(const Database& db);
// Why they do not, as the tooltip of a disabled command says; empty when they do.
QString historyUnavailableReason(const Database& db);

// The parts of a write of rows that have an id (the parameter :id names the row of a change or a
// delete). Each RETURNING list also returns the row's id.
namespace rowWrite {
// The RETURNING list of an inserted row, `row` its name in the statement.
QString added(const QString& row);
// Of a deleted row.
QString deleted(const QString& row);
// The insert of one row of `table` (named t), its `columns` given `values`, returning it.
QString insert(const QString& table, const QString& columns, const QString& values);
// The update of the row :id of `table` (named t; columns in the values of `assignments` are
// written t.x) when `condition` holds too, returning it with the row as it was stored (locked
// first) as its old row.
QString updateById(const QString& table, const QString& assignments, const QString& condition = QStringLiteral("true"));
// The delete of the row :id of `table`, returning it.
QString deleteById(const QString& table);
} // namespace rowWrite
