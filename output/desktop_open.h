#pragma once
// A written file handed to the desktop's program for its kind (a workbook, a PDF).
#include <QString>

// Opens `path` on the desktop; false when no program could. With TABEL_NO_OPEN=1 (the tests and
// the benchmarks) nothing is opened and it counts as done.
bool openOnDesktop(const QString& path);
