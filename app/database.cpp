#include "database.h"

#include <QAbstractEventDispatcher>
#include <QProcessEnvironment>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlError>
#include <QUuid>
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
    copyId_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
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
    listening_ = false;
    configureSession();
    subscribe();
}

bool Database::listen(const QString& channel, std::function<void(const QString& payload)> deliver)
{
    channel_ = channel;
    deliver_ = std::move(deliver);
    if (isOpen() && !listening_)
        subscribe();
    return listening_;
}

void Database::stopListening()
{
    if (listening_ && db_.isOpen())
        db_.driver()->unsubscribeFromNotification(channel_);
    listening_ = false;
    channel_.clear();
    deliver_ = {};
}

void Database::subscribe()
{
    if (channel_.isEmpty() || !db_.isOpen())
        return;
    QSqlDriver* driver = db_.driver();
    // The driver stays the same through reopenings: its signal is connected once.
    if (!deliveryWired_) {
        QObject::connect(driver, &QSqlDriver::notification, driver,
                         [this](const QString& name, QSqlDriver::NotificationSource, const QVariant& payload) {
                             if (name == channel_ && deliver_)
                                 deliver_(payload.toString());
                         });
        deliveryWired_ = true;
    }
    // A socket notifier needs the event loop of the connection's thread: a connection opened on
    // a thread without one (the start-up's) subscribes once it is handed over.
    if (!QAbstractEventDispatcher::instance(driver->thread()))
        return;
    listening_ = driver->hasFeature(QSqlDriver::EventNotifications) && driver->subscribeToNotification(channel_);
    if (!listening_ && !listenFailureLogged_) {
        listenFailureLogged_ = true;
        qWarning().noquote() << "Live updates are off: the server does not deliver notifications on" << channel_
                             << "to this connection:" << driver->lastError().text();
    }
}

void Database::configureSession()
{
    // Some statements compare dates with 'dd.mm.yyyy' texts. The worker reports' correlated sums
    // give their plans a high cost, and a server compiling them just in time spends seconds on
    // it to save nothing; servers without just-in-time compilation have no such setting. One
    // round trip for all, which also says whether the program's own schema is there (the driver
    // hands back the first statement's result).
    QSqlQuery session = exec(QStringLiteral(
        "select (select count(set_config(name, 'off', false)) from pg_settings where name = 'jit'), "
        "case when not exists (select 1 from pg_namespace where nspname = 'tabel') then false "
        "     when not has_schema_privilege('tabel', 'usage') then false "
        "     when to_regclass('tabel.schema_version') is null then false "
        "     else has_table_privilege('tabel.schema_version', 'select') end; "
        "set datestyle = 'ISO, DMY'; set client_encoding = 'UTF8'"));
    ownSchema_ = {};
    if (session.next() && session.value(1).toBool())
        readOwnSchema();
}

