#pragma once
// The four timesheets the monthly timesheet window shows; the values are the window's
// historical mode numbers.
enum class TimesheetMode { PieceWork = 9, Household = 14, AveragePieceRate = 15, General = 17 };
