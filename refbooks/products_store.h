#pragma once
// The statements of the products reference book: the duplicate test on the mark, writing a
// product to the goods table, and deleting a product with what the user agreed to lose.
#include "outcome.h"

#include <QDate>
#include <QString>

class DataModule;

// What the product dialog saves.
struct ProductValues {
    QString mark;
    QString factor;  // as typed; a decimal comma reads as a point
    int groupId = 0;
};

// Refused when a value is missing, the mark holds a control character or more than its
// column's 254 characters, or the factor is no number of 0 or more; done otherwise.
Outcome productFault(const ProductValues& product);

class ProductsStore {
public:
    explicit ProductsStore(DataModule& dm) : dm_(dm) {}

    // Adds (productId 0) or changes a product, its mark trimmed. Refused, with nothing
    // written, when productFault finds a value wrong, when the login may not edit the
    // reference books, and when another product has the same mark in any letter case.
    Outcome save(int productId, const ProductValues& product);

    // Register entries count for the delete question from this day on: the first of the
    // previous month (December in January) of the year 2000.
    static QDate entriesSince(const QDate& today);
    int operationCount(int productId);
    int entryCount(int productId, const QDate& today);

    // Deletes, in one transaction, the product's operations and/or the product itself with
    // (when `withEntries`) its register entries and their hours in the timesheet's day cells;
    // refused when the login may not edit the reference books.
    Outcome remove(int productId, bool operations, bool product, bool withEntries);

private:
    // Deletes the product's register entries and recomputes every day cell they touched.
    Outcome deleteEntries(int productId);

    DataModule& dm_;
};
