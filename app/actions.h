#pragma once
// Runs one user command: an error never reaches the event loop. A failing statement rolls
// back the command's transaction and is shown by the standard error display; the program
// goes on with the next user action.
#include <QString>
#include <functional>

class Database;

// The standard error display: a box with the error text.
void showStandardError(const QString& text);

// Runs `action`; returns false when it failed (after rolling back and showing the error).
bool runAction(Database& db, const std::function<void()>& action);
