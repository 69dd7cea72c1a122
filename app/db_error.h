#pragma once
// A failed database statement, carrying the database's own message.
#include <QString>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    DbError(const QString& message, const QString& sqlState = {}, bool connectionLost = false)
        : std::runtime_error(message.toStdString()), message_(message), sqlState_(sqlState),
          connectionLost_(connectionLost) {}
    const QString& message() const { return message_; }
    const QString& sqlState() const { return sqlState_; }
    bool connectionLost() const { return connectionLost_; }

private:
    QString message_;
    QString sqlState_;
    bool connectionLost_;
};
