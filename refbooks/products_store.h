#pragma once
// The statements of the products reference book: the duplicate test on the mark, writing a
// product to the goods table, and deleting a product with what the user agreed to lose.
#include "dataset.h"

#include <QDate>

class TDataModule6;

class ProductsStore {
public:
    explicit ProductsStore(TDataModule6& dm);

    // The factor as the database reads a number: the first comma (or, without one, the
    // first point) becomes the decimal point. "1,5" gives "1.5", "12" stays "12".
    static QString factorText(const QString& typed);

    // Adds (productId 0) or changes a product. Returns false, after telling the user, when
    // another product has the same mark in any letter case; nothing is written then.
    bool save(int productId, const QString& mark, const QString& factor, int groupId);

    // Register entries count for the delete question from this day on: the first of the
    // previous month (December in January) of the year 2000.
    static QDate entriesSince(const QDate& today);
    int operationCount(int productId);
    int entryCount(int productId, const QDate& today);

    // Deletes, in one transaction, the product's operations and/or the product itself with
    // (when `withEntries`) its register entries.
    void remove(int productId, bool operations, bool product, bool withEntries);

    Dataset Izdel_Smena;
    Dataset ii_oper;

private:
    int count(Dataset& ds);

    TDataModule6& dm_;
};
