#pragma once
// Where the program reads its reports from. With TABEL_REPORT_SERVER=host[:port] naming a hot
// standby of the main server, the summary reports, the timesheets' rows, the exports, the
// statements and the check read there, while every write stays on the main connection. Before
// each read the standby must have replayed everything the main server had committed when the
// read began (so a copy always sees its own writes); a standby that cannot be reached, is no
// longer in recovery, or does not catch up within two seconds is passed over for the main server,
// and the log says why (once for each new reason).
#include "database.h"

#include <QElapsedTimer>
#include <optional>

class ReadingSource {
public:
    // `main` is the program's connection; the standby is reached with its database, user and
    // password.
    explicit ReadingSource(Database& main);
    ReadingSource(const ReadingSource&) = delete;
    ReadingSource& operator=(const ReadingSource&) = delete;

    // TABEL_REPORT_SERVER as host and port (5432 when none is given); nothing when unset or
    // malformed.
    static std::optional<std::pair<QString, int>> configuredServer();

    // The connection to read from now: the standby when it serves, else the main one. Throws
    // DbError only when the main server fails.
    Database& forReading();
    // Whether the last forReading() chose the standby.
    bool readsFromStandby() const { return onStandby_; }

private:
    bool standbyConnected();
    bool standbyCaughtUp();
    void passOver(const QString& why);

    Database& main_;
    Database standby_{QStringLiteral("REPORT_DB")};
    std::optional<std::pair<QString, int>> server_;
    QElapsedTimer sinceFailure_;  // an unreachable standby is tried again after 30 s
    QString lastReason_;
    bool onStandby_ = false;
};
