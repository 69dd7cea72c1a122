#pragma once
// The one way values are written into statement text where a statement is composed:
// texts quoted with their quotes doubled, numbers with a point, dates through to_date.
#include <QDate>
#include <QString>

namespace sql {
// 'O''Brien' for O'Brien.
QString quote(const QString& text);
// to_date('05.03.2024', 'DD.MM.YYYY')
QString date(const QDate& day);
// A decimal number with a point and exactly `decimals` places ("12.5000").
QString number(double value, int decimals);
// The text with its first comma, or without one its first point, replaced by `separator`;
// a text with neither comes back unchanged.
QString withDecimalSeparator(const QString& text, const QString& separator);
// A number as the user typed it, as the database reads it: trimmed, the decimal comma a point
// ("1,5" gives "1.5", "12" stays "12").
QString decimalPoint(const QString& typed);
} // namespace sql
