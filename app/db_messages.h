#pragma once
// What a user reads of a failed statement: a Russian sentence chosen by the error's SQLSTATE,
// never the statement text. The database's own text stays in the error for the log.
#include <QString>

class DbError;

QString userMessage(const DbError& error);
