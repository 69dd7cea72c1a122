#include "timesheet_cell.h"

#include "data_module.h"
#include "sql_text.h"

void updateDayCell(TDataModule6& dm, int workerId, int shiftNo, const QDate& date, bool createRow)
{
    const QString row = QStringLiteral("w_id=%1 and smena=%2 and month=%3 and year=%4")
                            .arg(workerId)
                            .arg(shiftNo)
                            .arg(date.month())
                            .arg(date.year());
    Dataset& control = dm.Control;
    control.close();
    control.setSql(QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where ") + row);
    control.open();
    const int rows = control.field(QStringLiteral("cnt")).asInteger();
    control.close();
    control.setSql(QStringLiteral("select sum(time) as tim from accounts_dep.smena where w_id=%1 and smena=%2 and "
                                  "data=%3 group by w_id, smena, data")
                       .arg(workerId)
                       .arg(shiftNo)
                       .arg(sql::date(date)));
    control.open();
    const int hours = control.field(QStringLiteral("tim")).asInteger();
    control.close();
    if (rows != 0)
        dm.H_Tabel_ins.setSql(QStringLiteral("update accounts_dep.h_tabel set d%1=%2 where ").arg(date.day()).arg(hours)
                               + row);
    else if (createRow)
        dm.H_Tabel_ins.setSql(QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, d%1) "
                                              "values(%2, %3, %4, %5, %6)")
                                   .arg(date.day())
                                   .arg(shiftNo)
                                   .arg(workerId)
                                   .arg(date.month())
                                   .arg(date.year())
                                   .arg(hours));
    else
        return;
    dm.H_Tabel_ins.execute();
}
