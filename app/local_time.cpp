#include "local_time.h"

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

void readTimeZoneOnce()
{
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    qputenv("TZ", QByteArrayLiteral(":/etc/localtime"));
    tzset();
}
