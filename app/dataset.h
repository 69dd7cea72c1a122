#pragma once
// Datasets as the windows use them: a statement with named parameters, all rows fetched
// on open, a current record (1-based record numbers), locate, and a row filter over the
// fetched rows. Field names are matched ignoring case (MARKA and marka are one field).
#include "database.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <optional>

class Dataset;

// A row filter: true keeps the row. `row` indexes the fetched rows.
using RowFilter = std::function<bool(const Dataset&, int row)>;

namespace filters {
// Letter case is ignored (Cyrillic included); the text is taken literally.
RowFilter startsWith(const QString& field, const QString& text);
RowFilter contains(const QString& field, const QString& text);
RowFilter equals(const QString& field, const QVariant& value);
} // namespace filters

// The value of one field of the current record.
class FieldValue {
public:
    explicit FieldValue(QVariant value) : value_(std::move(value)) {}
    const QVariant& value() const { return value_; }
    bool isNull() const { return value_.isNull() || !value_.isValid(); }
    QString asString() const;
    int asInteger() const;
    qlonglong asLargeInt() const { return value_.toLongLong(); }
    double asFloat() const { return value_.toDouble(); }
    QDate asDate() const;
    QDateTime asDateTime() const { return value_.toDateTime(); }

private:
    QVariant value_;
};

// The text a grid or a form shows for a value: dates as dd.MM.yyyy (with the time when there
// is one), doubles with up to 15 significant digits and the locale's decimal comma, anything
// else as it converts; empty for null.
QString displayText(const QVariant& value);

// A copy of one record: what a list hands to the dialog it opens or to the opener of its
// choosing mode, so that no window reads another window's dataset. Field names ignore case.
class Row {
public:
    Row() = default;
    bool isEmpty() const { return values_.isEmpty(); }
    FieldValue field(const QString& name) const;
    FieldValue operator[](const QString& name) const { return field(name); }
    // A row made by hand (tests, openers without a dataset).
    static Row of(const QVector<std::pair<QString, QVariant>>& values);
    // The current record of a query.
    static Row fromQuery(const QSqlQuery& query);
    // True when both rows hold the same values in `fields`: numbers compared as numbers (5 and
    // 5.0 are the same), dates as dates, texts without trailing blanks, null only with null.
    bool sameAs(const Row& other, const QStringList& fields) const;

private:
    friend class Dataset;
    QHash<QString, int> index_;
    QVector<QVariant> values_;
};

// The first row of a statement's result, nullopt when it has none (a "select … for update" of
// one row by its key reads and locks it).
std::optional<Row> firstRow(Database& db, const QString& statement, const Params& params = {});

class Dataset : public QObject {
    Q_OBJECT
public:
    Dataset(Database& db, QString name, QString statement = {}, QObject* parent = nullptr);

    const QString& name() const { return name_; }
    const QString& sql() const { return sql_; }
    // The connection the next open() reads from (the main one, or the one reports read from).
    void setDatabase(Database& db) { db_ = &db; }
    Database& database() const { return *db_; }
    // Replacing the text of an open dataset closes it.
    void setSql(const QString& statement);

    // QSql::HighPrecision reads numeric columns as their exact decimal text (money that is
    // added up); the default reads them as doubles. Takes effect at the next open.
    void setNumericalPrecisionPolicy(QSql::NumericalPrecisionPolicy precision) { precision_ = precision; }
    QSql::NumericalPrecisionPolicy numericalPrecisionPolicy() const { return precision_; }

    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    const Params& params() const { return params_; }

    void open();
    // Opens with rows read by another statement (one statement serving several lists): the
    // fields in this order, the rows as given. The dataset's own statement is not run; a later
    // reopen() runs it.
    void openWith(const QStringList& fields, QVector<QVector<QVariant>> rows);
    void close();
    bool isActive() const { return active_; }
    // Close and open again, keeping the record number when asked to.
    void reopen(bool keepRecNo = false);

    int recordCount() const { return int(visible_.size()); }
    bool isEmpty() const { return visible_.isEmpty(); }
    // 1-based; 0 on an empty or closed dataset.
    int recNo() const { return current_ + 1; }
    void setRecNo(int recNo);
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return eof_; }
    bool locate(const QString& field, const QVariant& value);

    void setFilter(RowFilter filter);
    void clearFilter() { setFilter({}); }
    bool isFiltered() const { return bool(filter_); }

    bool hasField(const QString& field) const;
    int fieldIndex(const QString& field) const;
    QStringList fieldNames() const { return fields_; }
    FieldValue field(const QString& field) const;
    FieldValue operator[](const QString& field) const { return this->field(field); }
    // The current record as a copy; an empty row when there is none.
    Row currentRow() const;

    // Values of the shown (filtered) row `recIndex` (0-based), for grids.
    QVariant valueAt(int recIndex, int fieldIdx) const;
    // Values of a fetched row regardless of the filter, for filters.
    QVariant rawValue(int row, const QString& field) const;
    // Every fetched row regardless of the filter, its values in fieldNames() order.
    const QVector<QVector<QVariant>>& fetchedRows() const { return rows_; }

signals:
    // The rows or the filter changed (opened, closed, re-read, filtered).
    void rowsReset();
    // The current record moved; recNo is 1-based (0 when none).
    void currentChanged(int recNo);

private:
    void applyFilter();
    void moveTo(int index);

    Database* db_;
    QString name_;
    QString sql_;
    QVector<std::pair<QString, QVariant>> params_;
    QStringList fields_;
    QHash<QString, int> fieldIndex_;
    QVector<QVector<QVariant>> rows_;
    QVector<int> visible_;
    RowFilter filter_;
    QSql::NumericalPrecisionPolicy precision_ = QSql::LowPrecisionDouble;
    int current_ = -1;
    bool active_ = false;
    bool eof_ = true;
};
