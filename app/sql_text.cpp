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

} // namespace sql
