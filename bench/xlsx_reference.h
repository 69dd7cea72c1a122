#pragma once
// The limit of the spreadsheet benchmarks: cells written straight with libxlsxwriter, row by row,
// with nothing between the values and the file. The cells are prepared before the clock runs.
#include <QString>
#include <string>
#include <vector>

namespace bench::xlsx {

struct Cell {
    int row = 0;     // from 0
    int column = 0;  // from 0
    bool isNumber = false;
    double number = 0;
    std::string text;  // UTF-8, when not a number
    bool textFormat = false;  // the "@" number format
    bool bold = false;
};

struct Cells {
    std::vector<Cell> cells;  // in row order, then column order
    std::vector<std::pair<int, double>> widths;  // column (from 0), width in character units
};

// The cells, column widths, text formats and bold of a saved workbook's first sheet (read back
// with openpyxl); empty with `error` set when it cannot be read.
Cells readBack(const QString& path, QString* error);

// Writes the cells into a new workbook at `path` in constant-memory mode.
void writeDirect(const Cells& cells, const QString& path);

} // namespace bench::xlsx
