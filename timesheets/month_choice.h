#pragma once
// What the monthly timesheets share around a month: the month and year boxes with their labels
// in one row, and the heading rows of their spreadsheets.
#include <QString>

class ExcelBook;
class QComboBox;
class QHBoxLayout;
class QWidget;

struct MonthChoice {
    QComboBox* month;  // "ComboBox1": the months, January first
    QComboBox* year;   // empty, named `yearName`; the window fills it
    QHBoxLayout* row;  // "Месяц:" month, "Год:" year, then a stretch
};
MonthChoice makeMonthChoice(QWidget* parent, const QString& yearName);

// Row 1 the heading, row 2 "Фамилия И.О." and the day numbers 1 … 31 from `firstDayColumn`,
// all bold; the caller adds its own titles after the days.
void writeTimesheetTitles(ExcelBook& book, const QString& heading, int firstDayColumn);
