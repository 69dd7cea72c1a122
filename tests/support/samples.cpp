#include "samples.h"

#include "excel_book.h"

namespace samples {

void writeWorkbook(ExcelBook& book)
{
    const bool text = true, fit = true, bold = true;
    book.WriteExcelCell(1, 1, 1, QStringLiteral("Образец"), text, false, bold);
    const QStringList headings{QStringLiteral("Марка"), QStringLiteral("Количество"), QStringLiteral("Цена"),
                               QStringLiteral("Код"), QStringLiteral("Примечание")};
    for (int c = 0; c < headings.size(); ++c)
        book.WriteExcelCell(1, c + 1, 2, headings[c], text, fit, bold);

    // Without the text option plain decimals become numbers; everything else stays text.
    book.WriteExcelCell(1, 1, 3, QStringLiteral("Ёлка «А» O'Brien"), text, fit, false);
    book.WriteExcelCell(1, 2, 3, QStringLiteral("12"));
    book.WriteExcelCell(1, 3, 3, QStringLiteral("12,5"));
    book.WriteExcelCell(1, 4, 3, QStringLiteral("007"));
    book.WriteExcelCell(1, 5, 3, QStringLiteral("1E5"));
    book.WriteExcelCell(1, 6, 3, QStringLiteral("текст без подбора ширины"));

    book.WriteExcelCell(1, 1, 4, QStringLiteral("Шкаф"), text, fit, false);
    book.WriteExcelCell(1, 2, 4, QStringLiteral("-3.25"), false, fit, false);
    book.WriteExcelCell(1, 3, 4, QStringLiteral("1 234"));
    book.WriteExcelCell(1, 4, 4, QStringLiteral("007"), text, fit, false);
    book.WriteExcelCell(1, 5, 4, QStringLiteral("123456789012345678"));

    // Cells written twice: the full form sets or clears bold, the short form leaves it;
    // the text format stays on the cell; an empty text changes nothing.
    book.WriteExcelCell(1, 1, 5, QStringLiteral("Жирный"), false, false, bold);
    book.WriteExcelCell(1, 1, 5, QStringLiteral("Обычный"), false, false, false);
    book.WriteExcelCell(1, 2, 5, QStringLiteral("5"), text, false, false);
    book.WriteExcelCell(1, 2, 5, QStringLiteral("6"));
    book.WriteExcelCell(1, 3, 5, QStringLiteral("Полужирный"), false, false, bold);
    book.WriteExcelCell(1, 3, 5, QStringLiteral("Итого"));
    book.WriteExcelCell(1, 4, 5, QStringLiteral("x"), text, false, bold);
    book.WriteExcelCell(1, 4, 5, QString(), false, fit, false);

    // Written after the column's last fit: does not widen it.
    book.WriteExcelCell(1, 1, 6, QStringLiteral("очень длинный текст, записанный после подбора ширины"));
}

QString reportStatement(int rows)
{
    return QStringLiteral(
               "select 'Цех ' || (g * 3 / %1 + 1) as shop,\n"
               "  'Участок ' || (g * 12 / %1 %% 4 + 1) as area,\n"
               "  'Рабочий ' || lpad((g + 1)::text, 5, '0') as fio,\n"
               "  (g %% 7 + 1) as kolvo,\n"
               "  round((g %% 7 + 1) * 12.35, 2)::numeric as summa\n"
               "from generate_series(0, %1 - 1) g\n"
               "order by 1, 2, 3")
        .arg(rows)
        .replace(QStringLiteral("%%"), QStringLiteral("%"));
}

std::unique_ptr<report::BandReport> groupedReport(Dataset& data)
{
    using namespace report;
    auto r = std::make_unique<BandReport>(&data);
    r->setCaption(QStringLiteral("Образец отчёта"));
    r->title().text(0, 190, QStringLiteral("Отчёт")).name(QStringLiteral("title")).bold().size(12);
    r->title().height(8);

    Group& all = r->addGroup();
    all.repeatHeader();
    Band& heading = all.header().background(QColor(0xF4, 0xF4, 0xF4)).frame(TopEdge | BottomEdge).bold();
    heading.text(0, 80, QStringLiteral("Рабочий"));
    heading.text(100, 25, QStringLiteral("Кол-во")).center();
    heading.text(130, 28, QStringLiteral("Сумма")).center();
    heading.text(160, 30, QStringLiteral("Без р/к")).center();
    Band& total = all.footer().background(QColor(0xDC, 0xDC, 0xDC)).frame(TopEdge | BottomEdge).bold().size(11);
    total.text(60, 30, QStringLiteral("Итого:"));
    total.sum(100, 25, QStringLiteral("kolvo"), QStringLiteral("#0")).center();
    total.sum(130, 28, QStringLiteral("summa"), QStringLiteral("#0.00")).center();

    Group& shop = r->addGroup(QStringLiteral("shop"));
    shop.header().background(QColor(0xE0, 0xE0, 0xE0)).field(0, 100, QStringLiteral("shop")).bold();
    Band& shopTotal = shop.footer().bold();
    shopTotal.text(0, 40, QStringLiteral("Итого по цеху"));
    shopTotal.field(40, 40, QStringLiteral("shop"));
    shopTotal.sum(100, 25, QStringLiteral("kolvo"), QStringLiteral("#0")).center();
    shopTotal.sum(130, 28, QStringLiteral("summa"), QStringLiteral("#0.00")).center();

    Group& area = r->addGroup(QStringLiteral("area"));
    area.header().field(5, 100, QStringLiteral("area")).bold();
    Band& areaTotal = area.footer().bold().size(9);
    areaTotal.text(5, 40, QStringLiteral("Итого по участку"));
    areaTotal.field(45, 30, QStringLiteral("area"));
    areaTotal.sum(100, 25, QStringLiteral("kolvo"), QStringLiteral("#0")).center().background(QColor(0xEF, 0xEF, 0xEF));
    areaTotal.sum(130, 28, QStringLiteral("summa"), QStringLiteral("#0.00")).center().background(QColor(0xEF, 0xEF, 0xEF));
    areaTotal.addSum(QStringLiteral("areaSumma"), [](const Dataset& d) { return d.field(QStringLiteral("summa")).value(); });
    areaTotal.value(160, 30, [](const Context& c) { return quotient(c.sum(QStringLiteral("areaSumma")), Decimal4::fromUnits(12000)); },
                    QStringLiteral("#0.000")).center();

    Band& row = r->detail();
    row.field(10, 70, QStringLiteral("fio"));
    row.field(100, 25, QStringLiteral("kolvo"), QStringLiteral("#0")).center();
    row.field(130, 28, QStringLiteral("summa"), QStringLiteral("#0.00")).center();
    row.expr(160, 30, [](const Dataset& d) { return d.field(QStringLiteral("summa")).asFloat() / 1.2; },
             QStringLiteral("#0.000")).center();

    r->pageFooter().value(120, 70, [](const Context& c) {
        return QStringLiteral("Страница %1 из %2").arg(c.page()).arg(c.pageCount());
    }).right();
    return r;
}

} // namespace samples
