#include "background_query.h"

#include <QSqlRecord>

namespace {

// The settings the program's connection was opened with.
ConnectionSettings settingsOf(QSqlDatabase& db)
{
    ConnectionSettings s;
    s.database = db.databaseName();
    s.host = db.hostName();
    s.port = db.port();
    s.user = db.userName();
    s.password = db.password();
    s.options = db.connectOptions();
    return s;
}

} // namespace

const QVector<QVector<QVariant>>& BackgroundQuery::Answer::rows() const
{
    if (error_)
        std::rethrow_exception(error_);
    return rows_;
}

BackgroundQuery::BackgroundQuery(Database& db, QObject* parent) : QObject(parent), db_(db) {}

BackgroundQuery::~BackgroundQuery()
{
    if (!worker_)
        return;
    discard();
    // After what is queued (skipped, as it is stale now): the connection closes on its thread.
    QMetaObject::invokeMethod(worker_, [this] {
        conn_.reset();
        QThread::currentThread()->quit();
    });
    thread_.wait();
    delete worker_;
}

void BackgroundQuery::startThread()
{
    thread_.setObjectName(QStringLiteral("BackgroundQuery"));
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    thread_.start();
}

void BackgroundQuery::request(const QString& statement, const Params& params, Reply reply)
{
    if (!worker_)
        startThread();
    const quint64 ticket = ++newest_;
    reply_ = std::move(reply);
    QMetaObject::invokeMethod(worker_, [this, ticket, statement, params, settings = settingsOf(db_.handle())] {
        if (ticket != newest_)
            return;
        if (!conn_)
            conn_ = std::make_unique<Database>(QStringLiteral("background"));
        Answer a;
        try {
            if (!conn_->isOpen())
                conn_->open(settings);
            a = answer(statement, params);
        } catch (...) {
            a.error_ = std::current_exception();
        }
        QMetaObject::invokeMethod(this, [this, ticket, a] { deliver(ticket, a); });
    });
}

BackgroundQuery::Answer BackgroundQuery::answer(const QString& statement, const Params& params)
{
    QSqlQuery q = conn_->exec(statement, params);
    Answer a;
    const int columns = q.record().count();
    while (q.next()) {
        QVector<QVariant> row(columns);
        for (int i = 0; i < columns; ++i)
            row[i] = q.value(i);
        a.rows_.push_back(std::move(row));
    }
    return a;
}

void BackgroundQuery::deliver(quint64 ticket, const Answer& answer)
{
    if (ticket != newest_ || !reply_)
        return;
    const Reply reply = std::exchange(reply_, {});
    reply(answer);
    emit delivered();
}

void BackgroundQuery::discard()
{
    ++newest_;
    reply_ = {};
}
