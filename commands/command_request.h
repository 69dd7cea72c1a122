#pragma once
// A command line read and checked: the command, its subject, its options and the connection
// arguments (database, server) that follow, as the desktop program takes them.
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

struct CommandRequest {
    QString command;             // "export", "report", "statement", "check"
    QString subject;             // "timesheet"; the report's name; empty for the others
    QHash<QString, QString> options;  // by long name: "month", "kind", "from", "to", "worker", "output", "login"
    bool repair = false;
    QStringList connection;      // database, server

    QString option(const QString& name) const { return options.value(name); }
    bool has(const QString& name) const { return options.contains(name); }
    // The first day of --month.
    QDate month() const;
    QDate from() const;
    QDate to() const;
};

// Reads the arguments (without the program's name); on a mistake `error` says what is wrong
// in one Russian sentence and nothing is returned.
std::optional<CommandRequest> readCommandLine(const QStringList& arguments, QString* error);
