#include "db_messages.h"

#include "db_error.h"

#include <QRegularExpression>

namespace {

// The first line of the database's message, without its "ERROR:" prefix, statement excerpt
// ("LINE 1: …") and context.
QString firstLine(const QString& text)
{
    QString line = text.section(u'\n', 0, 0).trimmed();
    static const QRegularExpression prefix(QStringLiteral("^(ERROR|ОШИБКА|FATAL):\\s*"));
    line.remove(prefix);
    static const QRegularExpression state(QStringLiteral("\\s*\\(\\w{5}\\)\\s*$"));
    line.remove(state);
    return line;
}

QString captured(const QString& text, const QString& pattern)
{
    return QRegularExpression(pattern).match(text).captured(1);
}

// What a table's row is called when something still refers to it.
QString rowInUse(const QString& table)
{
    static const QList<std::pair<QString, QString>> names{
        {QStringLiteral("person"), QStringLiteral("Работник используется и не может быть удалён.")},
        {QStringLiteral("oper"), QStringLiteral("Операция используется и не может быть удалена.")},
        {QStringLiteral("vid_oper"), QStringLiteral("Вид операции используется и не может быть удалён.")},
        {QStringLiteral("gds_and_srv"), QStringLiteral("Изделие используется и не может быть удалено.")},
        {QStringLiteral("item"), QStringLiteral("Номенклатурная группа используется и не может быть удалена.")},
    };
    for (const auto& [name, message] : names)
        if (name == table)
            return message;
    return QStringLiteral("Запись используется другими данными и не может быть удалена.");
}

} // namespace

QString userMessage(const DbError& error)
{
    const QString text = error.message();
    const QString state = error.sqlState();
    if (error.connectionLost() || state.isEmpty())
        return text;  // the program's own texts, already in Russian
    // The refusals of the program's own schema (db/tabel.sql) are written for the user.
    if (state.startsWith(QLatin1String("TB")))
        return firstLine(text);
    if (state == QLatin1String("22001")) {
        const QString limit = captured(text, QStringLiteral("varying\\((\\d+)\\)"));
        return limit.isEmpty() ? QStringLiteral("Текст слишком длинный для поля базы данных.")
                               : QStringLiteral("Текст слишком длинный: поле вмещает не больше %1 знаков.").arg(limit);
    }
    if (state == QLatin1String("23503")) {
        // The table whose row is still referred to: 'delete on table "person" violates …'.
        const QString table = captured(text, QStringLiteral("on table \"(\\w+)\" violates"));
        return table.isEmpty() ? QStringLiteral("Запись используется другими данными и не может быть удалена.")
                               : rowInUse(table);
    }
    if (state == QLatin1String("22P02")) {
        const QString value = captured(text, QStringLiteral(": \"([^\"]*)\""));
        return QStringLiteral("Значение «%1» не является числом.").arg(value);
    }
    if (state == QLatin1String("22003"))
        return QStringLiteral("Число вне допустимых пределов.");
    if (state == QLatin1String("23505"))
        return QStringLiteral("Такая запись уже есть.");
    if (state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return QStringLiteral("Другая копия программы изменяла те же данные. Повторите действие.");
    if (state == QLatin1String("55P03") || state == QLatin1String("57014"))
        return QStringLiteral("Данные заняты другой копией программы. Повторите действие позже.");
    return QStringLiteral("Ошибка базы данных: %1").arg(firstLine(text));
}
