#include "production_summary.h"

#include "excel_book.h"
#include "operation_text.h"

namespace {

QString statement()
{
    return QStringList{
        QStringLiteral("select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid,"),
        QStringLiteral("izdel.nom, oper.naimen, color,izdel.massa*sum(smena.kol_vo-smena.brak) as mass "),
        QStringLiteral("from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where "
                       "izdel.id=smena.i_id and vid_oper.id=oper.vid"),
        QStringLiteral("and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 "),
        QStringLiteral("group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"),
    }.join(QLatin1Char('\n'));
}

} // namespace

ProductionSummary::ProductionSummary(Database& db) : summaryRows(db, QStringLiteral("XLS_Rep"), statement())
{
    summaryRows.setNumericalPrecisionPolicy(QSql::HighPrecision);
}

QString ProductionSummary::operationText(const QString& kindName, int color)
{
    const QString kind = kindName.trimmed();
    if (color == 1)
        return kind + QStringLiteral(" (грунт)");
    if (color > 1)
        return kind + QStringLiteral(" (цвет: %1)").arg(color);
    return kind;
}

QString ProductionSummary::generalNumber(const QVariant& value)
{
    if (value.isNull())
        return {};
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    if (!ok)
        return value.toString().trimmed();
    return QString::number(number, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

bool ProductionSummary::write(ExcelBook& book, const QDate& from, const QDate& to, const RowFilter& filter,
                              const std::function<void(int written, int count)>& progress)
{
    struct Closer {
        Dataset& ds;
        ~Closer() { ds.close(); }
    } closer{summaryRows};
    summaryRows.close();
    summaryRows.setParam(QStringLiteral("data1"), from);
    summaryRows.setParam(QStringLiteral("data2"), to);
    summaryRows.setFilter(filter);
    summaryRows.open();
    if (book.OpenExcelBook(QString()) == -1)
        return false;
    const int count = summaryRows.recordCount();
    progress(0, count);
    const QStringList header{QStringLiteral("Наименование"), QStringLiteral("Операция"),
                             QStringLiteral("Вид продукции"), QStringLiteral("Коробки"), QStringLiteral("Кол-во")};
    for (int column = 1; column <= header.size(); ++column)
        book.WriteExcelCell(1, column, 1, header[column - 1]);
    for (int rec = 1; rec <= count; ++rec) {
        summaryRows.setRecNo(rec);
        const int row = rec + 1;
        book.WriteExcelCell(1, 1, row, summaryRows.field(QStringLiteral("nom")).asString().trimmed());
        book.WriteExcelCell(1, 2, row,
                            operationText(summaryRows.field(QStringLiteral("vid")).asString(),
                                          summaryRows.field(QStringLiteral("color")).asInteger()));
        book.WriteExcelCell(1, 3, row, productKindText(summaryRows.field(QStringLiteral("naimen")).asInteger()));
        book.WriteExcelCell(1, 4, row, generalNumber(summaryRows.field(QStringLiteral("mass")).value()));
        book.WriteExcelCell(1, 5, row, summaryRows.field(QStringLiteral("kolvo")).asString().trimmed());
        progress(rec, count);
    }
    book.ShowExcel(true);
    return true;
}
