#include "version_check.h"

#include "data_module.h"

BuildStamp buildStampOf(const QDateTime& built)
{
    const QDate d = built.date();
    const QTime t = built.time();
    return {d.year() * 10000 + d.month() * 100 + d.day(), t.hour() * 3600 + t.minute() * 60 + t.second()};
}

bool checkVersion(DataModule& dm, BuildStamp stamp)
{
    Database& db = dm.db;
    QSqlQuery ver = db.exec(QStringLiteral("select d, t, delim from accounts_dep.ver limit 1"));
    if (!ver.next())
        throw DbError(QStringLiteral("Таблица accounts_dep.ver пуста."));
    dm.decimalSeparator = ver.value(2).toString();
    const int d = ver.value(0).toInt();
    const int t = ver.value(1).toInt();
    if (d > stamp.date || (d == stamp.date && t > stamp.time))
        return false;
    if (d < stamp.date || t < stamp.time) {
        // Compared again in the statement: another copy may have written a newer stamp meanwhile.
        db.execute(QStringLiteral("update accounts_dep.ver set d=:d, t=:t where d < :d or (d = :d and t < :t)"),
                   {{QStringLiteral("d"), stamp.date}, {QStringLiteral("t"), stamp.time}});
    }
    return true;
}
