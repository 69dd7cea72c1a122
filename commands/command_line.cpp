#include "command_line.h"

#include "command_request.h"
#include "command_runs.h"
#include "command_session.h"
#include "db_error.h"
#include "db_messages.h"

#include <cstdio>
#include <functional>

namespace {

bool asksForHelp(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")) ||
           arguments.value(0) == QLatin1String("help");
}

using CommandRun = std::function<ExitCode(CommandSession&, const CommandRequest&)>;

CommandRun runOf(const QString& command)
{
    if (command == QLatin1String("export"))
        return exportTimesheetCommand;
    if (command == QLatin1String("report"))
        return reportCommand;
    if (command == QLatin1String("statement"))
        return statementCommand;
    if (command == QLatin1String("check"))
        return checkCommand;
    return {};
}

} // namespace

bool isCommandLine(const QStringList& arguments)
{
    static const QStringList words{QStringLiteral("export"), QStringLiteral("report"), QStringLiteral("statement"),
                                   QStringLiteral("check"),  QStringLiteral("help"),   QStringLiteral("--help"),
                                   QStringLiteral("-h")};
    return !arguments.isEmpty() && words.contains(arguments.first());
}

bool commandNeedsFonts(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    return command == QLatin1String("report") || command == QLatin1String("statement");
}

QString commandLineHelp()
{
    return QStringLiteral(
        "Табель: учет выработки и табели.\n"
        "\n"
        "Без команды запускается программа с окнами:\n"
        "  tabel [БАЗА СЕРВЕР]\n"
        "\n"
        "Команды (работают без экрана):\n"
        "  tabel export timesheet --month ГГГГ-ММ --kind piecework|household|average|general|shifts -o ФАЙЛ.xlsx\n"
        "      табель месяца в книгу Excel, как кнопка «Excel» окна табеля\n"
        "  tabel report workers|workers-detailed|products|products-detailed --from ГГГГ-ММ-ДД --to ГГГГ-ММ-ДД\n"
        "               [--kind all|finished|blanks] -o ФАЙЛ.pdf\n"
        "      отчет за период в PDF, как «Сохранить в PDF» его просмотра\n"
        "  tabel statement --month ГГГГ-ММ [--worker НОМЕР] -o ФАЙЛ.pdf\n"
        "      расчетные листки месяца (всем рабочим или одному)\n"
        "  tabel check --month ГГГГ-ММ [--repair]\n"
        "      сверка табеля месяца с записями; --repair исправляет расхождения\n"
        "  tabel --version\n"
        "      версия и сборка программы\n"
        "\n"
        "После параметров команды можно указать базу данных и сервер, как при запуске программы;\n"
        "порт, пользователь и пароль берутся из PGPORT, PGUSER и PGPASSWORD.\n"
        "Слово входа: --login СЛОВО или переменная TABEL_LOGIN; права роли те же, что в окнах.\n"
        "Файл результата пишется целиком или не пишется вовсе.\n"
        "\n"
        "Коды завершения:\n"
        "  0  готово\n"
        "  1  check нашла расхождения (по одному в строке на stdout)\n"
        "  2  неверные аргументы или файл результата не записать\n"
        "  3  отказано: слово входа, права роли, закрытый месяц, устаревшая сборка\n"
        "  4  база данных недоступна или вернула ошибку\n");
}

int runCommandLine(const QStringList& arguments, BuildStamp stamp)
{
    if (asksForHelp(arguments)) {
        std::fputs(commandLineHelp().toUtf8().constData(), stdout);
        return int(ExitCode::Done);
    }
    QString error;
    const std::optional<CommandRequest> request = readCommandLine(arguments, &error);
    if (!request) {
        tellError(error);
        return int(ExitCode::BadArguments);
    }
    const CommandRun run = runOf(request->command);
    if (!run) {
        tellError(QStringLiteral("Команда %1 в этой сборке недоступна.").arg(request->command));
        return int(ExitCode::BadArguments);
    }
    if (request->has(QStringLiteral("output"))) {
        if (const std::optional<QString> fault = outputFolderFault(request->option(QStringLiteral("output")))) {
            tellError(*fault);
            return int(ExitCode::BadArguments);
        }
    }
    CommandSession session(stamp);
    if (const std::optional<ExitCode> failed = session.open(*request))
        return int(*failed);
    try {
        return int(run(session, *request));
    } catch (const DbError& failure) {
        qWarning("The command failed: %s", qPrintable(failure.message()));
        tellError(userMessage(failure));
        return int(ExitCode::DatabaseFailed);
    }
}
