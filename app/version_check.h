#pragma once
// The build stamp of this program and the check against the newest build that has
// connected to the database (accounts_dep.ver).
#include <QDateTime>

class DataModule;

struct BuildStamp {
    int date = 0;  // yyyymmdd
    int time = 0;  // seconds since midnight
};

BuildStamp buildStampOf(const QDateTime& built);

// Reads accounts_dep.ver, sets the data module's decimalSeparator and records this stamp when it is
// newer than the one stored. Returns false when a newer build has already connected.
bool checkVersion(DataModule& dm, BuildStamp stamp);
