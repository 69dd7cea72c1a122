#include "change_seam.h"

#include "change_notice.h"
#include "db_messages.h"
#include "lock_keys.h"

#include <QSysInfo>
#include <stdexcept>

namespace {

// The SQLSTATE of tabel.refuse_closed_month (db/tabel.sql).
const QString kClosedMonthState = QStringLiteral("TB001");

QVariant textOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

const QString& computerUser()
{
    // USER and LOGNAME on Linux, USERNAME on Windows.
    static const QString user = [] {
        for (const char* variable : {"USER", "LOGNAME", "USERNAME"})
            if (const QString name = qEnvironmentVariable(variable); !name.isEmpty())
                return name;
        return QString();
    }();
    return user;
}

const QString& computerName()
{
    static const QString host = QSysInfo::machineHostName();
    return host;
}

// Who writes and what, as the history row records it.
Params historyParams(const Database& db, const Change& change)
{
    if (!db.loginRole)
        throw std::logic_error("a write without a login");
    return {{QStringLiteral("log_role"), roleName(*db.loginRole)},
            {QStringLiteral("log_os_user"), textOrNull(computerUser())},
            {QStringLiteral("log_host"), textOrNull(computerName())},
            {QStringLiteral("log_build"), textOrNull(db.build)},
            {QStringLiteral("log_action"), actionName(change.action)},
            {QStringLiteral("log_table"), change.table},
            {QStringLiteral("log_month"), change.month}};
}

// The check of one date (an SQL expression) against the closed months.
QString monthCheck(const QString& date)
{
    return QStringLiteral("tabel.refuse_closed_month(%1, %2)")
        .arg(date, Database::lockNumber(lock_keys::timesheetMonthSql(date)));
}

// The checks of the written rows' months: both sides of the date column, or the change's month.
// Closing and opening a month write no data of it.
QStringList monthChecks(const Change& change)
{
    QStringList checks;
    if (change.action == ChangeAction::Close || change.action == ChangeAction::Open)
        return checks;
    // An add has no row before, a delete none after.
    QStringList sides;
    if (change.action != ChangeAction::Add)
        sides << QStringLiteral("old_row");
    if (change.action != ChangeAction::Delete)
        sides << QStringLiteral("new_row");
    if (!change.dateColumn.isEmpty())
        for (const QString& side : sides)
            checks << monthCheck(QStringLiteral("(changed.%1->>'%2')::date").arg(side, change.dateColumn));
    if (change.month.isValid())
        checks << monthCheck(QStringLiteral(":log_month::date"));
    return checks;
}

QString statementOf(const Change& change, const Write& write, bool history)
{
    QStringList with;
    if (!write.with.isEmpty())
        with << write.with;
    with << QStringLiteral("changed as (%1)").arg(write.rows);
    QStringList select{QStringLiteral("changed.row_key::text as row_key")};
    if (!write.readBack.isEmpty())
        select << write.readBack;
    if (!write.then.isEmpty())
        select << write.then;
    // The other copies are told once, when something was written: the value is computed for
    // the first row returned, and with it the notification is queued to go out at the commit.
    select << QStringLiteral("(select pg_notify('%1', (:live_notice::jsonb || jsonb_build_object('rows', count(*), "
                             "'keys', case when count(*) <= %2 then jsonb_agg(row_key) end))::text) from changed) "
                             "as notified")
                  .arg(QLatin1String(kChangeChannel))
                  .arg(kNoticeKeysAtMost);
    if (history) {
        with << QStringLiteral(
            "logged as (insert into tabel.change_log(login_role, os_user, host, build, action, table_name, row_key, "
            "old_row, new_row) select :log_role, :log_os_user, :log_host, :log_build, :log_action, :log_table, "
            "row_key, old_row, new_row from changed)");
        select << monthChecks(change);
    }
    return QStringLiteral("with %1 select %2 from changed")
        .arg(with.join(QStringLiteral(",\n")), select.join(QStringLiteral(", ")));
}

} // namespace

