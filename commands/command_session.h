#pragma once
// What every command does before its work and around it: the messages on stderr (one Russian
// sentence each), the connection, the build check and the login.
#include "command_line.h"
#include "command_request.h"
#include "role.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class Database;
class DataModule;

// Writes one line to stderr.
void tellError(const QString& sentence);
// Tells the refusal and gives its exit code.
ExitCode refuseWith(const QString& sentence);

class CommandSession {
public:
    explicit CommandSession(BuildStamp stamp);
    ~CommandSession();
    CommandSession(const CommandSession&) = delete;
    CommandSession& operator=(const CommandSession&) = delete;

    // Logs in (--login, else TABEL_LOGIN), connects with the request's connection arguments
    // and checks the build. On failure the sentence is on stderr and its exit code returned.
    std::optional<ExitCode> open(const CommandRequest& request);

    DataModule& dataModule() { return *dm_; }
    Database& db();
    Role role() const { return role_; }

private:
    std::unique_ptr<DataModule> dm_;
    std::unique_ptr<struct StderrMessages> messages_;
    BuildStamp stamp_;
    Role role_ = Role::Viewer;
};

// Progress on stderr ("Выгрузка: 120 из 400"), only when stderr is a terminal.
class ProgressLine {
public:
    explicit ProgressLine(QString what);
    ~ProgressLine();
    void show(int done, int total);

private:
    QString what_;
    bool terminal_;
    bool shown_ = false;
};

// Whether the folder of `path` exists and can be written; a sentence saying why not.
std::optional<QString> outputFolderFault(const QString& path);
