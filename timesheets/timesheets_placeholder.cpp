// Replaced by the timesheet windows.
