#pragma once
// One month of the monthly table: its dates run from the first day (included) to the first day
// of the following month (excluded); the following month of December is January of the next year.
#include <QDate>

struct TimesheetMonth {
    int month = 1;  // 1..12
    int year = 2000;

    static TimesheetMonth of(const QDate& date) { return {date.month(), date.year()}; }
    QDate first() const { return QDate(year, month, 1); }
    QDate next() const { return first().addMonths(1); }
    int days() const { return first().daysInMonth(); }
};
