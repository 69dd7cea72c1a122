#include "data_module.h"

#include "sql_text.h"

namespace {

QString dayColumnsSum()
{
    QStringList parts;
    for (int k = 1; k <= 31; ++k)
        parts << QStringLiteral("coalesce(d%1,0)").arg(k);
    return parts.join(u'+');
}

QString shiftTimesheetStatement(int shiftNo)
{
    // The row's own day cells (grouped by its key), not their sum over the joined register
    // entries, which would count the row's hours once per entry of the worker.
    const QString days = QStringLiteral("(%1)").arg(dayColumnsSum());
    return QStringList{
        QStringLiteral("select person.s_caption fio, %1::integer summ,").arg(days),
        QStringLiteral("(case when %1=0 then 0 else sum(s.cena*(kol_vo-brak))/%1 end)::numeric(10,2) average_price,")
            .arg(days),
        QStringLiteral("sum(s.cena*(kol_vo-brak))::numeric(10,2) cena_all, h_tabel.*"),
        QStringLiteral("from accounts_dep.h_tabel, cmn_contractor.person, accounts_dep.smena s where"),
        QStringLiteral("h_tabel.w_id=person.s_code::integer and h_tabel.smena=%1 and month=:mnth and s.w_id = h_tabel.w_id and")
            .arg(shiftNo),
        QStringLiteral("h_tabel.year=:yea and s.data >=:date1 and s.data <:date2"),
        QStringLiteral("group by person.s_caption,h_tabel.w_id,h_tabel.month,h_tabel.year,h_tabel.smena,h_tabel.id"),
        QStringLiteral("order by fio")}
        .join(u'\n');
}

} // namespace

namespace {

// The select list and the tables of the shift 1 list, shared with the statement of all four.
const QStringList kShiftOneHead{
    QStringLiteral("select smena.id, smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, "),
    QStringLiteral("smena.cena,person.s_caption fio, izdel.marka, vid_oper.vid, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.naimen,  smena.brak, smena.kol_vo::numeric,"),
    QStringLiteral("round((kol_vo-brak)*smena.cena::numeric, 2) as summa, smena.prize, color,time, smena.ok, vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use"),
    QStringLiteral("from cmn_contractor.person person, accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper "),
    QStringLiteral("where smena.i_id=izdel.id and smena.o_id=oper.id and (w_id=person.id or s_code::t_id=w_id) and ")};

// The fields of the lists of shifts 2 to 4, in the order of their statement's select list.
const QStringList kLaterShiftFields{
    QStringLiteral("data"), QStringLiteral("smena"), QStringLiteral("i_id"), QStringLiteral("o_id"),
    QStringLiteral("w_id"), QStringLiteral("cena"), QStringLiteral("fio"), QStringLiteral("marka"),
    QStringLiteral("vid"), QStringLiteral("nmn"), QStringLiteral("naimen"), QStringLiteral("kol_vo"),
    QStringLiteral("brak"), QStringLiteral("summa"), QStringLiteral("prize"), QStringLiteral("id"),
    QStringLiteral("color"), QStringLiteral("time"), QStringLiteral("ok"), QStringLiteral("vvod"),
    QStringLiteral("id_doc"), QStringLiteral("id_doc_item"), QStringLiteral("f_gds_qty_use"),
    QStringLiteral("id_gds_use"), QStringLiteral("id_cons_use")};

} // namespace

// Rows that tie on a list's sort keys (one name, two workers) follow the entry numbers, so that
// a list reads in the same order however it is read.
QString DataModule::shiftStatement(int shiftNo)
{
    if (shiftNo == 1)
        return (kShiftOneHead
                + QStringList{QStringLiteral("oper.vid=vid_oper.id and smena.smena=1 and smena.data=:data and ok!=:ok order by "),
                              QStringLiteral("fio, izdel.marka, vid_oper.vid, oper.naimen, color, smena.id")})
            .join(u'\n');
    return QStringList{
        QStringLiteral("select smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, "),
        QStringLiteral("smena.cena, %1 fio, izdel.marka, vid_oper.vid, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.naimen, smena.kol_vo::numeric, smena.brak, ")
            .arg(shiftNo == 4 ? QStringLiteral("person.s_caption") : QStringLiteral("s_caption")),
        QStringLiteral("round((kol_vo-brak)*smena.cena::numeric, 2) as summa, smena.prize, smena.id, color,time,smena.ok,vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use  "),
        QStringLiteral("from cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper "),
        QStringLiteral("where smena.i_id=izdel.id and smena.o_id=oper.id and (w_id=person.id or s_code::t_id=w_id) and "),
        QStringLiteral("oper.vid=vid_oper.id and smena.smena=%1 and smena.data=:data and ok<>:ok order by fio, smena.id").arg(shiftNo)}
        .join(u'\n');
}

