#include "command_request.h"

namespace {

struct CommandShape {
    QString command;
    QStringList subjects;  // empty: the command takes none
    QStringList required;
    QStringList allowed;   // besides the required ones and --login
    QStringList kinds;     // the values of --kind
};

const QList<CommandShape>& shapes()
{
    static const QList<CommandShape> list{
        {QStringLiteral("export"), {QStringLiteral("timesheet")}, {QStringLiteral("month"), QStringLiteral("kind"), QStringLiteral("output")}, {},
         {QStringLiteral("piecework"), QStringLiteral("household"), QStringLiteral("average"), QStringLiteral("general"), QStringLiteral("shifts")}},
        {QStringLiteral("report"),
         {QStringLiteral("workers"), QStringLiteral("workers-detailed"), QStringLiteral("products"), QStringLiteral("products-detailed")},
         {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("output")},
         {QStringLiteral("kind")},
         {QStringLiteral("all"), QStringLiteral("finished"), QStringLiteral("blanks")}},
        {QStringLiteral("statement"), {}, {QStringLiteral("month"), QStringLiteral("output")}, {QStringLiteral("worker")}, {}},
        {QStringLiteral("check"), {}, {QStringLiteral("month")}, {QStringLiteral("repair")}, {}},
    };
    return list;
}

const QStringList& valuedOptions()
{
    static const QStringList names{QStringLiteral("month"), QStringLiteral("kind"),   QStringLiteral("from"),
                                   QStringLiteral("to"),    QStringLiteral("worker"), QStringLiteral("output"),
                                   QStringLiteral("login")};
    return names;
}

const CommandShape* shapeOf(const QString& command)
{
    for (const CommandShape& shape : shapes())
        if (shape.command == command)
            return &shape;
    return nullptr;
}

// Splits the arguments into options and positional words; false with `error` on a mistake.
bool splitArguments(const QStringList& arguments, CommandRequest& request, QStringList& words, QString* error)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!arg.startsWith(u'-') || arg == QLatin1String("-")) {
            words.append(arg);
            continue;
        }
        QString name = arg == QLatin1String("-o") ? QStringLiteral("output") : arg.mid(2);
        QString value;
        bool inline_ = false;
        if (const int eq = name.indexOf(u'='); eq > 0 && arg.startsWith(QLatin1String("--"))) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            inline_ = true;
        }
        if (!arg.startsWith(QLatin1String("--")) && arg != QLatin1String("-o")) {
            *error = QStringLiteral("Неизвестный параметр «%1»; список параметров: tabel --help.").arg(arg);
            return false;
        }
        if (name == QLatin1String("repair") && !inline_) {
            request.repair = true;
            continue;
        }
        if (!valuedOptions().contains(name)) {
            *error = QStringLiteral("Неизвестный параметр «%1»; список параметров: tabel --help.").arg(arg);
            return false;
        }
        if (!inline_) {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("У параметра «%1» нет значения.").arg(arg);
                return false;
            }
            value = arguments[++i];
        }
        if (request.options.contains(name)) {
            *error = QStringLiteral("Параметр --%1 указан дважды.").arg(name);
            return false;
        }
        request.options.insert(name, value);
    }
    return true;
}

bool checkShape(const CommandShape& shape, CommandRequest& request, QStringList words, QString* error)
{
    if (!shape.subjects.isEmpty()) {
        if (words.isEmpty() || !shape.subjects.contains(words.first())) {
            *error = QStringLiteral("Команде %1 нужен один из предметов: %2.")
                         .arg(shape.command, shape.subjects.join(QStringLiteral(", ")));
            return false;
        }
        request.subject = words.takeFirst();
    }
    if (words.size() > 2) {
        *error = QStringLiteral("Лишний аргумент «%1»: после команды идут только база данных и сервер.").arg(words[2]);
        return false;
    }
    request.connection = words;
    for (const QString& name : shape.required) {
        if (!request.has(name)) {
            *error = name == QLatin1String("output")
                         ? QStringLiteral("Не указан файл результата (-o ФАЙЛ).")
                         : QStringLiteral("Не указан параметр --%1.").arg(name);
            return false;
        }
    }
    for (auto it = request.options.cbegin(); it != request.options.cend(); ++it) {
        if (it.key() != QLatin1String("login") && !shape.required.contains(it.key()) && !shape.allowed.contains(it.key())) {
            *error = QStringLiteral("Параметр --%1 не относится к команде %2.").arg(it.key(), shape.command);
            return false;
        }
    }
    if (request.has(QStringLiteral("kind")) && !shape.kinds.contains(request.option(QStringLiteral("kind")))) {
        *error = QStringLiteral("Параметр --kind команды %1 принимает значения: %2.")
                     .arg(shape.command, shape.kinds.join(QStringLiteral(", ")));
        return false;
    }
    if (request.repair && !shape.allowed.contains(QStringLiteral("repair"))) {
        *error = QStringLiteral("Параметр --repair относится только к команде check.");
        return false;
    }
    return true;
}

bool checkValues(const CommandRequest& request, QString* error)
{
    if (request.has(QStringLiteral("month")) && !request.month().isValid()) {
        *error = QStringLiteral("Месяц задается как ГГГГ-ММ, например 2024-02.");
        return false;
    }
    for (const char* name : {"from", "to"}) {
        const QString key = QLatin1String(name);
        if (request.has(key) && !QDate::fromString(request.option(key), QStringLiteral("yyyy-MM-dd")).isValid()) {
            *error = QStringLiteral("Дата --%1 задается как ГГГГ-ММ-ДД, например 2024-02-01.").arg(key);
            return false;
        }
    }
    if (request.has(QStringLiteral("from")) && request.from() >= request.to()) {
        *error = QStringLiteral("Начало периода (--from) должно быть раньше его конца (--to).");
        return false;
    }
    if (request.has(QStringLiteral("worker"))) {
        bool ok = false;
        if (request.option(QStringLiteral("worker")).toInt(&ok) <= 0 || !ok) {
            *error = QStringLiteral("Номер рабочего (--worker) должен быть целым положительным числом.");
            return false;
        }
    }
    if (request.has(QStringLiteral("output")) && request.option(QStringLiteral("output")).isEmpty()) {
        *error = QStringLiteral("Не указан файл результата (-o ФАЙЛ).");
        return false;
    }
    return true;
}

} // namespace

QDate CommandRequest::month() const
{
    const QDate first = QDate::fromString(option(QStringLiteral("month")) + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    return first;
}

QDate CommandRequest::from() const { return QDate::fromString(option(QStringLiteral("from")), QStringLiteral("yyyy-MM-dd")); }

QDate CommandRequest::to() const { return QDate::fromString(option(QStringLiteral("to")), QStringLiteral("yyyy-MM-dd")); }

std::optional<CommandRequest> readCommandLine(const QStringList& arguments, QString* error)
{
    CommandRequest request;
    QStringList words;
    if (!splitArguments(arguments, request, words, error))
        return std::nullopt;
    if (words.isEmpty()) {
        *error = QStringLiteral("Не указана команда; список команд: tabel --help.");
        return std::nullopt;
    }
    request.command = words.takeFirst();
    const CommandShape* shape = shapeOf(request.command);
    if (!shape) {
        *error = QStringLiteral("Неизвестная команда «%1»; список команд: tabel --help.").arg(request.command);
        return std::nullopt;
    }
    if (!checkShape(*shape, request, words, error) || !checkValues(request, error))
        return std::nullopt;
    return request;
}
