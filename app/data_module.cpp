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

QString hTabelStatement(int shiftNo)
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
QString TDataModule6::shiftStatement(int shiftNo)
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

QString TDataModule6::allShiftsStatement()
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

QString TDataModule6::operStatement()
{
    return QStringList{
        QStringLiteral("select izdel.MARKA, vid_oper.VID, oper.NAIMEN, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn,"),
        QStringLiteral("count(o_id) norma, min(price)::numeric cena,"),
        QStringLiteral("oper.id, oper.i_id, oper.VID as oper_vid from accounts_dep.norm,accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where OPER.i_id=IZDEL.id and norm.o_id=oper.id"),
        QStringLiteral("and oper.vid=vid_oper.id group by izdel.MARKA, vid_oper.VID, oper.NAIMEN, oper.id, oper.i_id, oper.VID order by izdel.marka, vid_oper.vid, oper.naimen")}
        .join(u'\n');
}

TDataModule6::TDataModule6(QObject* parent)
    : QObject(parent),
      Workers(ADO_DB, QStringLiteral("Workers"), QStringLiteral("select * from accounts_dep.person order by fio")),
      Izdel(ADO_DB, QStringLiteral("Izdel"), QStringLiteral("select *  from accounts_dep.IZDEL order by marka")),
      Oper(ADO_DB, QStringLiteral("Oper"), operStatement()),
      Vid_oper(ADO_DB, QStringLiteral("Vid_oper"), QStringLiteral("select * from accounts_dep.VID_OPER order by vid")),
      Smena1(ADO_DB, QStringLiteral("Smena1"), shiftStatement(1)),
      Smena2(ADO_DB, QStringLiteral("Smena2"), shiftStatement(2)),
      Smena3(ADO_DB, QStringLiteral("Smena3"), shiftStatement(3)),
      Smena4(ADO_DB, QStringLiteral("Smena4"), shiftStatement(4)),
      H_Tabel_1(ADO_DB, QStringLiteral("H_Tabel_1"), hTabelStatement(1)),
      H_Tabel_2(ADO_DB, QStringLiteral("H_Tabel_2"), hTabelStatement(2)),
      H_Tabel_3(ADO_DB, QStringLiteral("H_Tabel_3"), hTabelStatement(3))
{
    setObjectName(QStringLiteral("DataModule6"));
}

TDataModule6::~TDataModule6() = default;

void TDataModule6::reopenShiftLists()
{
    for (int shift = 1; shift <= 4; ++shift)
        smena(shift).close();
    const QVariant date = Smena1.param(QStringLiteral("data"));
    const QVariant mark = Smena1.param(QStringLiteral("ok"));
    bool together = true;
    for (int shift = 2; shift <= 4; ++shift)
        together = together && smena(shift).param(QStringLiteral("data")) == date
            && smena(shift).param(QStringLiteral("ok")) == mark;
    if (!together) {
        for (int shift = 1; shift <= 4; ++shift)
            smena(shift).open();
        return;
    }
    Dataset all(ADO_DB, QStringLiteral("Smena"), allShiftsStatement());
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
    Smena1.openWith(fields, std::move(rows[0]));
    for (int shift = 2; shift <= 4; ++shift)
        smena(shift).openWith(kLaterShiftFields, std::move(rows[shift - 1]));
}

Dataset& TDataModule6::smena(int shiftNo)
{
    switch (shiftNo) {
    case 2: return Smena2;
    case 3: return Smena3;
    case 4: return Smena4;
    default: return Smena1;
    }
}

Outcome TDataModule6::CheckExists(const QString& statement, const QString& message, const Params& params)
{
    return ADO_DB.scalar(statement, params).toLongLong() > 0 ? Outcome::refused(message) : Outcome::done();
}

QString TDataModule6::FixDecimalSeparator(const QString& text) const { return sql::withDecimalSeparator(text, Delim); }
