#pragma once
// Keys of the advisory locks that every writer of the same rows takes (Database::lockKey),
// so that copies of the program writing at the same moment are serialised.
#include <QString>

namespace lock_keys {
// One monthly timesheet row: worker, shift (0 for works), month, year.
inline QString timesheetRow(int workerId, int shiftNo, int month, int year)
{
    return QStringLiteral("h_tabel:%1:%2:%3:%4").arg(workerId).arg(shiftNo).arg(month).arg(year);
}
} // namespace lock_keys
