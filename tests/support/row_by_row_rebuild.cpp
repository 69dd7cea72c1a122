#include "row_by_row_rebuild.h"

#include <QSqlQuery>

namespace {

struct Family {
    QString remove;
    QString day;     // the day's records grouped: key columns and "tim"
    QString count;   // the rows of one key in the month
    QString update;  // %1: the day's column
    QString insert;  // %1: the day's column
};

const Family& family(MonthRows rows)
{
    static const Family works{
        QStringLiteral("delete from accounts_dep.h_tabel where smena=0 and month=:month and year=:year"),
        QStringLiteral("select f.id_p, f.id_o, f.i_night, sum(f.cnt) as tim from accounts_dep.fatigue f "
                       "where f.d_date=:data group by f.id_p, f.id_o, f.i_night order by id_p"),
        QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel h_tabel where w_id=:w_id and "
                       "i_type=:id_o and i_night=:i_night and month=:month and year=:year"),
        QStringLiteral("update accounts_dep.h_tabel set %1=:tim where w_id=:w_id and i_type=:id_o and "
                       "i_night=:i_night and month=:month and year=:year"),
        QStringLiteral("insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, %1) "
                       "values(:id_o, :w_id, :i_night, :month, :year, :tim)")};
    static const Family pieceWork{
        QStringLiteral("delete from accounts_dep.h_tabel where smena>0 and month=:month and year=:year"),
        QStringLiteral("select smena, w_id, sum(time) as tim from accounts_dep.smena where data=:data "
                       "group by smena, w_id"),
        QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel h_tabel where w_id=:w_id and "
                       "smena=:smena and month=:month and year=:year"),
        QStringLiteral("update accounts_dep.h_tabel set %1=:tim where w_id=:w_id and smena=:smena and "
                       "month=:month and year=:year"),
        QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, %1) "
                       "values(:smena, :w_id, :month, :year, :tim)")};
    return rows == MonthRows::Works ? works : pieceWork;
}

} // namespace

int rebuildMonthRowByRow(Database& db, MonthRows rows, TimesheetMonth month)
{
    const Family& f = family(rows);
    const Params monthParams{{QStringLiteral("month"), month.month}, {QStringLiteral("year"), month.year}};
    int statements = 1;
    db.execute(f.remove, monthParams);
    for (int day = 1; day <= month.days(); ++day) {
        const QString column = QStringLiteral("d%1").arg(day);
        QSqlQuery dt = db.exec(f.day, {{QStringLiteral("data"), QDate(month.year, month.month, day)}});
        ++statements;
        // The day's rows are read first: the statements below run on the same connection.
        QVector<Params> keys;
        while (dt.next()) {
            Params key = monthParams;
            if (rows == MonthRows::Works)
                key += Params{{QStringLiteral("w_id"), dt.value(0)},
                              {QStringLiteral("id_o"), dt.value(1)},
                              {QStringLiteral("i_night"), dt.value(2)},
                              {QStringLiteral("tim"), dt.value(3)}};
            else
                key += Params{{QStringLiteral("smena"), dt.value(0)},
                              {QStringLiteral("w_id"), dt.value(1)},
                              {QStringLiteral("tim"), dt.value(2)}};
            keys << key;
        }
        for (const Params& key : keys) {
            const int count = db.scalar(f.count, key).toInt();
            db.execute((count != 0 ? f.update : f.insert).arg(column), key);
            statements += 2;
        }
    }
    return statements;
}

QStringList monthRowsText(Database& db, MonthRows rows, TimesheetMonth month)
{
    QStringList days;
    for (int k = 1; k <= 31; ++k)
        days << QStringLiteral("coalesce(d%1::text, '-')").arg(k);
    QSqlQuery q = db.exec(QStringLiteral("select concat_ws(' ', w_id, smena, i_type, i_night, %1) from accounts_dep.h_tabel "
                                         "where %2 and month=:month and year=:year")
                              .arg(days.join(QStringLiteral(", ")),
                                   rows == MonthRows::Works ? QStringLiteral("smena=0") : QStringLiteral("smena>0")),
                          {{QStringLiteral("month"), month.month}, {QStringLiteral("year"), month.year}});
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    out.sort();
    return out;
}
