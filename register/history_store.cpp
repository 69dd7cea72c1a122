#include "history_store.h"

#include "database.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

using Captions = QVector<std::pair<QString, QString>>;

// The columns a window shows of each table, in its order, with their captions; the others (keys,
// bookkeeping) are left out. A table not listed here shows every column by its name.
const Captions* captionsOf(const QString& table)
{
    static const QHash<QString, Captions> tables{
        {QStringLiteral("accounts_dep.smena"),
         {{"w_id", "Рабочий"}, {"i_id", "Изделие"}, {"o_id", "Операция"}, {"data", "Дата"}, {"smena", "Смена"},
          {"kol_vo", "Кол-во"}, {"brak", "Брак"}, {"time", "Часы"}, {"cena", "Цена"}, {"color", "Цвет"},
          {"ok", "OK"}, {"prize", "Премия"}, {"vvod", "Заведен"}}},
        {QStringLiteral("accounts_dep.fatigue"),
         {{"id_p", "Рабочий"}, {"id_nom", "Номенклатура"}, {"id_o", "Вид работ"}, {"d_date", "Дата"},
          {"cnt", "Часы"}, {"price", "Цена"}, {"i_holiday", "Выходной"}, {"i_night", "Ночные"}}},
        {QStringLiteral("accounts_dep.norm"),
         {{"o_id", "Операция"}, {"norma", "Норматив"}, {"price", "Цена"}, {"prize", "Премия"}}},
        {QStringLiteral("accounts_dep.oper"),
         {{"vid", "Вид операции"}, {"naimen", "Вид"}, {"i_id", "Изделие"}, {"cena_new", "Цена"}}},
        {QStringLiteral("accounts_dep.person"), {{"fio", "ФИО"}, {"s_staffpos_hl", "Должность"}}},
        {QStringLiteral("cmn_gds_and_srv.gds_and_srv"),
         {{"s_caption", "Марка"}, {"massa", "Расценка"}, {"id_class_item", "Ном. группа"}}},
        {QStringLiteral("accounts_dep.vid_oper"), {{"vid", "Вид операции"}}},
        {QStringLiteral("cmn_classifier.item"), {{"s_caption", "Наименование"}}},
        {QStringLiteral("tabel.closed_month"),
         {{"year", "Год"}, {"month", "Месяц"}, {"closed_at", "Закрыт"}, {"closed_by", "Кем закрыт"},
          {"reason", "Причина открытия"}}},
    };
    const auto found = tables.constFind(table);
    return found == tables.constEnd() ? nullptr : &*found;
}

// A stored value as a window shows it: dates as dd.MM.yyyy, times to the minute, numbers with a
// decimal comma, texts without their padding.
QString shownValue(const QJsonValue& value)
{
    static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    static const QRegularExpression dateTime(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}"));
    switch (value.type()) {
    case QJsonValue::Double:
        return displayText(value.toDouble());
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("да") : QStringLiteral("нет");
    case QJsonValue::String: {
        const QString text = value.toString().trimmed();
        if (date.match(text).hasMatch())
            return QDate::fromString(text, Qt::ISODate).toString(QStringLiteral("dd.MM.yyyy"));
        if (dateTime.match(text).hasMatch())
            return QDateTime::fromString(text.left(19), Qt::ISODate).toString(QStringLiteral("dd.MM.yyyy hh:mm"));
        return text;
    }
    default:
        return {};
    }
}

QJsonValue parsed(const QVariant& text)
{
    if (text.isNull())
        return QJsonValue::Null;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toString().toUtf8());
    if (doc.isArray())
        return doc.array();
    if (doc.isObject())
        return doc.object();
    return QJsonValue::Null;
}

const QString kLoggedColumns = QStringLiteral(
    "l.id, l.at, l.login_role, l.os_user, l.host, l.action, l.table_name, l.old_row::text as old_row, "
    "l.new_row::text as new_row");

