#pragma once
// What a text must be before a store writes it into a column: no control characters (a NUL
// would cut the statement short, a line break or a tab would break the lists and the
// spreadsheets) and no more characters than the column holds.
#include "outcome.h"

#include <QString>

// Done when `text` may go into a column of `maxLength` characters; refused naming the field
// by its caption `title` otherwise.
Outcome checkText(const QString& text, const QString& title, int maxLength);
