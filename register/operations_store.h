#pragma once
// The statements of the operation dialog and the norms window: saving an operation with its
// duplicate test, and reading, storing and deleting the norm rows of one operation.
#include "outcome.h"

#include <QString>
#include <QVector>

class Database;
class DataModule;

// One norm row as the norms grid edits it: the values as read, or as the user typed them.
struct NormRow {
    int id = 0;  // 0 for a row not stored yet
    QString norm;
    QString price;
    QString premium;

    bool isBlank() const
    {
        return norm.trimmed().isEmpty() && price.trimmed().isEmpty() && premium.trimmed().isEmpty();
    }
    bool operator==(const NormRow& other) const = default;
};

// What the operation dialog saves: the kind of operation, the product kind and the product.
struct OperationValues {
    int kindId = 0;
    int productKind = 0;  // 0 finished products, 1 blanks
    int productId = 0;
};

// The highest norm price: with the day-off and overtime factors an entry's price stays exact.
constexpr qint64 kMaxNormPrice = 999999999;

class OperationsStore {
public:
    explicit OperationsStore(DataModule& dm) : dm_(dm) {}

    static const QString duplicateMessage;

    // Adds (operationId 0) or changes an operation. Refused, with nothing written, when a
    // value is missing, when the login may not edit the reference books, and when another
    // operation has the same kind, product kind and product. A new operation gets its
    // first norm row (price 0, norm 0, premium 0) in the same transaction, so that it is
    // listed and its norms can be edited.
    Outcome saveOperation(int operationId, const OperationValues& operation);

    // The operation's norm rows in the order of the norm value.
    QVector<NormRow> norms(int operationId);
    // Inserts a row of the operation (id 0) or updates it, putting its id into `storedId`. An
    // empty value is stored as null; the norm and the premium must be whole numbers and the
    // price a number (a decimal comma reads as a point), none of them negative; the price at
    // most kMaxNormPrice. Refused, naming the field, otherwise, and when the login may not
    // edit the reference books.
    Outcome storeNorm(int operationId, const NormRow& row, int* storedId);
    // The checks of storeNorm, without writing.
    static Outcome checkNorm(const NormRow& row);
    // Deletes a norm row unless it is the last one of its operation (which stays, done).
    Outcome deleteNorm(int operationId, int normId);

private:
    Database& db();

    DataModule& dm_;
};
