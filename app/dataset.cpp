#include "dataset.h"

#include <QLocale>
#include <QSqlRecord>

namespace {

void setInto(Params& params, const QString& name, const QVariant& value)
{
    for (auto& p : params)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    params.push_back({name, value});
}

QString folded(const QVariant& v) { return v.toString().toUpper(); }

} // namespace

namespace filters {

RowFilter startsWith(const QString& field, const QString& text)
{
    const QString needle = text.toUpper();
    return [field, needle](const Dataset& ds, int row) {
        return folded(ds.rawValue(row, field)).startsWith(needle);
    };
}

RowFilter contains(const QString& field, const QString& text)
{
    const QString needle = text.toUpper();
    return [field, needle](const Dataset& ds, int row) {
        return folded(ds.rawValue(row, field)).contains(needle);
    };
}

RowFilter equals(const QString& field, const QVariant& value)
{
    return [field, value](const Dataset& ds, int row) {
        const QVariant v = ds.rawValue(row, field);
        if (value.typeId() == QMetaType::QString)
            return folded(v).trimmed() == folded(value).trimmed();
        return v == value || (!v.isNull() && v.toString() == value.toString());
    };
}

} // namespace filters

QString displayText(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd.MM.yyyy"))
                                        : dt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    case QMetaType::Double:
    case QMetaType::Float: return QLocale().toString(value.toDouble(), 'g', 15);
    default: return value.toString();
    }
}

namespace {

// The index of a field name in a map of lower-case names: names written in lower case (nearly
// all of them) are found without folding a copy.
int indexOf(const QHash<QString, int>& index, const QString& name)
{
    if (const auto it = index.constFind(name); it != index.cend())
        return *it;
    return index.value(name.toLower(), -1);
}

} // namespace

FieldValue Row::field(const QString& name) const
{
    const int idx = indexOf(index_, name);
    return FieldValue(idx < 0 ? QVariant() : values_[idx]);
}

Row Row::of(const QVector<std::pair<QString, QVariant>>& values)
{
    Row row;
    for (const auto& [name, value] : values) {
        row.index_.insert(name.toLower(), int(row.values_.size()));
        row.values_.push_back(value);
    }
    return row;
}

Row Row::fromQuery(const QSqlQuery& query)
{
    Row row;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        row.index_.insert(record.fieldName(i).toLower(), i);
        row.values_.push_back(query.value(i));
    }
    return row;
}

namespace {

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    const auto isDate = [](const QVariant& v) {
        return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime;
    };
    if (isDate(a) || isDate(b))
        return FieldValue(a).asDate() == FieldValue(b).asDate();
    bool numberA = false, numberB = false;
    const double x = a.toString().trimmed().toDouble(&numberA);
    const double y = b.toString().trimmed().toDouble(&numberB);
    if (numberA && numberB)
        return x == y;
    auto text = [](const QVariant& v) {
        QString t = v.toString();
        while (t.endsWith(u' '))
            t.chop(1);
        return t;
    };
    return text(a) == text(b);
}

} // namespace

bool Row::sameAs(const Row& other, const QStringList& fields) const
{
    for (const QString& f : fields)
        if (!sameValue(field(f).value(), other.field(f).value()))
            return false;
    return true;
}

std::optional<Row> firstRow(Database& db, const QString& statement, const Params& params)
{
    QSqlQuery query = db.exec(statement, params);
    if (!query.next())
        return std::nullopt;
    return Row::fromQuery(query);
}

QString FieldValue::asString() const
{
    if (isNull())
        return {};
    if (value_.typeId() == QMetaType::QDate)
        return value_.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    if (value_.typeId() == QMetaType::QDateTime)
        return value_.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    return value_.toString();
}

int FieldValue::asInteger() const
{
    if (isNull())
        return 0;
    bool ok = false;
    const int i = value_.toInt(&ok);
    return ok ? i : int(qRound64(value_.toDouble()));
}

QDate FieldValue::asDate() const
{
    if (value_.typeId() == QMetaType::QDate)
        return value_.toDate();
    if (value_.typeId() == QMetaType::QDateTime)
        return value_.toDateTime().date();
    const QString text = value_.toString().trimmed();
    QDate d = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
    return d.isValid() ? d : QDate::fromString(text, Qt::ISODate);
}

Dataset::Dataset(Database& db, QString name, QString statement, QObject* parent)
    : QObject(parent), db_(&db), name_(std::move(name)), sql_(std::move(statement))
{
    setObjectName(name_);
}

void Dataset::setSql(const QString& statement)
{
    close();
    sql_ = statement;
}

void Dataset::setParam(const QString& name, const QVariant& value) { setInto(params_, name, value); }

