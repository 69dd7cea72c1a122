#include "correlated_statements.h"

#include <QStringList>

namespace bench {

QString correlatedWorkerStatement()
{
    return QStringList{
        QStringLiteral("select person.s_caption fio, sum(smena.kol_vo-smena.brak)::numeric(10,2) as kolvo,vid_oper.vid, "),
        QStringLiteral("sum((kol_vo-brak)*smena.cena)::numeric(10,2) as summa,izdel.nom, oper.naimen, color,"),
        QStringLiteral("(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7 from accounts_dep.fatigue f where "
                       "f.d_date<:data4 and f.d_date>=:data3 and f.id_p=smena.w_id and f.id_nom=izdel.id_nom and "
                       "f.id_o=7777),"),
        QStringLiteral("(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8 from accounts_dep.fatigue f where "
                       "f.d_date<:data6 and f.d_date>=:data5 and f.id_p=smena.w_id and f.id_nom=izdel.id_nom and "
                       "f.id_o=7778),"),
        QStringLiteral("(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum78 from accounts_dep.fatigue f where "
                       "f.d_date<:data8 and f.d_date>=:data7 and f.id_p=smena.w_id),"),
        QStringLiteral("(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7_all from accounts_dep.fatigue f "
                       "where f.d_date<:data10 and f.d_date>=:data9 and f.id_o=7777),"),
        QStringLiteral("(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8_all from accounts_dep.fatigue f "
                       "where f.d_date<:data12 and f.d_date>=:data11 and f.id_o=7778)"),
        QStringLiteral("from cmn_contractor.person person,accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper,"),
        QStringLiteral("accounts_dep.oper where w_id=s_code::integer and izdel.id=smena.i_id and vid_oper.id=oper.vid"),
        QStringLiteral("and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1"),
        QStringLiteral("group by fio, izdel.nom, vid_oper.vid, smena.w_id, izdel.id_nom, oper.naimen, color"),
        QStringLiteral("order by fio, izdel.nom"),
    }.join(QLatin1Char('\n'));
}
QString correlatedDetailedWorkerStatement()
{
    const auto works = [](const QString& what, const QString& name, int from, int to, int kind, int night) {
        return QStringLiteral("(select coalesce(%1,0)::numeric(10,2) %2 from accounts_dep.fatigue f where "
                              "f.d_date<:data%4 and f.d_date>=:data%3 and f.id_p=smena.w_id and f.id_o=%5 and "
                              "f.i_night=%6)")
            .arg(what, name)
            .arg(from)
            .arg(to)
            .arg(kind)
            .arg(night);
    };
    const QString money = QStringLiteral("sum(f.cnt*f.price)"), hours = QStringLiteral("sum(f.cnt)");
    return QStringList{
        QStringLiteral("select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, sum(time) as sum_time,"),
        QStringLiteral("sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)*"),
        QStringLiteral("smena.cena) as summa, color, sum(prize*(kol_vo-brak)*cena/100) as s_prize,"),
        works(money, QStringLiteral("f_sum7"), 1, 2, 7777, 0) + QLatin1Char(','),
        works(money, QStringLiteral("f_sum7_n"), 3, 4, 7777, 1) + QLatin1Char(','),
        works(money, QStringLiteral("f_sum8"), 5, 6, 7778, 0) + QLatin1Char(','),
        works(money, QStringLiteral("f_sum8_n"), 7, 8, 7778, 1) + QLatin1Char(','),
        works(hours, QStringLiteral("f_sum7h"), 11, 12, 7777, 0) + QLatin1Char(','),
        works(hours, QStringLiteral("f_sum7h_n"), 13, 14, 7777, 1) + QLatin1Char(','),
        works(hours, QStringLiteral("f_sum8h"), 15, 16, 7778, 0) + QLatin1Char(','),
        works(hours, QStringLiteral("f_sum8h_n"), 17, 18, 7778, 1),
        QStringLiteral("from cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,"
                       "accounts_dep.vid_oper "),
        QStringLiteral("where smena.o_id=oper.id and smena.w_id=s_code::integer and smena.i_id=izdel.id "),
        QStringLiteral("and smena.o_id=oper.id and w_id=s_code::integer and oper.vid=vid_oper.id "),
        QStringLiteral("and smena.data<:data10 and smena.data>=:data9 "),
        QStringLiteral("group by fio, marka,vid_oper.vid, oper.naimen, color, w_id "),
        QStringLiteral("order by fio, marka, vid_oper.vid, oper.naimen"),
    }.join(QLatin1Char('\n'));
}

} // namespace bench