QString actionName(ChangeAction action)
{
    switch (action) {
    case ChangeAction::Add: return QStringLiteral("add");
    case ChangeAction::Change: return QStringLiteral("change");
    case ChangeAction::Delete: return QStringLiteral("delete");
    case ChangeAction::Accept: return QStringLiteral("accept");
    case ChangeAction::Rebuild: return QStringLiteral("rebuild");
    case ChangeAction::Repair: return QStringLiteral("repair");
    case ChangeAction::Close: return QStringLiteral("close");
    case ChangeAction::Open: return QStringLiteral("open");
    }
    return {};
}

QString roleName(Role role)
{
    switch (role) {
    case Role::FullRights: return QStringLiteral("full");
    case Role::Viewer: return QStringLiteral("viewer");
    case Role::Foremen: return QStringLiteral("foremen");
    case Role::Warehouse: return QStringLiteral("warehouse");
    }
    return {};
}

Outcome applyChange(Database& db, Change& change, const Write& write, QVector<Row>* readBack)
{
    const bool history = historyAvailable(db);
    Params params = write.params;
    params.push_back({QStringLiteral("live_notice"), noticeHead(db.copyId(), change)});
    if (history)
        params += historyParams(db, change);
    QSqlQuery query;
    try {
        query = db.exec(statementOf(change, write, history), params);
    } catch (const DbError& e) {
        if (e.sqlState() == kClosedMonthState)
            return Outcome::refused(userMessage(e));
        throw;
    }
    change.keys.clear();
    while (query.next()) {
        change.keys << query.value(0).toString();
        if (readBack)
            readBack->push_back(Row::fromQuery(query));
    }
    return Outcome::done();
}

Outcome applyRowChange(Database& db, DataKind kind, ChangeAction action, const QString& table, const QString& rows,
                       const Params& params, QVector<Row>* readBack)
{
    Change change{.kind = kind, .action = action, .table = table};
    return applyChange(db, change, {.rows = rows, .params = params, .readBack = QStringLiteral("id")}, readBack);
}

QString thisWorkplace() { return computerUser().isEmpty() ? computerName() : computerUser() + u'@' + computerName(); }

bool historyAvailable(const Database& db)
{
    return db.ownSchema().steps >= kOwnSchemaSteps && db.ownSchema().permitted;
}

QString historyUnavailableReason(const Database& db)
{
    const Database::OwnSchema& own = db.ownSchema();
    if (own.steps == 0)
        return QStringLiteral("В базе данных нет схемы tabel программы (db/tabel.sql): история изменений и "
                              "закрытие месяцев недоступны.");
    if (own.steps < kOwnSchemaSteps)
        return QStringLiteral("Схема tabel в базе данных старее программы (шаг %1 из %2): примените db/tabel.sql.")
            .arg(own.steps)
            .arg(kOwnSchemaSteps);
    if (!own.permitted)
        return QStringLiteral("Нет прав на схему tabel: история изменений и закрытие месяцев недоступны.");
    return {};
}

namespace rowWrite {

QString added(const QString& row)
{
    return QStringLiteral("jsonb_build_object('id', %1.id) as row_key, null::jsonb as old_row, to_jsonb(%1) as new_row,"
                          " %1.id")
        .arg(row);
}

QString deleted(const QString& row)
{
    return QStringLiteral("jsonb_build_object('id', %1.id) as row_key, to_jsonb(%1) as old_row, null::jsonb as new_row,"
                          " %1.id")
        .arg(row);
}

QString insert(const QString& table, const QString& columns, const QString& values)
{
    return QStringLiteral("insert into %1 as t(%2) values(%3) returning ").arg(table, columns, values)
           + added(QStringLiteral("t"));
}

QString updateById(const QString& table, const QString& assignments, const QString& condition)
{
    return QStringLiteral("update %1 t set %2 from (select * from %1 where id=:id for update) was"
                          " where t.id=was.id and %3"
                          " returning jsonb_build_object('id', t.id) as row_key, to_jsonb(was) as old_row,"
                          " to_jsonb(t) as new_row, t.id")
        .arg(table, assignments, condition);
}

QString deleteById(const QString& table)
{
    return QStringLiteral("delete from %1 t where id=:id returning ").arg(table) + deleted(QStringLiteral("t"));
}

} // namespace rowWrite
