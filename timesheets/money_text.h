#pragma once
// Money as the timesheets show it: the exact decimal text the database gave ("1260.0000") with
// the locale's decimal comma, at least two decimals and no further trailing zeros ("1260,00",
// "12,3456"). A whole number ("0") and an empty value stay as they are.
#include <QLocale>
#include <QString>
#include <QVariant>

inline QString moneyText(const QVariant& value)
{
    QString text = value.toString();
    const int point = text.indexOf(u'.');
    if (point < 0)
        return text;
    while (text.size() > point + 3 && text.endsWith(u'0'))
        text.chop(1);
    return text.replace(point, 1, QLocale().decimalPoint());
}