QVariant Dataset::param(const QString& name) const
{
    for (const auto& p : params_)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0)
            return p.second;
    return {};
}

void Dataset::open()
{
    if (active_)
        return;
    QSqlQuery query = db_->exec(sql_, params_, precision_);
    const QSqlRecord record = query.record();
    fields_.clear();
    fieldIndex_.clear();
    for (int i = 0; i < record.count(); ++i) {
        fields_ << record.fieldName(i);
        fieldIndex_.insert(record.fieldName(i).toLower(), i);
    }
    rows_.clear();
    while (query.next()) {
        QVector<QVariant> row(record.count());
        for (int i = 0; i < record.count(); ++i)
            row[i] = query.value(i);
        rows_.push_back(std::move(row));
    }
    active_ = true;
    applyFilter();
}

void Dataset::openWith(const QStringList& fields, QVector<QVector<QVariant>> rows)
{
    close();
    fields_ = fields;
    fieldIndex_.clear();
    for (int i = 0; i < fields_.size(); ++i)
        fieldIndex_.insert(fields_[i].toLower(), i);
    rows_ = std::move(rows);
    active_ = true;
    applyFilter();
}

void Dataset::close()
{
    if (!active_)
        return;
    active_ = false;
    rows_.clear();
    visible_.clear();
    current_ = -1;
    eof_ = true;
    emit rowsReset();
    emit currentChanged(0);
}

void Dataset::reopen(bool keepRecNo)
{
    const int remembered = recNo();
    close();
    open();
    if (keepRecNo)
        setRecNo(remembered);
}

void Dataset::applyFilter()
{
    visible_.clear();
    for (int i = 0; i < rows_.size(); ++i)
        if (!filter_ || filter_(*this, i))
            visible_.push_back(i);
    current_ = visible_.isEmpty() ? -1 : 0;
    eof_ = visible_.isEmpty();
    emit rowsReset();
    emit currentChanged(recNo());
}

void Dataset::setFilter(RowFilter filter)
{
    filter_ = std::move(filter);
    if (active_)
        applyFilter();
}

void Dataset::moveTo(int index)
{
    if (visible_.isEmpty()) {
        eof_ = true;
        return;
    }
    eof_ = index >= visible_.size();
    const int clamped = std::clamp(index, 0, int(visible_.size()) - 1);
    if (clamped == current_)
        return;
    current_ = clamped;
    emit currentChanged(recNo());
}

void Dataset::setRecNo(int recNo) { moveTo(std::clamp(recNo, 1, std::max(1, recordCount())) - 1); }
void Dataset::first() { moveTo(0); }
void Dataset::last() { moveTo(recordCount() - 1); }
void Dataset::next() { moveTo(current_ + 1); }
void Dataset::prior() { moveTo(std::max(0, current_ - 1)); }

bool Dataset::locate(const QString& field, const QVariant& value)
{
    const int idx = fieldIndex(field);
    if (idx < 0)
        return false;
    for (int i = 0; i < visible_.size(); ++i) {
        const QVariant& v = rows_[visible_[i]][idx];
        if (v == value || (!v.isNull() && v.toString().trimmed() == value.toString().trimmed())) {
            moveTo(i);
            return true;
        }
    }
    return false;
}

bool Dataset::hasField(const QString& field) const { return fieldIndex(field) >= 0; }

int Dataset::fieldIndex(const QString& field) const
{
    // A name as the statement spells it is found by comparing (reports ask for fields on every
    // line, and a short scan costs less than hashing); the last of equal names wins, as in the map.
    for (qsizetype i = fields_.size() - 1; i >= 0; --i)
        if (fields_[i] == field)
            return int(i);
    return indexOf(fieldIndex_, field);
}

FieldValue Dataset::field(const QString& field) const
{
    const int idx = fieldIndex(field);
    if (!active_ || current_ < 0 || idx < 0)
        return FieldValue(QVariant());
    return FieldValue(rows_[visible_[current_]][idx]);
}

Row Dataset::currentRow() const
{
    Row row;
    if (!active_ || current_ < 0)
        return row;
    row.index_ = fieldIndex_;
    row.values_ = rows_[visible_[current_]];
    return row;
}

QVariant Dataset::valueAt(int recIndex, int fieldIdx) const
{
    if (recIndex < 0 || recIndex >= visible_.size() || fieldIdx < 0 || fieldIdx >= fields_.size())
        return {};
    return rows_[visible_[recIndex]][fieldIdx];
}

QVariant Dataset::rawValue(int row, const QString& field) const
{
    const int idx = fieldIndex(field);
    return (row >= 0 && row < rows_.size() && idx >= 0) ? rows_[row][idx] : QVariant();
}
