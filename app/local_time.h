#pragma once
// The machine's time zone, read once per process. Without TZ the C library looks at
// /etc/localtime again at every conversion to local time, and the database driver converts each
// timestamp it delivers (the "Заведен" of every entry of a date): a file lookup per value, a
// fifth of a date change. TZ=":/etc/localtime" names the same zone, read once.

// Call first thing in main(), before any thread or Qt object exists. A TZ already set stays.
void readTimeZoneOnce();
