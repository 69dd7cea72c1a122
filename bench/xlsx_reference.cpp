#include "xlsx_reference.h"

#include "xlsx_reader.h"

#include <QJsonArray>
#include <xlsxwriter.h>

#include <algorithm>

namespace bench::xlsx {

namespace {

// "AB12" → column 27 - 1, row 12 - 1.
std::pair<int, int> parseCoordinate(const QString& coordinate)
{
    int column = 0, i = 0;
    while (i < coordinate.size() && coordinate[i].isLetter())
        column = column * 26 + (coordinate[i++].unicode() - 'A' + 1);
    return {coordinate.mid(i).toInt() - 1, column - 1};
}

int columnOfLetters(const QString& letters) { return parseCoordinate(letters + QStringLiteral("1")).second; }

} // namespace

Cells readBack(const QString& path, QString* error)
{
    const QJsonObject book = readXlsx(path, error);
    const QJsonObject sheet = book.value(QStringLiteral("sheets")).toArray().first().toObject();
    Cells out;
    const QJsonObject cells = sheet.value(QStringLiteral("cells")).toObject();
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        const QJsonObject c = it.value().toObject();
        Cell cell;
        std::tie(cell.row, cell.column) = parseCoordinate(it.key());
        cell.isNumber = c.value(QStringLiteral("type")).toString() == QLatin1String("n");
        if (cell.isNumber)
            cell.number = c.value(QStringLiteral("value")).toDouble();
        else
            cell.text = c.value(QStringLiteral("value")).toString().toStdString();
        cell.textFormat = c.value(QStringLiteral("format")).toString() == QLatin1String("@");
        cell.bold = c.value(QStringLiteral("bold")).toBool();
        out.cells.push_back(std::move(cell));
    }
    std::sort(out.cells.begin(), out.cells.end(),
              [](const Cell& a, const Cell& b) { return std::pair(a.row, a.column) < std::pair(b.row, b.column); });
    const QJsonObject widths = sheet.value(QStringLiteral("widths")).toObject();
    for (auto it = widths.begin(); it != widths.end(); ++it)
        out.widths.emplace_back(columnOfLetters(it.key()), it.value().toDouble());
    return out;
}

void writeDirect(const Cells& cells, const QString& path)
{
    const QByteArray file = path.toLocal8Bit();
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(file.constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_format* formats[2][2] = {{nullptr, workbook_add_format(wb)}, {workbook_add_format(wb), workbook_add_format(wb)}};
    format_set_bold(formats[0][1]);
    format_set_num_format(formats[1][0], "@");
    format_set_num_format(formats[1][1], "@");
    format_set_bold(formats[1][1]);
    for (const auto& [column, width] : cells.widths)
        worksheet_set_column(ws, lxw_col_t(column), lxw_col_t(column), width, nullptr);
    for (const Cell& c : cells.cells) {
        lxw_format* format = formats[c.textFormat][c.bold];
        if (c.isNumber)
            worksheet_write_number(ws, lxw_row_t(c.row), lxw_col_t(c.column), c.number, format);
        else
            worksheet_write_string(ws, lxw_row_t(c.row), lxw_col_t(c.column), c.text.c_str(), format);
    }
    workbook_close(wb);
}

} // namespace bench::xlsx