// The worker a history row is of: the register's and the works' worker, or the worker record.
const QString kWorkerOf = QStringLiteral(
    "case l.table_name when 'accounts_dep.smena' then coalesce(l.new_row->>'w_id', l.old_row->>'w_id')"
    " when 'accounts_dep.fatigue' then coalesce(l.new_row->>'id_p', l.old_row->>'id_p')"
    " when 'accounts_dep.person' then l.row_key->>'id' end");

QString journalConditions(const JournalFilter& filter)
{
    QStringList conditions{QStringLiteral("l.at >= :from and l.at < :to")};
    if (filter.workerId > 0)
        conditions << QStringLiteral(
            "(l.new_row->>'w_id' = :worker or l.old_row->>'w_id' = :worker or l.new_row->>'id_p' = :worker"
            " or l.old_row->>'id_p' = :worker or (l.table_name = 'accounts_dep.person' and l.row_key->>'id' = :worker))");
    if (!filter.table.isEmpty())
        conditions << QStringLiteral("l.table_name = :table");
    if (!filter.action.isEmpty())
        conditions << QStringLiteral("l.action = :action");
    return conditions.join(QStringLiteral(" and "));
}

} // namespace

QString changeTimeText(const QVariant& at)
{
    if (at.isNull())
        return {};
    // The journal reads the time as seconds since the epoch: converting each row's time stamp
    // text into a date and time costs more than the statement itself on a month's changes.
    const QDateTime time = at.typeId() == QMetaType::QDateTime
                               ? at.toDateTime()
                               : QDateTime::fromMSecsSinceEpoch(qRound64(at.toDouble() * 1000));
    return time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

QString roleCaption(const QString& role)
{
    static const QHash<QString, QString> captions{{"full", "Полные права"},
                                                  {"viewer", "Просмотр"},
                                                  {"foremen", "Мастер"},
                                                  {"warehouse", "Склад"}};
    return captions.value(role, role);
}

const QStringList& loggedActions()
{
    static const QStringList actions{"add", "change", "delete", "accept", "rebuild", "repair", "close", "open"};
    return actions;
}

QString actionCaption(const QString& action)
{
    static const QHash<QString, QString> captions{
        {"add", "Добавление"},  {"change", "Изменение"},         {"delete", "Удаление"},
        {"accept", "Приёмка"},  {"rebuild", "Перестроение"},     {"repair", "Исправление"},
        {"close", "Закрытие месяца"}, {"open", "Открытие месяца"}};
    return captions.value(action, action);
}

const QStringList& loggedTables()
{
    static const QStringList tables{"accounts_dep.smena",  "accounts_dep.fatigue",        "accounts_dep.h_tabel",
                                    "accounts_dep.norm",   "accounts_dep.oper",           "accounts_dep.person",
                                    "cmn_gds_and_srv.gds_and_srv", "accounts_dep.vid_oper", "cmn_classifier.item",
                                    "tabel.closed_month"};
    return tables;
}

QString tableCaption(const QString& table)
{
    static const QHash<QString, QString> captions{
        {"accounts_dep.smena", "Позиция"},        {"accounts_dep.fatigue", "Хоз. работы"},
        {"accounts_dep.h_tabel", "Табель"},       {"accounts_dep.norm", "Норма"},
        {"accounts_dep.oper", "Операция"},        {"accounts_dep.person", "Рабочий"},
        {"cmn_gds_and_srv.gds_and_srv", "Изделие"}, {"accounts_dep.vid_oper", "Вид операции"},
        {"cmn_classifier.item", "Ном. группа"},   {"tabel.closed_month", "Месяц"}};
    return captions.value(table, table);
}

QVector<FieldChange> changedFields(const QString& table, const QJsonValue& before, const QJsonValue& after)
{
    if (before.isArray() || after.isArray())
        return {{QStringLiteral("Строк"), before.isArray() ? QString::number(before.toArray().size()) : QString(),
                 after.isArray() ? QString::number(after.toArray().size()) : QString()}};
    const QJsonObject was = before.toObject();
    const QJsonObject is = after.toObject();
    Captions columns;
    if (const Captions* known = captionsOf(table)) {
        columns = *known;
    } else {
        QStringList names = was.keys() + is.keys();
        names.sort();
        names.removeDuplicates();
        for (const QString& name : names)
            columns.push_back({name, name});
    }
    QVector<FieldChange> changes;
    for (const auto& [column, caption] : columns) {
        const QString old = shownValue(was.value(column));
        const QString now = shownValue(is.value(column));
        if (old != now)
            changes.push_back({caption, old, now});
    }
    return changes;
}

QString changesText(const LoggedChange& change)
{
    QStringList parts;
    for (const FieldChange& f : changedFields(change.table, change.before, change.after))
        parts << QStringLiteral("%1: %2 → %3").arg(f.field, f.before, f.after);
    return parts.join(QStringLiteral("; "));
}

QStringList historyLineFields()
{
    return {"at", "role", "os_user", "host", "action", "field", "before", "after"};
}

QVector<QVector<QVariant>> historyLines(const QVector<LoggedChange>& changes)
{
    QVector<QVector<QVariant>> lines;
    for (const LoggedChange& c : changes) {
        QVector<FieldChange> fields = changedFields(c.table, c.before, c.after);
        if (fields.isEmpty())
            fields.push_back({});
        bool first = true;
        for (const FieldChange& f : fields) {
            if (first)
                lines.push_back({c.at, roleCaption(c.role), c.osUser, c.host, actionCaption(c.action), f.field,
                                 f.before, f.after});
            else
                lines.push_back({QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), f.field, f.before, f.after});
            first = false;
        }
    }
    return lines;
}

