#include "worker_reports.h"

using namespace report;
using namespace layouts;

namespace {

const QString kAmountField = QStringLiteral("summa");

RowFn amountOf()
{
    return [](const Dataset& d) { return d.field(kAmountField).value(); };
}

} // namespace

// The works sums of each line are summed once per worker (and nomenclature group) over the
// period and joined to the lines, rather than once per line: the same figures, but a year's
// report no longer reads a worker's works once for every one of the worker's lines.
QString WorkerReport::statement()
{
    return QStringList{
        QStringLiteral("select r.fio, r.kolvo, r.vid, r.summa, r.nom, r.naimen, r.color,"),
        QStringLiteral("coalesce(wn.s7,0)::numeric(10,2) f_sum7, coalesce(wn.s8,0)::numeric(10,2) f_sum8,"),
        QStringLiteral("coalesce(w.s78,0)::numeric(10,2) f_sum78,"),
        QStringLiteral("(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7_all from accounts_dep.fatigue f "
                       "where f.d_date<:data10 and f.d_date>=:data9 and f.id_o=7777),"),
        QStringLiteral("(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8_all from accounts_dep.fatigue f "
                       "where f.d_date<:data12 and f.d_date>=:data11 and f.id_o=7778)"),
        QStringLiteral("from (select person.s_caption fio, sum(smena.kol_vo-smena.brak)::numeric(10,2) as kolvo,"),
        QStringLiteral("vid_oper.vid, sum((kol_vo-brak)*smena.cena)::numeric(10,2) as summa,izdel.nom, oper.naimen, color,"),
        QStringLiteral("smena.w_id, izdel.id_nom"),
        QStringLiteral("from cmn_contractor.person person,accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper,"),
        QStringLiteral("accounts_dep.oper where w_id=s_code::integer and izdel.id=smena.i_id and vid_oper.id=oper.vid"),
        QStringLiteral("and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1"),
        QStringLiteral("group by fio, izdel.nom, vid_oper.vid, smena.w_id, izdel.id_nom, oper.naimen, color) r"),
        QStringLiteral("left join (select f.id_p, f.id_nom,"),
        QStringLiteral("sum(f.cnt*f.price) filter (where f.d_date<:data4 and f.d_date>=:data3 and f.id_o=7777) s7,"),
        QStringLiteral("sum(f.cnt*f.price) filter (where f.d_date<:data6 and f.d_date>=:data5 and f.id_o=7778) s8"),
        QStringLiteral("from accounts_dep.fatigue f where f.d_date<:data4 and f.d_date>=:data3 or "
                       "f.d_date<:data6 and f.d_date>=:data5"),
        QStringLiteral("group by f.id_p, f.id_nom) wn on wn.id_p=r.w_id and wn.id_nom=r.id_nom"),
        QStringLiteral("left join (select f.id_p, sum(f.cnt*f.price) s78 from accounts_dep.fatigue f"),
        QStringLiteral("where f.d_date<:data8 and f.d_date>=:data7 group by f.id_p) w on w.id_p=r.w_id"),
        QStringLiteral("order by r.fio, r.nom"),
    }.join(QLatin1Char('\n'));
}

