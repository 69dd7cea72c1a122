#include "month_close_store.h"

#include "database.h"
#include "lock_keys.h"
#include "text_rules.h"

namespace {

const QString kMonthKey = QStringLiteral("jsonb_build_object('year', t.year, 'month', t.month) as row_key");
int changesMade_ = 0;

} // namespace

QString MonthCloseStore::monthText(TimesheetMonth month)
{
    return month.first().toString(QStringLiteral("MM.yyyy"));
}

std::optional<MonthClose> MonthCloseStore::closeOf(TimesheetMonth month)
{
    if (!historyAvailable(db_))
        return std::nullopt;
    const std::optional<Row> row =
        firstRow(db_, QStringLiteral("select closed_at, closed_by from tabel.closed_month where year=:year and month=:month"),
                 {{QStringLiteral("year"), month.year}, {QStringLiteral("month"), month.month}});
    if (!row)
        return std::nullopt;
    return MonthClose{(*row)[QStringLiteral("closed_at")].asDateTime(), (*row)[QStringLiteral("closed_by")].asString()};
}

Outcome MonthCloseStore::admit() const
{
    if (Outcome allowed = db_.permits(Command::CloseMonth); !allowed)
        return allowed;
    if (!historyAvailable(db_))
        return Outcome::refused(historyUnavailableReason(db_));
    return Outcome::done();
}

Outcome MonthCloseStore::close(TimesheetMonth month)
{
    if (Outcome admitted = admit(); !admitted)
        return admitted;
    return write(month, ChangeAction::Close,
                 QStringLiteral("insert into tabel.closed_month as t(year, month, closed_at, closed_by) "
                                "values(:year, :month, now(), :by) on conflict do nothing "
                                "returning %1, null::jsonb as old_row, to_jsonb(t) as new_row")
                     .arg(kMonthKey),
                 {{QStringLiteral("by"), thisWorkplace()}}, QStringLiteral("Месяц %1 уже закрыт."));
}

Outcome MonthCloseStore::open(TimesheetMonth month, const QString& reason)
{
    if (Outcome admitted = admit(); !admitted)
        return admitted;
    const QString why = reason.trimmed();
    if (why.isEmpty())
        return Outcome::refused(QStringLiteral("Укажите причину открытия месяца."));
    if (Outcome valid = checkText(why, QStringLiteral("Причина"), 1000); !valid)
        return valid;
    return write(month, ChangeAction::Open,
                 QStringLiteral("delete from tabel.closed_month t where year=:year and month=:month "
                                "returning %1, to_jsonb(t) as old_row, jsonb_build_object('reason', :reason) as new_row")
                     .arg(kMonthKey),
                 {{QStringLiteral("reason"), why}}, QStringLiteral("Месяц %1 не закрыт."));
}

Outcome MonthCloseStore::write(TimesheetMonth month, ChangeAction action, const QString& rows, const Params& params,
                               const QString& notDone)
{
    Params all = params;
    all += Params{{QStringLiteral("year"), month.year}, {QStringLiteral("month"), month.month}};
    Transaction tx(db_);
    // Exclusive: the month's writers hold it shared until they commit.
    db_.lockKey(lock_keys::timesheetMonth(month.month, month.year));
    Change change{.kind = DataKind::Month,
                  .action = action,
                  .table = QStringLiteral("tabel.closed_month"),
                  .month = month.first()};
    QVector<Row> written;
    if (Outcome applied = applyChange(db_, change, {.rows = rows, .params = all}, &written); !applied)
        return applied;
    if (written.isEmpty())
        return Outcome::refused(notDone.arg(monthText(month)));
    tx.commit();
    ++changesMade_;
    return Outcome::done();
}

int MonthCloseStore::changesMade() { return changesMade_; }
