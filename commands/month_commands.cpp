#include "command_runs.h"

#include "command_session.h"
#include "data_module.h"
#include "month_check.h"
#include "pay_statement.h"

#include <cstdio>

ExitCode statementCommand(CommandSession& session, const CommandRequest& request)
{
    if (session.role() != Role::FullRights)
        return refuseWith(QStringLiteral("Недостаточно прав для расчетных листков."));
    std::optional<int> worker;
    if (request.has(QStringLiteral("worker")))
        worker = request.option(QStringLiteral("worker")).toInt();
    ProgressLine progress(QStringLiteral("Расчетные листки"));
    // The statements' own writing is whole or nothing (a temporary file renamed at the end).
    const Outcome written = writePayStatements(session.dataModule().reading.forReading(), request.month(), worker,
                                               request.option(QStringLiteral("output")), [&](int done, int total) {
                                                   progress.show(done, total);
                                                   return true;
                                               });
    if (!written) {
        // Nothing to write (no such worker, nobody in the month's timesheet) or a file that could
        // not be written: the arguments ask for what cannot be.
        tellError(written.refusal());
        return ExitCode::BadArguments;
    }
    return ExitCode::Done;
}

ExitCode checkCommand(CommandSession& session, const CommandRequest& request)
{
    if (session.role() != Role::FullRights)
        return refuseWith(QStringLiteral("Недостаточно прав для сверки табеля."));
    const QDate month = request.month();
    // A repair reads the differences where it writes them; a check where the reports read.
    Database& reading = request.repair ? session.db() : session.dataModule().reading.forReading();
    const QVector<CellDifference> differences = findMonthDifferences(reading, month);
    for (const CellDifference& d : differences)
        std::printf("%s\n", differenceText(d).toUtf8().constData());
    std::fflush(stdout);
    if (!request.repair)
        return differences.isEmpty() ? ExitCode::Done : ExitCode::Differences;
    const Outcome repaired = repairMonth(session.db(), month);
    return repaired ? ExitCode::Done : refuseWith(repaired.refusal());
}
