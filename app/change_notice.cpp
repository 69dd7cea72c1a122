#include "change_notice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <limits>

namespace {

constexpr int kNoticeVersion = 1;

const DataKind kKinds[] = {DataKind::Entry,    DataKind::Works,         DataKind::Norm,  DataKind::Operation,
                           DataKind::Worker,   DataKind::Product,       DataKind::OperationKind,
                           DataKind::Group,    DataKind::Timesheet,     DataKind::Month};
const ChangeAction kActions[] = {ChangeAction::Add,     ChangeAction::Change, ChangeAction::Delete,
                                 ChangeAction::Accept,  ChangeAction::Rebuild, ChangeAction::Repair,
                                 ChangeAction::Close,   ChangeAction::Open};

QString isoDate(const QDate& date) { return date.toString(Qt::ISODate); }

// A date written as yyyy-MM-dd, and nothing else.
std::optional<QDate> dateOf(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    const QString text = value.toString();
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid() || text.size() != 10)
        return std::nullopt;
    return date;
}

// A whole number in [low, high], and nothing else.
std::optional<int> wholeOf(const QJsonValue& value, int low, int high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != double(qint64(number)) || number < low || number > high)
        return std::nullopt;
    return int(number);
}

template <typename T, std::size_t N, typename Name>
std::optional<T> named(const T (&values)[N], Name nameOf, const QJsonValue& value)
{
    for (const T& v : values)
        if (value.isString() && nameOf(v) == value.toString())
            return v;
    return std::nullopt;
}

} // namespace

QString kindName(DataKind kind)
{
    switch (kind) {
    case DataKind::Entry: return QStringLiteral("entry");
    case DataKind::Works: return QStringLiteral("works");
    case DataKind::Norm: return QStringLiteral("norm");
    case DataKind::Operation: return QStringLiteral("operation");
    case DataKind::Worker: return QStringLiteral("worker");
    case DataKind::Product: return QStringLiteral("product");
    case DataKind::OperationKind: return QStringLiteral("operation_kind");
    case DataKind::Group: return QStringLiteral("group");
    case DataKind::Timesheet: return QStringLiteral("timesheet");
    case DataKind::Month: return QStringLiteral("month");
    }
    return {};
}

bool ChangeNotice::touches(const QDate& date) const
{
    if (days.isEmpty() && !month.isValid())
        return true;
    if (days.contains(date))
        return true;
    return month.isValid() && month.year() == date.year() && month.month() == date.month();
}

bool ChangeNotice::touchesMonth(const QDate& first) const
{
    if (days.isEmpty() && !month.isValid())
        return true;
    if (month.isValid() && month.year() == first.year() && month.month() == first.month())
        return true;
    for (const QDate& day : days)
        if (day.year() == first.year() && day.month() == first.month())
            return true;
    return false;
}

bool ChangeNotice::touchesTimesheetOf(const QDate& first) const
{
    switch (kind) {
    case DataKind::Worker: return true;
    case DataKind::Entry:
    case DataKind::Works:
    case DataKind::Timesheet:
    case DataKind::Month: return touchesMonth(first);
    default: return false;
    }
}

QString noticeHead(const QString& copy, const Change& change)
{
    QJsonArray days;
    for (const QDate& day : change.days)
        if (day.isValid())
            days.append(isoDate(day));
    const QJsonObject head{{QStringLiteral("v"), kNoticeVersion},
                           {QStringLiteral("copy"), copy},
                           {QStringLiteral("kind"), kindName(change.kind)},
                           {QStringLiteral("action"), actionName(change.action)},
                           {QStringLiteral("days"), days},
                           {QStringLiteral("month"), change.month.isValid() ? QJsonValue(isoDate(change.month))
                                                                             : QJsonValue(QJsonValue::Null)},
                           {QStringLiteral("shift"), change.shiftNo},
                           {QStringLiteral("worker"), change.workerId}};
    return QString::fromUtf8(QJsonDocument(head).toJson(QJsonDocument::Compact));
}

std::optional<ChangeNotice> parseNotice(const QString& payload, QString* why)
{
    auto refuse = [why](const QString& reason) -> std::optional<ChangeNotice> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(payload.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(QStringLiteral("not a JSON object"));
    const QJsonObject o = doc.object();
    static const QSet<QString> fields{QStringLiteral("v"),     QStringLiteral("copy"),  QStringLiteral("kind"),
                                      QStringLiteral("action"), QStringLiteral("days"), QStringLiteral("month"),
                                      QStringLiteral("shift"), QStringLiteral("worker"), QStringLiteral("rows"),
                                      QStringLiteral("keys")};
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!fields.contains(it.key()))
            return refuse(QStringLiteral("unknown field \"%1\"").arg(it.key()));
    if (o.size() != fields.size())
        return refuse(QStringLiteral("missing fields"));
    if (wholeOf(o.value(QStringLiteral("v")), kNoticeVersion, kNoticeVersion) == std::nullopt)
        return refuse(QStringLiteral("not version %1").arg(kNoticeVersion));

    ChangeNotice notice;
    const QJsonValue copy = o.value(QStringLiteral("copy"));
    if (!copy.isString() || copy.toString().isEmpty())
        return refuse(QStringLiteral("no sending copy"));
    notice.copy = copy.toString();
    const auto kind = named(kKinds, kindName, o.value(QStringLiteral("kind")));
    const auto action = named(kActions, actionName, o.value(QStringLiteral("action")));
    if (!kind || !action)
        return refuse(QStringLiteral("unknown kind or action"));
    notice.kind = *kind;
    notice.action = *action;
    const QJsonValue days = o.value(QStringLiteral("days"));
    if (!days.isArray())
        return refuse(QStringLiteral("days are not a list"));
    for (const QJsonValue& day : days.toArray()) {
        const auto date = dateOf(day);
        if (!date)
            return refuse(QStringLiteral("a day is not a date"));
        notice.days << *date;
    }
    const QJsonValue month = o.value(QStringLiteral("month"));
    if (!month.isNull()) {
        const auto first = dateOf(month);
        if (!first || first->day() != 1)
            return refuse(QStringLiteral("the month is not a month's first day"));
        notice.month = *first;
    }
    const auto shift = wholeOf(o.value(QStringLiteral("shift")), 0, 4);
    const auto worker = wholeOf(o.value(QStringLiteral("worker")), 0, std::numeric_limits<int>::max());
    const auto rows = wholeOf(o.value(QStringLiteral("rows")), 1, std::numeric_limits<int>::max());
    if (!shift || !worker || !rows)
        return refuse(QStringLiteral("shift, worker or rows out of range"));
    notice.shiftNo = *shift;
    notice.workerId = *worker;
    notice.rows = *rows;
    const QJsonValue keys = o.value(QStringLiteral("keys"));
    if (!keys.isNull()) {
        if (!keys.isArray())
            return refuse(QStringLiteral("keys are not a list"));
        for (const QJsonValue& key : keys.toArray()) {
            if (!key.isObject())
                return refuse(QStringLiteral("a key is not an object"));
            notice.keys << QString::fromUtf8(QJsonDocument(key.toObject()).toJson(QJsonDocument::Compact));
        }
    }
    return notice;
}
