#pragma once
// The program's one database connection: opening it from connection settings,
// running statements with bound values, transactions and advisory locks.
// A lost connection is reported once and reopened on the next statement.
#include "db_error.h"
#include "role.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <utility>

class QThread;

struct ConnectionSettings {
    QString database = QStringLiteral("corvel");
    QString host = QStringLiteral("127.0.0.1");
    int port = 5432;
    QString user = QStringLiteral("sys");
    QString password = QStringLiteral("wexutap");
    QString options = QStringLiteral("sslmode=prefer");

    // The command line: first argument the database, second the server; the database
    // alone is ignored. PGPORT, PGUSER and PGPASSWORD override port, user and password.
    static ConnectionSettings fromArguments(const QStringList& arguments);
};

using Params = QVector<std::pair<QString, QVariant>>;

class Database {
public:
    explicit Database(QString connectionName = QStringLiteral("ADO_DB"));
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the connection; throws DbError when the server cannot be reached.
    void open(const ConnectionSettings& settings);
    void close();
    bool isOpen() const;
    // The settings of the last open().
    const ConnectionSettings& settings() const { return settings_; }
    // Hands a connection opened on another thread (so that its opening overlaps other work) to
    // the thread that uses it from then on. Called on the thread that opened it, after open().
    void handOverTo(QThread* thread);

    // Runs one statement with its named parameters (":name") bound: each value goes into the
    // statement as the driver writes a value (quotes escaped as the server reads them; those the
    // statement does not name are left out); throws DbError on failure, and before sending
    // anything when a text value holds a NUL character (it would cut the statement short). With QSql::HighPrecision numeric columns are read
    // as their exact decimal text.
    QSqlQuery exec(const QString& statement, const Params& params = {},
                   QSql::NumericalPrecisionPolicy precision = QSql::LowPrecisionDouble);
    // Runs one statement and returns the number of rows it changed.
    int execute(const QString& statement, const Params& params = {});
    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(const QString& statement, const Params& params = {});

    // Refuses (std::logic_error) to begin inside an open transaction. A connection found lost
    // at the begin (the server dropped it while it was idle) is opened again and the begin sent
    // once more: nothing of the command has been sent yet.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }
    // pg_advisory_xact_lock on a key (app/lock_keys.h); held to the end of the transaction.
    void lockKey(const QString& key);
    // The locks of several keys in one round trip, taken in the order given.
    void lockKeys(const QStringList& keys);
    // Shared locks on `sharedKeys` (pg_advisory_xact_lock_shared: other shared holders do not
    // wait, an exclusive one does), then the locks of `keys`, in one round trip in that order.
    void lockKeys(const QStringList& sharedKeys, const QStringList& keys);
    // The call that takes the lock of a key given as an SQL text expression, for a statement
    // that takes its locks itself.
    static QString lockCall(const QString& keyExpression, bool shared = false);
    // The lock number of a key given as an SQL text expression (what lockCall locks).
    static QString lockNumber(const QString& keyExpression);

    // Whether a failed statement's error means the connection is gone: an SQLSTATE of class 08
    // or 57P, or no SQLSTATE at all while the server no longer answers. An error of the client
    // side (no SQLSTATE, the server still there) is an ordinary failure.
    bool isLostConnection(const QSqlError& error);

    // Called after a lost connection was opened again (the change listener then tells the
    // windows, which re-read what they show).
    std::function<void()> onReopened;

    // This connection's id in the notifications it sends (app/change_notice.h): the same
    // through every reopening, different for every Database.
    const QString& copyId() const { return copyId_; }
    // Listens on `channel` now (when open) and again after every opening; each notification's
    // payload goes to `deliver`. False when the server cannot deliver notifications: the reason
    // is logged, once.
    bool listen(const QString& channel, std::function<void(const QString& payload)> deliver);
    bool isListening() const { return listening_; }
    void stopListening();

    // The role of the login this connection works for; every store asks it before it writes.
    // None until someone has logged in: then nothing may be written.
    std::optional<Role> loginRole;
    // Done when the login's role may run the command; refused with the message to show otherwise.
    Outcome permits(Command command) const { return permission(loginRole, command); }

    // The program's own schema `tabel` (db/tabel.sql) as this connection finds it at every
    // opening: the steps its database holds (0 when it has none) and whether the login may use
    // it (read the history and add to it, close and open months).
    struct OwnSchema {
        int steps = 0;
        bool permitted = false;
    };
    const OwnSchema& ownSchema() const { return ownSchema_; }
    // The program's build, as the change history records it ("20261210.43200"); empty in tests.
    QString build;

    QSqlDatabase& handle() { return db_; }
    const QString& connectionName() const { return name_; }

private:
    void reopenIfLost();
    [[noreturn]] void fail(const QSqlError& error, const QString& statement);
    bool connectionAlive();
    void configureSession();
    void subscribe();
    void readOwnSchema();
    QString withValues(const QString& statement, const Params& params) const;

    QString name_;
    QSqlDatabase db_;
    ConnectionSettings settings_;
    bool lost_ = false;
    bool inTransaction_ = false;
    OwnSchema ownSchema_;
    QString copyId_;
    QString channel_;
    std::function<void(const QString&)> deliver_;
    bool listening_ = false;
    bool deliveryWired_ = false;
    bool listenFailureLogged_ = false;
};

// One user command's transaction: begun on construction, rolled back unless committed. Only
// one is open at a time: a second one on the same connection is refused (std::logic_error).
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.begin(); }
    ~Transaction()
    {
        if (!done_) {
            try { db_.rollback(); } catch (...) {}
        }
    }
    void commit() { db_.commit(); done_ = true; }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database& db_;
    bool done_ = false;
};

// A write command of one or a few statements: refused when the login may not run `command`;
// otherwise `write` runs in a transaction of its own, committed when it returns done (and rolled
// back when it returns a refusal, which is the command's outcome).
Outcome writeAs(Database& db, Command command, const std::function<Outcome()>& write);