QString DataModule::allShiftsStatement()
{
    // Sorted by shift, then as each shift's own statement sorts: the sort keys that only the
    // shift 1 list has are null for the others.
    return (kShiftOneHead
            + QStringList{
                QStringLiteral("oper.vid=vid_oper.id and smena.smena in (1, 2, 3, 4) and smena.data=:data and ok!=:ok order by "),
                QStringLiteral("smena.smena, fio, case smena.smena when 1 then izdel.marka end, case smena.smena when 1 then vid_oper.vid end, "),
                QStringLiteral("case smena.smena when 1 then oper.naimen end, case smena.smena when 1 then smena.color end, smena.id")})
        .join(u'\n');
}

QString DataModule::operationsStatement()
{
    return QStringList{
        QStringLiteral("select izdel.MARKA, vid_oper.VID, oper.NAIMEN, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn,"),
        QStringLiteral("count(o_id) norma, min(price)::numeric cena,"),
        QStringLiteral("oper.id, oper.i_id, oper.VID as oper_vid from accounts_dep.norm,accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where OPER.i_id=IZDEL.id and norm.o_id=oper.id"),
        QStringLiteral("and oper.vid=vid_oper.id group by izdel.MARKA, vid_oper.VID, oper.NAIMEN, oper.id, oper.i_id, oper.VID order by izdel.marka, vid_oper.vid, oper.naimen")}
        .join(u'\n');
}

DataModule::DataModule(QObject* parent)
    : QObject(parent),
      workers(db, QStringLiteral("Workers"), QStringLiteral("select * from accounts_dep.person order by fio")),
      products(db, QStringLiteral("Izdel"), QStringLiteral("select *  from accounts_dep.IZDEL order by marka")),
      operations(db, QStringLiteral("Oper"), operationsStatement()),
      operationKinds(db, QStringLiteral("Vid_oper"), QStringLiteral("select * from accounts_dep.VID_OPER order by vid")),
      shiftList1(db, QStringLiteral("Smena1"), shiftStatement(1)),
      shiftList2(db, QStringLiteral("Smena2"), shiftStatement(2)),
      shiftList3(db, QStringLiteral("Smena3"), shiftStatement(3)),
      shiftList4(db, QStringLiteral("Smena4"), shiftStatement(4)),
      shiftTimesheet1(db, QStringLiteral("H_Tabel_1"), shiftTimesheetStatement(1)),
      shiftTimesheet2(db, QStringLiteral("H_Tabel_2"), shiftTimesheetStatement(2)),
      shiftTimesheet3(db, QStringLiteral("H_Tabel_3"), shiftTimesheetStatement(3))
{
    setObjectName(QStringLiteral("DataModule6"));
}

DataModule::~DataModule() = default;

void DataModule::reopenShiftLists()
{
    for (int shift = 1; shift <= 4; ++shift)
        shiftList(shift).close();
    const QVariant date = shiftList1.param(QStringLiteral("data"));
    const QVariant mark = shiftList1.param(QStringLiteral("ok"));
    bool together = true;
    for (int shift = 2; shift <= 4; ++shift)
        together = together && shiftList(shift).param(QStringLiteral("data")) == date
            && shiftList(shift).param(QStringLiteral("ok")) == mark;
    if (!together) {
        for (int shift = 1; shift <= 4; ++shift)
            shiftList(shift).open();
        return;
    }
    Dataset all(db, QStringLiteral("Smena"), allShiftsStatement());
    all.setParam(QStringLiteral("data"), date);
    all.setParam(QStringLiteral("ok"), mark);
    all.open();
    const QStringList fields = all.fieldNames();
    QVector<int> laterOrder;  // index in `fields` of each field of the lists of shifts 2 to 4
    for (const QString& field : kLaterShiftFields)
        laterOrder << all.fieldIndex(field);
    const int shiftField = all.fieldIndex(QStringLiteral("smena"));
    QVector<QVector<QVariant>> rows[4];
    for (const QVector<QVariant>& row : all.fetchedRows()) {
        const int shift = row[shiftField].toInt();
        if (shift == 1) {
            rows[0].push_back(row);
            continue;
        }
        QVector<QVariant> reordered(laterOrder.size());
        for (int i = 0; i < laterOrder.size(); ++i)
            reordered[i] = row[laterOrder[i]];
        rows[shift - 1].push_back(std::move(reordered));
    }
    shiftList1.openWith(fields, std::move(rows[0]));
    for (int shift = 2; shift <= 4; ++shift)
        shiftList(shift).openWith(kLaterShiftFields, std::move(rows[shift - 1]));
}

Dataset& DataModule::shiftList(int shiftNo)
{
    switch (shiftNo) {
    case 2: return shiftList2;
    case 3: return shiftList3;
    case 4: return shiftList4;
    default: return shiftList1;
    }
}

Dataset& DataModule::shiftTimesheet(int shiftNo)
{
    switch (shiftNo) {
    case 2: return shiftTimesheet2;
    case 3: return shiftTimesheet3;
    default: return shiftTimesheet1;
    }
}

Outcome DataModule::checkDuplicate(const QString& statement, const QString& message, const Params& params)
{
    return db.scalar(statement, params).toLongLong() > 0 ? Outcome::refused(message) : Outcome::done();
}

QString DataModule::withDecimalSeparator(const QString& text) const
{
    return sql::withDecimalSeparator(text, decimalSeparator);
}
