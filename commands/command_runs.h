#pragma once
// The work of each command, on an open session; each returns its exit code and says on stderr
// why it failed. A database error is left to the caller.
#include "command_line.h"

class CommandSession;
struct CommandRequest;

// tabel export timesheet: the month's timesheet of a kind into an .xlsx, as "Excel" writes it.
ExitCode exportTimesheetCommand(CommandSession& session, const CommandRequest& request);
// tabel report: one of the summary reports over a period into a PDF, as its preview saves it.
ExitCode reportCommand(CommandSession& session, const CommandRequest& request);
// tabel statement: the month's pay statements (of every worker or one) into a PDF.
ExitCode statementCommand(CommandSession& session, const CommandRequest& request);
// tabel check: the month's timesheet against its records; the differences on stdout, or repaired.
ExitCode checkCommand(CommandSession& session, const CommandRequest& request);