WorkerReport::WorkerReport(Database& db)
    : PeriodReport(db, QStringLiteral("TForm16"), QStringLiteral("Отчет по рабочим"), QStringLiteral("t_Report"),
                   statement(), 12)
{
    Group& all = addReportGroup(190);

    Group& workerGroup = layout_.addGroup(QStringLiteral("fio"));
    Band& worker = workerGroup.header().background(kGroupHeader).bold();
    worker.field(0, 160, QStringLiteral("fio"));
    worker.text(163, 27, QStringLiteral("Сумма без Р/К"));

    Group& nomenclatureGroup = layout_.addGroup(QStringLiteral("nom"));
    nomenclatureGroup.header().field(0, 190, QStringLiteral("nom")).bold();

    Band& row = layout_.detail();
    row.expr(0, 43, productKindOf()).shrink();
    row.field(44, 39, QStringLiteral("vid")).center().elide();
    row.expr(85, 28, colourOf());
    row.expr(117, 19, exact(QStringLiteral("kolvo"))).center();
    row.field(138, 24, kAmountField, QStringLiteral("#0.000")).center();

    // The nomenclature group: its piece-rate sums, the worker's household and average
    // piece-rate money for the group's item, and the three together.
    constexpr double kNomenclaturePoints = 9;
    const double secondLine = lineTop(1, kNomenclaturePoints);
    Band& nomenclatureSums = nomenclatureGroup.footer().bold().size(kNomenclaturePoints);
    nomenclatureSums.addSum(QStringLiteral("nomSumma"), amountOf());
    nomenclatureSums.text(39, 15, QStringLiteral("Хоз.р.:"));
    nomenclatureSums.expr(54, 19, exact(QStringLiteral("f_sum7")), QStringLiteral("#0.00"));
    nomenclatureSums.text(79, 14, QStringLiteral("Ср. сд.:"));
    nomenclatureSums.expr(93, 19, exact(QStringLiteral("f_sum8")), QStringLiteral("#0.00"));
    nomenclatureSums.sum(117, 19, QStringLiteral("kolvo")).center().background(kSumCell);
    nomenclatureSums.sum(138, 24, kAmountField, QStringLiteral("#0.000")).center().background(kSumCell);
    nomenclatureSums.value(163, 24,
                           [](const Context& c) { return withoutCoefficient(c.sum(QStringLiteral("nomSumma"))); },
                           QStringLiteral("#0.000")).center().background(kSumCell);
    const auto nomenclatureTotal = [](const Context& c) {
        return c.sum(QStringLiteral("nomSumma")) + fieldAmount(c, QStringLiteral("f_sum7")) +
               fieldAmount(c, QStringLiteral("f_sum8"));
    };
    nomenclatureSums.text(123, 15, QStringLiteral("Итого:")).top(secondLine);
    nomenclatureSums.value(138, 24, [=](const Context& c) { return exactValue(nomenclatureTotal(c)); },
                           QStringLiteral("#0.000")).center().top(secondLine);
    nomenclatureSums.value(163, 24, [=](const Context& c) { return withoutCoefficient(nomenclatureTotal(c)); },
                           QStringLiteral("#0.000")).center().top(secondLine);

    // The worker: piece-rate sums, then with all the worker's household and average
    // piece-rate money.
    Band& workerSums = workerGroup.footer().bold().size(kNomenclaturePoints).frame(BottomEdge);
    workerSums.addSum(QStringLiteral("fioSumma"), amountOf());
    workerSums.sum(138, 24, kAmountField, QStringLiteral("#0.00")).center().background(kSumCell);
    workerSums.value(163, 24, [](const Context& c) { return withoutCoefficient(c.sum(QStringLiteral("fioSumma"))); },
                     QStringLiteral("#0.00")).center().background(kSumCell);
    const auto workerTotal = [](const Context& c) {
        return c.sum(QStringLiteral("fioSumma")) + fieldAmount(c, QStringLiteral("f_sum78"));
    };
    workerSums.value(138, 24, [=](const Context& c) { return exactValue(workerTotal(c)); }, QStringLiteral("#0.000"))
        .center().top(secondLine);
    workerSums.value(163, 24, [=](const Context& c) { return withoutCoefficient(workerTotal(c)); },
                     QStringLiteral("#0.000")).center().top(secondLine);

    // All workers: piece-rate money, household and average piece-rate money, and the total.
    constexpr double kTotalPoints = 11;
    Band& total = all.footer().bold().size(kTotalPoints).background(kReportFooter).frame(TopEdge | BottomEdge);
    total.addSum(QStringLiteral("allSumma"), amountOf());
    const auto amountLine = [&](int line, const QString& label, std::function<Decimal4(const Context&)> amount) {
        const double top = lineTop(line, kTotalPoints);
        if (!label.isEmpty())
            total.text(115, 14, label).top(top);
        total.value(129, 28, [amount](const Context& c) { return exactValue(amount(c)); }, QStringLiteral("#0.00"))
            .center().top(top);
        total.value(159, 28, [amount](const Context& c) { return withoutCoefficient(amount(c)); },
                    QStringLiteral("#0.00")).center().top(top);
    };
    amountLine(0, {}, [](const Context& c) { return c.sum(QStringLiteral("allSumma")); });
    amountLine(1, QStringLiteral("Хоз.р.:"), [](const Context& c) { return fieldAmount(c, QStringLiteral("f_sum7_all")); });
    amountLine(2, QStringLiteral("Ср.сд.:"), [](const Context& c) { return fieldAmount(c, QStringLiteral("f_sum8_all")); });
    amountLine(3, QStringLiteral("Итого:"), [](const Context& c) {
        return c.sum(QStringLiteral("allSumma")) + fieldAmount(c, QStringLiteral("f_sum7_all")) +
               fieldAmount(c, QStringLiteral("f_sum8_all"));
    });
}