QVector<LoggedChange> HistoryStore::read(const QString& statement, const Params& params)
{
    QSqlQuery q = db_.exec(statement, params);
    QVector<LoggedChange> changes;
    while (q.next())
        changes.push_back({q.value(0).toLongLong(), q.value(1).toDateTime(), q.value(2).toString(), q.value(3).toString(),
                           q.value(4).toString(), q.value(5).toString(), q.value(6).toString(), parsed(q.value(7)),
                           parsed(q.value(8))});
    return changes;
}

QVector<LoggedChange> HistoryStore::ofRow(const QString& table, int id)
{
    return read(QStringLiteral("select %1 from tabel.change_log l where l.table_name = :table "
                               "and l.row_key = jsonb_build_object('id', :id) order by l.id")
                    .arg(kLoggedColumns),
                {{QStringLiteral("table"), table}, {QStringLiteral("id"), id}});
}

QVector<LoggedChange> HistoryStore::ofJournal(const JournalFilter& filter)
{
    return read(QStringLiteral("select %1 from tabel.change_log l where %2 order by l.at, l.id")
                    .arg(kLoggedColumns, journalConditions(filter)),
                journalParams(filter));
}

LoggedChange HistoryStore::change(qint64 id)
{
    return read(QStringLiteral("select %1 from tabel.change_log l where l.id = :id").arg(kLoggedColumns),
                {{QStringLiteral("id"), id}})
        .value(0);
}

QString HistoryStore::journalStatement(const JournalFilter& filter)
{
    // In the order of the index on (at, id): no sort, and no join (the window names the workers).
    return QStringLiteral("select l.id, extract(epoch from l.at)::float8 as at, l.login_role, l.os_user, l.host,"
                          " l.action, l.table_name, l.row_key->>'id' as row, (%1)::numeric::integer as worker,"
                          " coalesce(l.new_row->>'data', l.old_row->>'data', l.new_row->>'d_date',"
                          " l.old_row->>'d_date')::date as day"
                          " from tabel.change_log l where %2 order by l.at, l.id")
        .arg(kWorkerOf, journalConditions(filter));
}

Params HistoryStore::journalParams(const JournalFilter& filter)
{
    return {{QStringLiteral("from"), filter.from},
            {QStringLiteral("to"), filter.to.addDays(1)},
            {QStringLiteral("worker"), QString::number(filter.workerId)},
            {QStringLiteral("table"), filter.table},
            {QStringLiteral("action"), filter.action}};
}
