#include "sql_text.h"

namespace sql {

QString quote(const QString& text)
{
    QString doubled = text;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}

QString date(const QDate& day)
{
    return QStringLiteral("to_date('%1', 'DD.MM.YYYY')").arg(day.toString(QStringLiteral("dd.MM.yyyy")));
}

QString number(double value, int decimals) { return QString::number(value, 'f', decimals); }

QString withDecimalSeparator(const QString& text, const QString& separator)
{
    qsizetype at = text.indexOf(u',');
    if (at < 0)
        at = text.indexOf(u'.');
    if (at < 0)
        return text;
    QString fixed = text;
    fixed.replace(at, 1, separator);
    return fixed;
}

QString decimalPoint(const QString& typed) { return withDecimalSeparator(typed.trimmed(), QStringLiteral(".")); }

} // namespace sql
