#pragma once
// A failed database statement, carrying the database's own message and, for the log, the
// statement that failed.
#include <QString>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    DbError(const QString& message, const QString& sqlState = {}, bool connectionLost = false,
            const QString& statement = {})
        : std::runtime_error(message.toStdString()), message_(message), sqlState_(sqlState),
          connectionLost_(connectionLost), statement_(statement) {}
    const QString& message() const { return message_; }
    const QString& sqlState() const { return sqlState_; }
    bool connectionLost() const { return connectionLost_; }
    // The statement text that failed; empty when the failure was not a statement's.
    const QString& statement() const { return statement_; }

private:
    QString message_;
    QString sqlState_;
    bool connectionLost_;
    QString statement_;
};
