#pragma once
// The production summary of the summary reports window: the good quantity and the mass of each
// nomenclature group, kind of operation, colour and product kind over a period, written into
// a new workbook.
#include "dataset.h"

#include <QDate>
#include <functional>

class ExcelBook;

class ProductionSummary {
public:
    explicit ProductionSummary(Database& db);

    // Writes the header row and one row per summary row that passes `filter`; `progress`
    // gets (rows written, rows in all) after the book opened and after every row. False when
    // the book could not be opened (the message has been shown).
    bool write(ExcelBook& book, const QDate& from, const QDate& to, const RowFilter& filter,
               const std::function<void(int written, int count)>& progress);

    // Column 2: the kind of operation with " (грунт)" for colour tag 1 and " (цвет: N)" above.
    static QString operationText(const QString& kindName, int color);
    // Column 4: a number in the general format (up to 15 significant digits) with a comma.
    static QString generalNumber(const QVariant& value);

    Dataset summaryRows;
};
