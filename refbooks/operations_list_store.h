#pragma once
// The statements of the operations list: deleting an operation, the product's mark for the
// chosen operation's text, and the spreadsheet of every operation.
#include "dataset.h"

class ExcelBook;
class TDataModule6;

class OperationsListStore {
public:
    explicit OperationsListStore(TDataModule6& dm);

    // Deletes the operation (its norm rows go with it); the database refuses while register
    // entries refer to it.
    void remove(int operationId);
    // The product's mark as stored (untrimmed), read through Control.
    QString productMark(int productId);
    // Writes every operation, also those without norms, with its own price cena_new: a
    // header row, then one row per operation. False when the book could not be opened
    // (the message has been shown).
    bool exportList(ExcelBook& book);

    // "Готовая продукция" for product kind 0, "Заготовки" for any other.
    static QString productKindText(int naimen);

    Dataset XLS_Rep;

private:
    TDataModule6& dm_;
};