// As in the worker report, each worker's works sums are summed once and joined to the lines.
QString DetailedWorkerReport::statement()
{
    struct WorksSum {
        QString what, name;
        int from, to, kind, night;
    };
    const QString money = QStringLiteral("f.cnt*f.price"), hours = QStringLiteral("f.cnt");
    const WorksSum sums[] = {{money, QStringLiteral("f_sum7"), 1, 2, 7777, 0},
                             {money, QStringLiteral("f_sum7_n"), 3, 4, 7777, 1},
                             {money, QStringLiteral("f_sum8"), 5, 6, 7778, 0},
                             {money, QStringLiteral("f_sum8_n"), 7, 8, 7778, 1},
                             {hours, QStringLiteral("f_sum7h"), 11, 12, 7777, 0},
                             {hours, QStringLiteral("f_sum7h_n"), 13, 14, 7777, 1},
                             {hours, QStringLiteral("f_sum8h"), 15, 16, 7778, 0},
                             {hours, QStringLiteral("f_sum8h_n"), 17, 18, 7778, 1}};
    QStringList shown, summed, periods;
    for (const WorksSum& w : sums) {
        const QString period = QStringLiteral("f.d_date<:data%1 and f.d_date>=:data%2").arg(w.to).arg(w.from);
        shown << QStringLiteral("coalesce(w.%1,0)::numeric(10,2) %1").arg(w.name);
        summed << QStringLiteral("sum(%1) filter (where %2 and f.id_o=%3 and f.i_night=%4) %5")
                      .arg(w.what, period)
                      .arg(w.kind)
                      .arg(w.night)
                      .arg(w.name);
        periods << period;
    }
    return QStringList{
        QStringLiteral("select r.fio, r.marka, r.vid, r.naimen, r.sum_time, r.kolvo, r.brk, r.summa, r.color, r.s_prize,"),
        shown.join(QStringLiteral(", ")),
        QStringLiteral("from (select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, sum(time) as sum_time,"),
        QStringLiteral("sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)*"),
        QStringLiteral("smena.cena) as summa, color, sum(prize*(kol_vo-brak)*cena/100) as s_prize, w_id"),
        QStringLiteral("from cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,"
                       "accounts_dep.vid_oper "),
        QStringLiteral("where smena.o_id=oper.id and smena.w_id=s_code::integer and smena.i_id=izdel.id "),
        QStringLiteral("and smena.o_id=oper.id and w_id=s_code::integer and oper.vid=vid_oper.id "),
        QStringLiteral("and smena.data<:data10 and smena.data>=:data9 "),
        QStringLiteral("group by fio, marka,vid_oper.vid, oper.naimen, color, w_id) r"),
        QStringLiteral("left join (select f.id_p,"),
        summed.join(QStringLiteral(",\n")),
        QStringLiteral("from accounts_dep.fatigue f where ") + periods.join(QStringLiteral(" or ")),
        QStringLiteral("group by f.id_p) w on w.id_p=r.w_id"),
        QStringLiteral("order by r.fio, r.marka, r.vid, r.naimen"),
    }.join(QLatin1Char('\n'));
}

