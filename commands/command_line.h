#pragma once
// The commands of the executable, for payroll's schedules and the administrator:
//   tabel export timesheet …, tabel report …, tabel statement …, tabel check …
// Each connects as the program does, logs in with a login word, runs the windows' own code
// without a display and ends with an exit code.
#include "version_check.h"

#include <QStringList>

// The exit codes, as `tabel --help` and the README list them.
enum class ExitCode { Done = 0, Differences = 1, BadArguments = 2, Refused = 3, DatabaseFailed = 4 };

// True when the arguments (without the program's name) name a command or ask for the help;
// the desktop program starts otherwise.
bool isCommandLine(const QStringList& arguments);
// Whether the command lays out text on PDF pages and so needs the fonts of a QGuiApplication;
// the spreadsheets and the check do not (they start without the platform plugin).
bool commandNeedsFonts(const QStringList& arguments);
// The help, in Russian.
QString commandLineHelp();
// The log (Qt's and the program's warnings) goes to a file, so that stderr holds only the
// command's sentences: $XDG_CACHE_HOME/tabel/commands.log (~/.cache/…), or stderr itself with
// TABEL_LOG=stderr. Called before the application object is made.
void logCommandMessagesToFile();
// Runs the command (an application object exists) and returns its exit code.
int runCommandLine(const QStringList& arguments, BuildStamp stamp);