void Database::readOwnSchema()
{
    // Each privilege is asked only of an object that exists (a case evaluates lazily).
    QSqlQuery q = exec(QStringLiteral(
        "select (select coalesce(max(step), 0) from tabel.schema_version), "
        "case when to_regclass('tabel.change_log') is null or to_regclass('tabel.closed_month') is null "
        "       or to_regprocedure('tabel.refuse_closed_month(date, bigint)') is null then false "
        "     else has_table_privilege('tabel.change_log', 'select, insert') "
        "      and has_table_privilege('tabel.closed_month', 'select, insert, delete') "
        "      and has_function_privilege('tabel.refuse_closed_month(date, bigint)', 'execute') end"));
    if (q.next())
        ownSchema_ = {q.value(0).toInt(), q.value(1).toBool()};
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

namespace {

bool isNameStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isNamePart(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// The value of the parameter `name` (letter case ignored), nullptr when there is none.
const QVariant* valueOf(const Params& params, const QString& name)
{
    for (const auto& [key, value] : params) {
        const QString bare = key.startsWith(u':') ? key.mid(1) : key;
        if (bare.compare(name, Qt::CaseInsensitive) == 0)
            return &value;
    }
    return nullptr;
}

} // namespace

QString Database::withValues(const QString& statement, const Params& params) const
{
    // Every ":name" outside quoted text, quoted names, dollar-quoted text and comments (and not
    // the "::" of a cast) becomes its value as the driver writes it: a literal with its quotes
    // escaped as the server reads them, a number, a date, true/false or null. This is the text
    // the driver itself would send to execute a prepared statement; sent at once, it saves the
    // round trips of preparing and releasing.
    QString out;
    out.reserve(statement.size() + 16 * params.size());
    const qsizetype n = statement.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = statement[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = statement.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            out += QStringView(statement).mid(i, stop - i);
            i = stop;
        } else if (c == u'-' && i + 1 < n && statement[i + 1] == u'-') {
            qsizetype end = statement.indexOf(u'\n', i);
            if (end < 0)
                end = n;
            out += QStringView(statement).mid(i, end - i);
            i = end;
        } else if (c == u'$' && (i == 0 || !isNamePart(statement[i - 1]))) {
            // $tag$ … $tag$ (or $$ … $$); a $1 is no quote.
            qsizetype tagEnd = i + 1;
            while (tagEnd < n && isNamePart(statement[tagEnd]) && !statement[tagEnd].isDigit())
                ++tagEnd;
            if (tagEnd < n && statement[tagEnd] == u'$') {
                const QString tag = statement.mid(i, tagEnd - i + 1);
                const qsizetype close = statement.indexOf(tag, tagEnd + 1);
                const qsizetype stop = close < 0 ? n : close + tag.size();
                out += QStringView(statement).mid(i, stop - i);
                i = stop;
            } else {
                out += c;
                ++i;
            }
        } else if (c == u':' && i + 1 < n && statement[i + 1] == u':') {
            out += QStringLiteral("::");
            i += 2;
        } else if (c == u':' && i + 1 < n && isNameStart(statement[i + 1])) {
            qsizetype end = i + 1;
            while (end < n && isNamePart(statement[end]))
                ++end;
            const QString name = statement.mid(i + 1, end - i - 1);
            if (const QVariant* value = valueOf(params, name)) {
                if (value->typeId() == QMetaType::QString && value->toString().contains(QChar(0)))
                    throw DbError(QStringLiteral("Текст содержит недопустимый символ с кодом 0."));
                QSqlField field(name, value->metaType());
                field.setValue(*value);
                out += db_.driver()->formatValue(field);
            } else {
                out += QStringView(statement).mid(i, end - i);
            }
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QSqlQuery Database::exec(const QString& statement, const Params& params, QSql::NumericalPrecisionPolicy precision)
{
    if (!inTransaction_)
        reopenIfLost();
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(precision);
    if (!query.exec(params.isEmpty() ? statement : withValues(statement, params)))
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
    if (!db_.transaction()) {
        const QSqlError error = db_.lastError();
        if (!isLostConnection(error))
            fail(error, QStringLiteral("begin"));
        lost_ = true;
        reopenIfLost();
        if (!db_.transaction())
            fail(db_.lastError(), QStringLiteral("begin"));
    }
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
}

void Database::lockKeys(const QStringList& keys) { lockKeys({}, keys); }

void Database::lockKeys(const QStringList& sharedKeys, const QStringList& keys)
{
    QStringList locks;
    Params params;
    const QStringList all = sharedKeys + keys;
    for (int i = 0; i < all.size(); ++i) {
        locks << lockCall(QStringLiteral(":k%1").arg(i), i < sharedKeys.size());
        params.push_back({QStringLiteral("k%1").arg(i), all[i]});
    }
    if (!locks.isEmpty())
        exec(QStringLiteral("select ") + locks.join(QStringLiteral(", ")), params);
}

void Database::lockKey(const QString& key)
{
    exec(QStringLiteral("select ") + lockCall(QStringLiteral(":key")), {{QStringLiteral("key"), key}});
}

QString Database::lockCall(const QString& keyExpression, bool shared)
{
    return QStringLiteral("pg_advisory_xact_lock%1(%2)")
        .arg(shared ? QStringLiteral("_shared") : QString(), lockNumber(keyExpression));
}

QString Database::lockNumber(const QString& keyExpression)
{
    return QStringLiteral("hashtextextended(%1, 0)").arg(keyExpression);
}

Outcome writeAs(Database& db, Command command, const std::function<Outcome()>& write)
{
    if (Outcome allowed = db.permits(command); !allowed)
        return allowed;
    Transaction tx(db);
    if (Outcome written = write(); !written)
        return written;
    tx.commit();
    return Outcome::done();
}
