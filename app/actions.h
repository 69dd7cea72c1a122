#pragma once
// Runs one user command: an error never reaches the event loop. A failing statement rolls
// back the command's transaction and is shown by the standard error display; the program
// goes on with the next user action.
#include "outcome.h"

#include <QString>
#include <functional>

class Database;

// The standard error display: a box with the error text.
void showStandardError(const QString& text);

// Runs `action`; returns false when it failed, after showing the error. For what runs no
// statement on the program's connection (an answer read in the background).
bool runShowingError(const std::function<void()>& action);

// Runs `action`; returns false when it failed (after rolling back and showing the error).
// A database error is shown with the database's message and logged with its statement.
bool runAction(Database& db, const std::function<void()>& action);

// Runs what the program does unasked (a re-read after another copy's change): a failure is
// logged, not shown, and the user's next command meets it (a lost connection) if it lasts.
// Returns false when it failed.
bool runQuietly(const std::function<void()>& action);

// Runs a store command that may be refused. A refusal is shown (caption "Ошибка") after the
// command has ended, so that no lock is held while the box is open; an error is shown as
// runAction shows it and comes back as Outcome::failed().
Outcome runCommand(Database& db, const std::function<Outcome()>& command);
