#pragma once
// One month of the monthly table: its dates run from the first day (included) to the first day
// of the following month (excluded); the following month of December is January of the next year.
#include <QDate>
#include <QStringList>

struct TimesheetMonth {
    int month = 1;  // 1..12
    int year = 2000;

    static TimesheetMonth of(const QDate& date) { return {date.month(), date.year()}; }
    QDate first() const { return QDate(year, month, 1); }
    QDate next() const { return first().addMonths(1); }
    int days() const { return first().daysInMonth(); }

    // "Январь".."Декабрь", as the month boxes list them.
    static const QStringList& names()
    {
        static const QStringList list{QStringLiteral("Январь"),   QStringLiteral("Февраль"), QStringLiteral("Март"),
                                      QStringLiteral("Апрель"),   QStringLiteral("Май"),     QStringLiteral("Июнь"),
                                      QStringLiteral("Июль"),     QStringLiteral("Август"),  QStringLiteral("Сентябрь"),
                                      QStringLiteral("Октябрь"),  QStringLiteral("Ноябрь"),  QStringLiteral("Декабрь")};
        return list;
    }
    QString name() const { return names()[month - 1]; }
    // "Март 2024", as the exports and the statements head their pages.
    QString heading() const { return name() + u' ' + QString::number(year); }
};

// `pattern` (%1 the day's number) for each day column 1..31, joined: "sum(h.d1) d1, sum(h.d2) d2, …".
inline QString eachDayColumn(const QString& pattern, const QString& separator = QStringLiteral(", "))
{
    QStringList parts;
    for (int k = 1; k <= 31; ++k)
        parts << pattern.arg(k);
    return parts.join(separator);
}
