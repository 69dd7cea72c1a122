#include "operations_list_store.h"

#include "change_seam.h"
#include "excel_book.h"
#include "operation_text.h"

namespace {

// A price as a spreadsheet number text: up to 15 significant digits with a point; a value
// that is no number is written as it is.
QString priceText(const QVariant& value)
{
    const QString text = value.toString().trimmed();
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? displayText(v) : text;
}

} // namespace

OperationsListStore::OperationsListStore(Database& db)
    : allOperations(
          db, QStringLiteral("XLS_Rep"),
          QStringLiteral("select izdel.MARKA, vid_oper.VID, oper.NAIMEN,(SELECT (CASE naimen WHEN 0 THEN 'Готовая "
                         "продукция' ELSE 'Заготовки' END)) as nmn, oper.CENA_new as cena, oper.id, oper.i_id,\n"
                         " oper.VID as oper_vid from accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER "
                         "where OPER.i_id=IZDEL.id \n"
                         "and oper.vid=vid_oper.id order by izdel.marka, vid_oper.vid, oper.naimen")),
      db_(db)
{
}

Outcome deleteOperations(Database& db, const QString& which, const Params& params)
{
    // The norm rows first, each with its history row (the operation's delete would cascade to them).
    if (Outcome norms = applyRowChange(db, DataKind::Norm, ChangeAction::Delete, QStringLiteral("accounts_dep.norm"),
                                       QStringLiteral("delete from accounts_dep.norm t using accounts_dep.oper o "
                                                      "where t.o_id=o.id and %1 returning %2")
                                           .arg(which, rowWrite::deleted(QStringLiteral("t"))),
                                       params);
        !norms)
        return norms;
    return applyRowChange(db, DataKind::Operation, ChangeAction::Delete, QStringLiteral("accounts_dep.oper"),
                          QStringLiteral("delete from accounts_dep.oper o where %1 returning %2")
                              .arg(which, rowWrite::deleted(QStringLiteral("o"))),
                          params);
}

Outcome OperationsListStore::remove(int operationId)
{
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        return deleteOperations(db_, QStringLiteral("o.id=:id"), {{QStringLiteral("id"), operationId}});
    });
}

QString OperationsListStore::productMark(int productId)
{
    return db_.scalar(QStringLiteral("select marka from accounts_dep.izdel where id=:id"), {{QStringLiteral("id"), productId}})
        .toString();
}

bool OperationsListStore::exportList(ExcelBook& book)
{
    allOperations.close();
    allOperations.open();
    if (book.OpenExcelBook(QString()) == -1) {
        allOperations.close();
        return false;
    }
    allOperations.first();
    const QStringList header{QStringLiteral("Марка"), QStringLiteral("Операция"), QStringLiteral("Цена"),
                             QStringLiteral("Вид")};
    for (int column = 1; column <= header.size(); ++column)
        book.WriteExcelCell(1, column, 1, header[column - 1]);
    for (int rec = 1; rec <= allOperations.recordCount(); ++rec) {
        allOperations.setRecNo(rec);
        const int row = rec + 1;
        book.WriteExcelCell(1, 1, row, allOperations.field(QStringLiteral("MARKA")).asString().trimmed());
        book.WriteExcelCell(1, 2, row, allOperations.field(QStringLiteral("VID")).asString().trimmed());
        book.WriteExcelCell(1, 3, row, priceText(allOperations.field(QStringLiteral("CENA")).value()));
        book.WriteExcelCell(1, 4, row, productKindText(allOperations.field(QStringLiteral("NAIMEN")).asInteger()));
    }
    book.ShowExcel(true);
    allOperations.close();
    return true;
}
