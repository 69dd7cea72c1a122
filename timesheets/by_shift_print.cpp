#include "by_shift_print.h"

#include "excel_book.h"
#include "month_choice.h"

#include <QStringList>

using namespace report;

namespace {

constexpr double kFirstDay = 81;  // the cells of days 1..31 run from here
constexpr double kLastDayEnd = 260;
constexpr double kDayWidth = 5.3;
constexpr double kTotalLeft = 265;

} // namespace

QString ByShiftPrint::statement()
{
    QStringList sums;
    for (int k = 1; k <= 31; ++k)
        sums << QStringLiteral("sum(d%1) as sd%1").arg(k);
    return QStringLiteral("select person.s_caption fio,%1 from accounts_dep.h_tabel, cmn_contractor.person person where\n"
                          "h_tabel.w_id=person.s_code::t_integer and month=:mnth and\n"
                          "year=:yea group by fio order by fio")
        .arg(sums.join(u','));
}

double ByShiftPrint::dayLeft(int day) { return kFirstDay + (day - 1) * (kLastDayEnd - kDayWidth - kFirstDay) / 30; }

QString ByShiftPrint::title(TimesheetMonth month)
{
    return month.heading() + QStringLiteral(" г.");
}

qint64 ByShiftPrint::total(const Dataset& ds)
{
    qint64 sum = 0;
    for (int k = 1; k <= 31; ++k)
        sum += ds.field(QStringLiteral("sd%1").arg(k)).asLargeInt();
    return sum;
}

ByShiftPrint::ByShiftPrint(Database& db)
    : query_(db, QStringLiteral("H_Tabel"), statement()), layout_(&query_)
{
    layout_.setOrientation(QPageLayout::Landscape);
    layout_.setPreviewZoom(PreviewZoom::WholePage);
    layout_.setCaption(QStringLiteral("Табель по сменам"));

    Band& header = layout_.pageHeader().frame(TopEdge | BottomEdge);
    header.text(0, kFirstDay - 1, {}).name(QStringLiteral("QRLabel33")).bold();
    for (int day = 1; day <= 31; ++day)
        header.text(dayLeft(day), kDayWidth, QString::number(day)).bold().center().frame(LeftEdge | RightEdge);
    header.text(kTotalLeft, 12, QStringLiteral("Итого")).bold();

    // Long names are cut at the name cell's edge, never drawn into the day cells.
    Band& line = layout_.detail().frame(TopEdge | BottomEdge);
    line.field(0, 80, QStringLiteral("fio")).overflow(Overflow::Clip);
    for (int day = 1; day <= 31; ++day) {
        Item& cell = line.field(dayLeft(day), kDayWidth, QStringLiteral("sd%1").arg(day)).size(9).center();
        if (day % 2 == 1)
            cell.frame(LeftEdge | RightEdge);
    }
    line.expr(kTotalLeft, 10, [](const Dataset& ds) { return QVariant(total(ds)); }).bold().center();

    layout_.pageFooter().pageNumber(268, 10).right();
}

void ByShiftPrint::setMonth(TimesheetMonth month)
{
    query_.setParam(QStringLiteral("mnth"), month.month);
    query_.setParam(QStringLiteral("yea"), month.year);
}

void ByShiftPrint::run(TimesheetMonth month, QWidget* parent)
{
    runReport(layout_,
              {.parameters = [this, month](Dataset&) { setMonth(month); },
               .filter = {},
               .titleItem = QStringLiteral("QRLabel33"),
               .title = title(month)},
              parent);
}

void ByShiftPrint::exportTo(ExcelBook& book, Dataset& ds, const QString& heading,
                            const std::function<void(int written)>& written)
{
    writeTimesheetTitles(book, heading, 2);
    book.WriteExcelCell(1, 33, 2, QStringLiteral("Итого"), true, true, true);

    int row = 3;
    for (ds.first(); !ds.eof(); ds.next(), ++row) {
        book.WriteExcelCell(1, 1, row, ds.field(QStringLiteral("fio")).asString(), true, true, false);
        for (int day = 1; day <= 31; ++day)
            book.WriteExcelCell(1, day + 1, row, displayText(ds.field(QStringLiteral("sd%1").arg(day)).value()), false,
                                true, false);
        book.WriteExcelCell(1, 33, row, QString::number(total(ds)), false, true, false);
        if (written)
            written(row - 2);
    }
}
