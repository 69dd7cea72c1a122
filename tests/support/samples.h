#pragma once
// Small examples of both output layers, used by the tests and the benchmark: a workbook
// that uses every cell option, and a two-level grouped report with sums.
#include "band_report.h"

class ExcelBook;

namespace samples {

// Fills sheet 1 of an opened book: headings (text, bold, fitted), numbers written with a
// comma and a point, texts that look like numbers, a cell written twice and an empty text.
void writeWorkbook(ExcelBook& book);

// `rows` rows of (shop, area, fio, kolvo, summa), ordered by shop and area: three shops,
// four areas per shop.
QString reportStatement(int rows);

// A report on reportStatement's fields: a repeated heading with the grand total, groups by
// shop and by area with their sums, the detail with a computed column, the page number.
// The title is the text item "title".
std::unique_ptr<report::BandReport> groupedReport(Dataset& data);

} // namespace samples
