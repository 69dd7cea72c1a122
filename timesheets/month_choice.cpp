#include "month_choice.h"

#include "excel_book.h"
#include "timesheet_month.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

MonthChoice makeMonthChoice(QWidget* parent, const QString& yearName)
{
    MonthChoice c;
    c.month = new QComboBox(parent);
    c.month->setObjectName(QStringLiteral("ComboBox1"));
    c.month->addItems(TimesheetMonth::names());
    c.year = new QComboBox(parent);
    c.year->setObjectName(yearName);
    auto* monthLabel = new QLabel(QStringLiteral("&Месяц:"), parent);
    monthLabel->setBuddy(c.month);
    auto* yearLabel = new QLabel(QStringLiteral("&Год:"), parent);
    yearLabel->setBuddy(c.year);
    c.row = new QHBoxLayout;
    c.row->addWidget(monthLabel);
    c.row->addWidget(c.month);
    c.row->addSpacing(12);
    c.row->addWidget(yearLabel);
    c.row->addWidget(c.year);
    c.row->addStretch();
    return c;
}

void writeTimesheetTitles(ExcelBook& book, const QString& heading, int firstDayColumn)
{
    book.WriteExcelCell(1, 1, 1, heading, true, true, true);
    book.WriteExcelCell(1, 1, 2, QStringLiteral("Фамилия И.О."), true, true, true);
    for (int day = 1; day <= 31; ++day)
        book.WriteExcelCell(1, firstDayColumn + day - 1, 2, QString::number(day), false, true, true);
}
