#include "database.h"

#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <atomic>
#include <stdexcept>

ConnectionSettings ConnectionSettings::fromArguments(const QStringList& arguments)
{
    ConnectionSettings s;
    if (arguments.size() >= 2 && !arguments.at(1).isEmpty()) {
        s.database = arguments.at(0);
        s.host = arguments.at(1);
    }
    const auto env = QProcessEnvironment::systemEnvironment();
    bool ok = false;
    const int port = env.value(QStringLiteral("PGPORT")).toInt(&ok);
    if (ok && port > 0)
        s.port = port;
    if (env.contains(QStringLiteral("PGUSER")))
        s.user = env.value(QStringLiteral("PGUSER"));
    if (env.contains(QStringLiteral("PGPASSWORD")))
        s.password = env.value(QStringLiteral("PGPASSWORD"));
    return s;
}

Database::Database(QString connectionName)
{
    // Qt keys connections by name: each Database gets its own.
    static std::atomic<int> created{0};
    name_ = QStringLiteral("%1#%2").arg(connectionName).arg(++created);
}

Database::~Database()
{
    close();
    db_ = QSqlDatabase();
    if (QSqlDatabase::contains(name_))
        QSqlDatabase::removeDatabase(name_);
}

void Database::open(const ConnectionSettings& settings)
{
    settings_ = settings;
    if (!QSqlDatabase::contains(name_))
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
    else
        db_ = QSqlDatabase::database(name_, false);
    db_.close();
    db_.setDatabaseName(settings.database);
    db_.setHostName(settings.host);
    db_.setPort(settings.port);
    db_.setUserName(settings.user);
    db_.setPassword(settings.password);
    db_.setConnectOptions(settings.options);
    if (!db_.open())
        throw DbError(db_.lastError().text(), db_.lastError().nativeErrorCode(), true);
    lost_ = false;
    inTransaction_ = false;
    configureSession();
}

void Database::configureSession()
{
    // Some statements compare dates with 'dd.mm.yyyy' texts. The worker reports' correlated sums
    // give their plans a high cost, and a server compiling them just in time spends seconds on
    // it to save nothing; servers without just-in-time compilation have no such setting. One
    // round trip for all.
    exec(QStringLiteral("set datestyle = 'ISO, DMY'; set client_encoding = 'UTF8'; "
                        "select set_config(name, 'off', false) from pg_settings where name = 'jit'"));
}

void Database::close()
{
    if (db_.isValid())
        db_.close();
    inTransaction_ = false;
}

void Database::handOverTo(QThread* thread)
{
    // A connection belongs to the thread of its driver.
    if (db_.isValid() && db_.driver())
        db_.driver()->moveToThread(thread);
}

bool Database::isOpen() const { return db_.isValid() && db_.isOpen() && !lost_; }

void Database::reopenIfLost()
{
    if (!lost_ && db_.isOpen())
        return;
    const bool wasLost = lost_;
    try {
        open(settings_);
        if (wasLost && onReopened)
            onReopened();
    } catch (const DbError& e) {
        lost_ = true;
        throw DbError(QStringLiteral("Нет соединения с базой данных. Повторите действие позже.\n\n%1").arg(e.message()),
                      e.sqlState(), true);
    }
}

// SQLSTATEs of a connection that is gone: class 08 and the shut-downs of class 57P.
static bool isLostState(const QString& state)
{
    return state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P"));
}

bool Database::connectionAlive()
{
    // A probe that fails with an SQLSTATE of a live session (even "current transaction is
    // aborted") reached the server; one that fails without any, or as a lost connection, did not.
    QSqlQuery probe(db_);
    if (probe.exec(QStringLiteral("select 1")))
        return true;
    const QString state = probe.lastError().nativeErrorCode();
    return !state.isEmpty() && !isLostState(state);
}

bool Database::isLostConnection(const QSqlError& error)
{
    const QString state = error.nativeErrorCode();
    if (error.type() == QSqlError::ConnectionError || isLostState(state))
        return true;
    return state.isEmpty() && !connectionAlive();
}

void Database::fail(const QSqlError& error, const QString& statement)
{
    if (isLostConnection(error)) {
        lost_ = true;
        inTransaction_ = false;
        throw DbError(QStringLiteral("Соединение с базой данных потеряно. Повторите действие: "
                                     "соединение будет восстановлено.\n\n%1")
                          .arg(error.text()),
                      error.nativeErrorCode(), true, statement);
    }
    throw DbError(error.databaseText().isEmpty() ? error.text() : error.databaseText(), error.nativeErrorCode(),
                  false, statement);
}

// True when the statement names the parameter (":name", not "::name" of a cast).
static bool statementNames(const QString& statement, const QString& param)
{
    const QRegularExpression re(QStringLiteral("(?<![:\\w]):%1\\b").arg(QRegularExpression::escape(param)),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(statement).hasMatch();
}

QSqlQuery Database::exec(const QString& statement, const Params& params, QSql::NumericalPrecisionPolicy precision)
{
    if (!inTransaction_)
        reopenIfLost();
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(precision);
    bool ok = false;
    if (params.isEmpty()) {
        ok = query.exec(statement);
    } else {
        if (!query.prepare(statement))
            fail(query.lastError(), statement);
        for (const auto& [name, value] : params) {
            const QString bare = name.startsWith(u':') ? name.mid(1) : name;
            if (statementNames(statement, bare))
                query.bindValue(u':' + bare, value);
        }
        ok = query.exec();
    }
    if (!ok)
        fail(query.lastError(), statement);
    return query;
}

int Database::execute(const QString& statement, const Params& params)
{
    return exec(statement, params).numRowsAffected();
}

QVariant Database::scalar(const QString& statement, const Params& params)
{
    QSqlQuery query = exec(statement, params);
    return query.next() ? query.value(0) : QVariant();
}

void Database::begin()
{
    // A transaction inside another would commit the outer one early: a programming error.
    if (inTransaction_)
        throw std::logic_error("Database::begin: a transaction is already open");
    reopenIfLost();
    if (!db_.transaction())
        fail(db_.lastError(), QStringLiteral("begin"));
    inTransaction_ = true;
}

void Database::commit()
{
    inTransaction_ = false;
    if (!db_.commit())
        fail(db_.lastError(), QStringLiteral("commit"));
}

void Database::rollback()
{
    inTransaction_ = false;
    if (lost_ || !db_.isOpen())
        return;
    db_.rollback();
    // A statement prepared inside the transaction that failed could not be released while the
    // transaction was aborted; release them all now (no prepared query outlives a command).
    QSqlQuery release(db_);
    release.exec(QStringLiteral("deallocate all"));
}

void Database::lockKeys(const QStringList& keys)
{
    QStringList locks;
    Params params;
    for (int i = 0; i < keys.size(); ++i) {
        locks << QStringLiteral("pg_advisory_xact_lock(hashtextextended(:k%1, 0))").arg(i);
        params.push_back({QStringLiteral("k%1").arg(i), keys[i]});
    }
    if (!locks.isEmpty())
        exec(QStringLiteral("select ") + locks.join(QStringLiteral(", ")), params);
}

void Database::lockKey(const QString& key)
{
    exec(QStringLiteral("select pg_advisory_xact_lock(hashtextextended(:key, 0))"),
         {{QStringLiteral("key"), key}});
}