DetailedWorkerReport::DetailedWorkerReport(Database& db)
    : PeriodReport(db, QStringLiteral("TForm20"), QStringLiteral("Детальный отчет по рабочим"),
                   QStringLiteral("w_Report"), statement(), 18)
{
    Group& all = addReportGroup(190);

    Group& workerGroup = layout_.addGroup(QStringLiteral("fio"));
    Band& worker = workerGroup.header().background(kGroupHeader).bold();
    worker.field(0, 125, QStringLiteral("fio"));
    worker.text(127, 13, QStringLiteral("Часы")).size(9);
    worker.text(141, 10, QStringLiteral("Брак")).size(9);
    worker.text(152, 22, QStringLiteral("Количество")).size(9);
    worker.text(176, 14, QStringLiteral("Сумма")).size(9);

    Band& row = layout_.detail().size(8);
    row.field(0, 41, QStringLiteral("marka")).elide();
    row.field(43, 29, QStringLiteral("vid")).center().elide();
    row.field(74, 16, QStringLiteral("color")).center();
    row.expr(91, 30, productKindOf()).shrink();
    row.field(126, 9, QStringLiteral("sum_time")).center();
    row.field(140, 9, QStringLiteral("brk")).center();
    row.expr(151, 17, exact(QStringLiteral("kolvo"))).center();
    row.field(170, 20, kAmountField, QStringLiteral("#0.00")).center();

    // The worker's sums under the detail columns, then the block of the other works.
    constexpr double kPoints = 9;
    Band& workerSums = workerGroup.footer().bold().size(kPoints);
    workerSums.addSum(QStringLiteral("time"), [](const Dataset& d) { return d.field(QStringLiteral("sum_time")).value(); });
    workerSums.addSum(QStringLiteral("money"), amountOf());
    workerSums.sum(140, 9, QStringLiteral("brk")).center().background(kSumCell);
    workerSums.sum(151, 17, QStringLiteral("kolvo")).center().background(kSumCell);
    workerSums.sum(170, 20, kAmountField, QStringLiteral("#0.00")).center().background(kSumCell);

    Band& block = workerSums.child().bold().size(kPoints);
    block.text(115, 16, QStringLiteral("Часы"));
    block.text(131, 31, QStringLiteral("Сумма с р/к (р.)"));
    block.text(162, 28, QStringLiteral("Сумма без р/к (р.)")).shrink();
    using Amount = std::function<Decimal4(const Context&)>;
    int line = 1;
    const auto blockRow = [&](const QString& label, const Amount& hours, const Amount& money, const QString& mask) {
        const double top = lineTop(line++, kPoints);
        block.text(85, 23, label).shrink().top(top);
        block.value(108, 23, [hours](const Context& c) { return exactValue(hours(c)); }, mask).center().top(top);
        block.value(131, 23, [money](const Context& c) { return exactValue(money(c)); }, mask).center().top(top);
        block.value(164, 23, [money](const Context& c) { return withoutCoefficient(money(c)); }, mask).center().top(top);
    };
    const auto field = [](const QString& name) { return [name](const Context& c) { return fieldAmount(c, name); }; };
    // Household and average piece-rate works, day and night, with two decimals as the rows below
    // (unmasked, an amount without the coefficient printed its quotient to 15 digits).
    const QString moneyMask = QStringLiteral("#0.00");
    blockRow(QStringLiteral("Хоз. раб. (дн.)"), field(QStringLiteral("f_sum7h")), field(QStringLiteral("f_sum7")), moneyMask);
    blockRow(QStringLiteral("Хоз. раб. (нч.)"), field(QStringLiteral("f_sum7h_n")), field(QStringLiteral("f_sum7_n")),
             moneyMask);
    blockRow(QStringLiteral("Ср. сд. (дн.)"), field(QStringLiteral("f_sum8h")), field(QStringLiteral("f_sum8")), moneyMask);
    blockRow(QStringLiteral("Ср. сд. (нч.)"), field(QStringLiteral("f_sum8h_n")), field(QStringLiteral("f_sum8_n")),
             moneyMask);
    blockRow(QStringLiteral("Сдел."), [](const Context& c) { return c.sum(QStringLiteral("time")); },
             [](const Context& c) { return c.sum(QStringLiteral("money")); }, moneyMask);
    blockRow(QStringLiteral("Итого:"),
             [](const Context& c) {
                 return c.sum(QStringLiteral("time")) + fieldAmount(c, QStringLiteral("f_sum7h")) +
                        fieldAmount(c, QStringLiteral("f_sum7h_n")) + fieldAmount(c, QStringLiteral("f_sum8h")) +
                        fieldAmount(c, QStringLiteral("f_sum8h_n"));
             },
             [](const Context& c) {
                 return c.sum(QStringLiteral("money")) + fieldAmount(c, QStringLiteral("f_sum7")) +
                        fieldAmount(c, QStringLiteral("f_sum7_n")) + fieldAmount(c, QStringLiteral("f_sum8")) +
                        fieldAmount(c, QStringLiteral("f_sum8_n"));
             },
             moneyMask);
    // The piece-rate price of an hour; 0 for a worker whose register rows have no hours.
    const double priceTop = lineTop(line, kPoints);
    block.text(85, 46, QStringLiteral("Цена ср. сд. за 1 ч.:")).shrink().top(priceTop);
    const auto pricePerHour = [](const Context& c, Decimal4 coefficient) {
        const Decimal4 hours = c.sum(QStringLiteral("time"));
        if (hours.units() == 0)
            return exactValue(Decimal4());
        const std::optional<Decimal4> divisor = hours.times(coefficient);
        return divisor ? quotient(c.sum(QStringLiteral("money")), *divisor) : QVariant();
    };
    block.value(131, 23, [=](const Context& c) { return pricePerHour(c, Decimal4::fromUnits(10000)); }, moneyMask)
        .center().top(priceTop);
    block.value(164, 23, [=](const Context& c) { return pricePerHour(c, Decimal4::fromUnits(12000)); }, moneyMask)
        .center().top(priceTop);

    Band& total = all.footer().bold().size(11).background(kReportFooter).frame(TopEdge | BottomEdge);
    total.text(106, 24, QStringLiteral("Итого:"));
    total.sum(132, 11, QStringLiteral("brk")).center();
    total.sum(145, 19, QStringLiteral("kolvo")).center();
    total.sum(166, 24, kAmountField, QStringLiteral("#0.00")).center();
}
