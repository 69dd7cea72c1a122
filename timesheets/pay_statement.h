#pragma once
// The pay statement of a worker for a month ("Расчетный листок"), A4 on the band engine: every
// register entry of the month (date, shift, product, operation, colour, quantity, rejects, hours,
// price as stored, amount), the household and average piece-rate works (date, kind, day or night,
// hours, price per hour, amount), their subtotals, the month's total and the signature lines.
// The piece-work subtotal is the worker's figure of the piece-work timesheet and the total the
// figure of the general timesheet: the same statements' sums, rounded as they round them.
#include "band_report.h"
#include "database.h"
#include "dataset.h"
#include "outcome.h"
#include "timesheet_month.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

// The statements of a month read in one statement, laid out one worker at a time.
class PayStatements {
public:
    // Reads the lines of every worker of the month's timesheet, in the timesheet's order (by
    // name), or of the one worker (listed even without timesheet rows). Throws DbError.
    PayStatements(Database& db, QDate month, std::optional<int> workerId = std::nullopt);
    ~PayStatements();

    int workerCount() const { return int(workers_.size()); }
    // The report of the worker at `index` (0-based), laid out; valid until the next call.
    report::BandReport& statementOf(int index);

private:
    struct Worker {
        int first;  // the worker's lines in rows_
        int count;
    };
    TimesheetMonth month_;
    QStringList fields_;
    QVector<QVector<QVariant>> rows_;
    QVector<Worker> workers_;
    Dataset lines_;
    std::unique_ptr<report::BandReport> report_;
};

// Writes the statements of the month (every worker of the month's timesheet in its order, or
// one worker), each worker from a new page, into one PDF at `path` (".pdf" added when missing).
// The file is written whole or not at all: into a temporary file renamed at the end, replacing
// a file of that name. `progress(done, total)` is told of each worker written and returns false
// to cancel (refused with "Запись листков отменена.", nothing written). Refused when there is no worker to
// write or the file cannot be written. Throws DbError on a database failure.
Outcome writePayStatements(Database& db, QDate month, std::optional<int> workerId, const QString& path,
                           const std::function<bool(int done, int total)>& progress = {});

// The file "Расчетные листки 03.2024.pdf" in `folder`, with " (2)", " (3)" … when taken.
QString payStatementsFileName(const QString& folder, QDate month);
