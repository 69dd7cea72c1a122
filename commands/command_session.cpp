#include "command_session.h"

#include "data_module.h"
#include "db_error.h"
#include "db_messages.h"
#include "messages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <cstdio>
#include <unistd.h>

void tellError(const QString& sentence)
{
    std::fprintf(stderr, "%s\n", sentence.toUtf8().constData());
    std::fflush(stderr);
}

namespace {

QString logFilePath()
{
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME", QDir::homePath() + QStringLiteral("/.cache"));
    return cache + QStringLiteral("/tabel/commands.log");
}

void writeLogLine(QtMsgType, const QMessageLogContext&, const QString& text)
{
    static QFile* file = [] {
        auto* f = new QFile(logFilePath());
        QDir().mkpath(QFileInfo(*f).absolutePath());
        if (!f->open(QIODevice::Append | QIODevice::Text)) {
            delete f;
            return static_cast<QFile*>(nullptr);
        }
        return f;
    }();
    if (!file)
        return;
    const QString line = QStringLiteral("%1 [%2] %3\n")
                             .arg(QDateTime::currentDateTime().toString(Qt::ISODate))
                             .arg(QCoreApplication::applicationPid())
                             .arg(text);
    file->write(line.toUtf8());
    file->flush();
}

} // namespace

void logCommandMessagesToFile()
{
    if (qEnvironmentVariable("TABEL_LOG") != QLatin1String("stderr"))
        qInstallMessageHandler(writeLogLine);
}

ExitCode refuseWith(const QString& sentence)
{
    tellError(sentence);
    return ExitCode::Refused;
}

// A message box of the shared code becomes a line on stderr; a question is answered No.
struct StderrMessages : msg::MessageService {
    StderrMessages() { msg::install(this); }
    ~StderrMessages() override { msg::install(nullptr); }
    void show(const QString& text, const QString&, msg::Icon) override { tellError(text); }
    bool ask(const QString&, const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&) override { return std::nullopt; }
};

CommandSession::CommandSession(BuildStamp stamp)
    : dm_(std::make_unique<DataModule>()), messages_(std::make_unique<StderrMessages>()), stamp_(stamp)
{
}

CommandSession::~CommandSession() = default;

Database& CommandSession::db() { return dm_->db; }

std::optional<ExitCode> CommandSession::open(const CommandRequest& request)
{
    const QString word = request.has(QStringLiteral("login"))
                             ? request.option(QStringLiteral("login"))
                             : QProcessEnvironment::systemEnvironment().value(QStringLiteral("TABEL_LOGIN"));
    if (word.trimmed().isEmpty()) {
        tellError(QStringLiteral("Не указано слово входа: задайте --login СЛОВО или переменную TABEL_LOGIN."));
        return ExitCode::Refused;
    }
    const std::optional<Role> role = roleForWord(word);
    if (!role) {
        tellError(QStringLiteral("Введены неверные данные."));
        return ExitCode::Refused;
    }
    role_ = *role;
    try {
        db().open(ConnectionSettings::fromArguments(request.connection));
    } catch (const DbError& error) {
        qWarning("The connection failed: %s", qPrintable(error.message()));
        tellError(QStringLiteral("Подключение к БД отсутсвует!!!"));
        return ExitCode::DatabaseFailed;
    }
    db().loginRole = role_;
    db().build = QStringLiteral("%1.%2").arg(stamp_.date).arg(stamp_.time);
    try {
        if (!checkVersion(*dm_, stamp_)) {
            tellError(QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."));
            return ExitCode::Refused;
        }
    } catch (const DbError& error) {
        tellError(userMessage(error));
        return ExitCode::DatabaseFailed;
    }
    return std::nullopt;
}

ProgressLine::ProgressLine(QString what) : what_(std::move(what)), terminal_(isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine()
{
    if (shown_)
        std::fputc('\n', stderr);
}

void ProgressLine::show(int done, int total)
{
    if (!terminal_)
        return;
    shown_ = true;
    std::fprintf(stderr, "\r%s: %d из %d", what_.toUtf8().constData(), done, total);
    std::fflush(stderr);
}

std::optional<QString> outputFolderFault(const QString& path)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return QStringLiteral("Папка файла результата не существует или недоступна для записи: %1.")
            .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (QFileInfo(path).isDir())
        return QStringLiteral("Файл результата %1 — это папка.").arg(QDir::toNativeSeparators(path));
    return std::nullopt;
}
