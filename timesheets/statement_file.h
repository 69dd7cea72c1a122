#pragma once
// "Листки всем": the pay statements of a month's workers written into one PDF in the export
// folder, under a progress window that can cancel, then opened on the desktop (or its place told).
#include "timesheet_month.h"

#include <QString>

class Database;
class ReadingSource;
class QWidget;

// The statements are read where the reports read (`reading`). The file written, empty when none
// was (cancelled, refused or failed: already told).
QString writeStatementsFile(Database& db, ReadingSource& reading, TimesheetMonth month, QWidget* parent);
