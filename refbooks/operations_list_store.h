#pragma once
// The statements of the operations list: deleting an operation, the product's mark for the
// chosen operation's text, and the spreadsheet of every operation.
#include "dataset.h"

class ExcelBook;

// Deletes the operations `which` (a condition over accounts_dep.oper o) with their norm rows, each
// deleted row through the change seam. The database refuses an operation that register entries
// refer to.
Outcome deleteOperations(Database& db, const QString& which, const Params& params);

class OperationsListStore {
public:
    explicit OperationsListStore(Database& db);

    // Deletes the operation (its norm rows go with it); the database refuses while register
    // entries refer to it, and the store when the login may not edit the reference books.
    Outcome remove(int operationId);
    // The product's mark as stored (untrimmed).
    QString productMark(int productId);
    // Writes every operation, also those without norms, with its own price cena_new: a
    // header row, then one row per operation. False when the book could not be opened
    // (the message has been shown).
    bool exportList(ExcelBook& book);

    Dataset allOperations;

private:
    Database& db_;
};
