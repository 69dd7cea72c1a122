#pragma once
// Reads that a window does not wait for: each statement runs on a connection of its own (opened
// with the settings of the program's connection at the first request), on a thread of its own,
// one at a time in the order asked, never beside another statement on either connection. Only
// the answer to the newest request is delivered, on the asking thread's event loop; an older
// request still waiting is skipped and an older answer dropped (the user has moved on).
#include "database.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>

class BackgroundQuery : public QObject {
    Q_OBJECT
public:
    // The rows of a statement, or the error it ended with.
    class Answer {
    public:
        // The rows, each with its values in the select list's order; rethrows the statement's
        // error (a DbError) when it failed.
        const QVector<QVector<QVariant>>& rows() const;

    private:
        friend class BackgroundQuery;
        QVector<QVector<QVariant>> rows_;
        std::exception_ptr error_;
    };
    using Reply = std::function<void(const Answer&)>;

    explicit BackgroundQuery(Database& db, QObject* parent = nullptr);
    // Waits for a statement still running, then closes the connection.
    ~BackgroundQuery() override;

    // Runs the statement with its parameters bound as Database::exec binds them; `reply` gets
    // the answer unless another request or discard() comes first.
    void request(const QString& statement, const Params& params, Reply reply);
    // Drops whatever was asked and not yet delivered.
    void discard();
    // A request was made and its answer not yet delivered.
    bool isPending() const { return bool(reply_); }

signals:
    // An answer was handed to its reply.
    void delivered();

private:
    void startThread();
    Answer answer(const QString& statement, const Params& params);
    void deliver(quint64 ticket, const Answer& answer);

    Database& db_;
    QThread thread_;
    QObject* worker_ = nullptr;        // lives on thread_: the context of the statements
    std::unique_ptr<Database> conn_;   // opened, used and closed on thread_ only
    std::atomic<quint64> newest_{0};  // the ticket of the newest request
    Reply reply_;
};
