#include "production_reports.h"

using namespace report;
using namespace layouts;

QString ProductionReport::statement()
{
    return QStringList{
        QStringLiteral("select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid,"),
        QStringLiteral("izdel.nom, oper.naimen, color,  round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) as mass"),
        QStringLiteral("from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where "
                       "izdel.id=smena.i_id and vid_oper.id=oper.vid"),
        QStringLiteral("and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 "),
        QStringLiteral("group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"),
    }.join(QLatin1Char('\n'));
}

ProductionReport::ProductionReport(Database& db)
    : PeriodReport(db, QStringLiteral("TForm17"), QStringLiteral("Отчет по продукции"), QStringLiteral("t_Report"),
                   statement(), 2)
{
    Group& all = addReportGroup(134);
    all.header().text(136, 27, QStringLiteral("Коробки"));
    all.header().text(165, 25, QStringLiteral("Количество"));

    Group& nomenclatureGroup = layout_.addGroup(QStringLiteral("nom"));
    nomenclatureGroup.header().background(kGroupHeader).field(0, 190, QStringLiteral("nom")).bold();

    Band& row = layout_.detail();
    row.expr(13, 40, productKindOf()).shrink();
    row.field(55, 36, QStringLiteral("vid")).center().elide();
    row.expr(93, 39, colourOf());
    row.expr(134, 19, exact(QStringLiteral("mass"))).center();
    row.expr(163, 24, exact(QStringLiteral("kolvo"))).center();

    Band& sums = nomenclatureGroup.footer().bold().size(9);
    sums.sum(134, 19, QStringLiteral("mass")).center().background(kSumCell);
    sums.sum(163, 24, QStringLiteral("kolvo")).center().background(kSumCell);

    Band& total = all.footer().bold().background(kReportFooter).frame(TopEdge | BottomEdge);
    total.text(106, 24, QStringLiteral("Итого:")).size(11);
    total.sum(131, 24, QStringLiteral("mass"), QStringLiteral("#0")).center();
    total.sum(161, 28, QStringLiteral("kolvo")).center().size(11);
}

QString DetailedProductionReport::statement()
{
    return QStringList{
        QStringLiteral("select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom,"),
        QStringLiteral("sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, "),
        QStringLiteral("sum((kol_vo-brak)*smena.cena) as summa, color, round((izdel.massa*sum(smena.kol_vo))::numeric,2) as mass "),
        QStringLiteral("from accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where "
                       "smena.o_id=oper.id and smena.i_id=izdel.id "),
        QStringLiteral("and smena.o_id=oper.id and oper.vid=vid_oper.id and smena.data<:data2 and "),
        QStringLiteral("smena.data>=:data1 group by izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa "),
        QStringLiteral("order by izdel.nom,marka, vid_oper.vid, oper.naimen"),
    }.join(QLatin1Char('\n'));
}

DetailedProductionReport::DetailedProductionReport(Database& db)
    : PeriodReport(db, QStringLiteral("TForm21"), QStringLiteral("Детальный отчет по продукции"),
                   QStringLiteral("i_Report"), statement(), 2)
{
    Group& all = addReportGroup(122, 9);
    all.header().text(124, 10, QStringLiteral("Брак"));
    all.header().text(135, 17, QStringLiteral("Коробки"));
    all.header().text(153, 20, QStringLiteral("Кол-во"));
    all.header().text(174, 16, QStringLiteral("Сумма"));

    Group& nomenclatureGroup = layout_.addGroup(QStringLiteral("nom"));
    nomenclatureGroup.header().background(kGroupHeader).field(0, 190, QStringLiteral("nom")).bold();

    Band& row = layout_.detail();
    row.field(1, 52, QStringLiteral("marka")).elide();
    row.field(53, 28, QStringLiteral("vid")).elide();
    row.field(81, 17, QStringLiteral("color")).center();
    row.expr(99, 27, productKindOf()).shrink();
    row.field(125, 7, QStringLiteral("brk")).center();
    row.expr(134, 19, exact(QStringLiteral("mass"))).center();
    row.expr(152, 17, exact(QStringLiteral("kolvo"))).center();
    row.field(170, 19, QStringLiteral("summa"), QStringLiteral("#0.000")).center();

    Band& sums = nomenclatureGroup.footer().bold().size(9);
    sums.sum(124, 9, QStringLiteral("brk")).center().background(kSumCell);
    sums.sum(133, 19, QStringLiteral("mass"), QStringLiteral("#0.00")).center().background(kSumCell);
    sums.sum(152, 17, QStringLiteral("kolvo")).center().background(kSumCell);
    sums.sum(170, 20, QStringLiteral("summa"), QStringLiteral("#0.00")).center().background(kSumCell);

    Band& total = all.footer().bold().background(kReportFooter).frame(TopEdge | BottomEdge);
    total.text(100, 22, QStringLiteral("Итого:")).size(11);
    total.sum(124, 8, QStringLiteral("brk")).center();
    total.sum(133, 19, QStringLiteral("mass")).center();
    total.sum(152, 17, QStringLiteral("kolvo")).center();
    total.sum(170, 19, QStringLiteral("summa"), QStringLiteral("#0.00")).center();
}
