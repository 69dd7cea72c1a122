#include "command_runs.h"

#include "band_report.h"
#include "by_shift_print.h"
#include "command_session.h"
#include "data_module.h"
#include "excel_book.h"
#include "production_reports.h"
#include "timesheet_store.h"
#include "whole_file.h"
#include "worker_reports.h"

#include <QDir>

#include <memory>

namespace {

std::optional<TimesheetMode> timesheetMode(const QString& kind)
{
    if (kind == QLatin1String("piecework"))
        return TimesheetMode::PieceWork;
    if (kind == QLatin1String("household"))
        return TimesheetMode::Household;
    if (kind == QLatin1String("average"))
        return TimesheetMode::AveragePieceRate;
    if (kind == QLatin1String("general"))
        return TimesheetMode::General;
    return std::nullopt;  // "shifts"
}

// Fills the book with the month's timesheet of `kind` the way the windows' "Excel" does.
void fillTimesheetBook(Database& db, ExcelBook& book, const QString& kind, TimesheetMonth month, ProgressLine& progress)
{
    const QString heading = month.heading();
    if (const std::optional<TimesheetMode> mode = timesheetMode(kind)) {
        Dataset rows(db, QStringLiteral("H_Tabel"), TimesheetStore::statement(*mode));
        TimesheetStore::setMonth(rows, *mode, month);
        rows.open();
        const int count = rows.recordCount();
        TimesheetStore::exportTimesheet(book, rows, *mode, heading, [&](int written) { progress.show(written, count); });
        return;
    }
    ByShiftPrint print(db);
    Dataset& rows = print.query();
    print.setMonth(month);
    rows.open();
    const int count = rows.recordCount();
    ByShiftPrint::exportTo(book, rows, heading, [&](int written) { progress.show(written, count); });
}

std::unique_ptr<PeriodReport> makeReport(Database& db, const QString& subject)
{
    if (subject == QLatin1String("workers"))
        return std::make_unique<WorkerReport>(db);
    if (subject == QLatin1String("workers-detailed"))
        return std::make_unique<DetailedWorkerReport>(db);
    if (subject == QLatin1String("products"))
        return std::make_unique<ProductionReport>(db);
    return std::make_unique<DetailedProductionReport>(db);
}

ExitCode cannotWrite(const QString& path, const QString& why)
{
    tellError(why.isEmpty() ? QStringLiteral("Не удалось записать файл %1.").arg(QDir::toNativeSeparators(path))
                            : QStringLiteral("Не удалось записать файл %1: %2.").arg(QDir::toNativeSeparators(path), why));
    return ExitCode::BadArguments;
}

ProductKind productKind(const QString& kind)
{
    if (kind == QLatin1String("finished"))
        return ProductKind::Finished;
    if (kind == QLatin1String("blanks"))
        return ProductKind::Blanks;
    return ProductKind::All;
}

} // namespace

ExitCode exportTimesheetCommand(CommandSession& session, const CommandRequest& request)
{
    // The timesheets are open to full rights only, as their menu is.
    if (session.role() != Role::FullRights)
        return refuseWith(QStringLiteral("Недостаточно прав для выгрузки табеля."));
    ExcelBook book;
    book.startNew();
    {
        ProgressLine progress(QStringLiteral("Выгрузка табеля"));
        fillTimesheetBook(session.dataModule().reading.forReading(), book, request.option(QStringLiteral("kind")), TimesheetMonth::of(request.month()),
                          progress);
    }
    const QString output = request.option(QStringLiteral("output"));
    QString why;
    const bool written = writeWhole(output, [&](const QString& part) { return book.saveAs(part, &why); });
    book.discard();
    return written ? ExitCode::Done : cannotWrite(output, why);
}

ExitCode reportCommand(CommandSession& session, const CommandRequest& request)
{
    // As the summary reports window: the foremen and the warehouse have the detailed production
    // report only, the warehouse for finished products only.
    const Role role = session.role();
    const QString subject = request.subject;
    ProductKind kind = productKind(request.option(QStringLiteral("kind")));
    if ((role == Role::Foremen || role == Role::Warehouse) && subject != QLatin1String("products-detailed"))
        return refuseWith(QStringLiteral("Недостаточно прав для этого отчета."));
    if (role == Role::Warehouse) {
        if (request.has(QStringLiteral("kind")) && kind != ProductKind::Finished)
            return refuseWith(QStringLiteral("Складу доступен отчет только по готовой продукции."));
        kind = ProductKind::Finished;
    }
    const std::unique_ptr<PeriodReport> report = makeReport(session.dataModule().reading.forReading(), subject);
    const QString output = request.option(QStringLiteral("output"));
    bool written = false;
    QString why;
    report->runInto(request.from(), request.to(), productKindFilter(kind), [&](report::BandReport& layout) {
        written = writeWhole(output, [&](const QString& part) { return layout.savePdf(part, &why); });
    });
    return written ? ExitCode::Done : cannotWrite(output, why);
}
