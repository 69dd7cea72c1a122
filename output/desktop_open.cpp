#include "desktop_open.h"

#include <QDesktopServices>
#include <QUrl>

bool openOnDesktop(const QString& path)
{
    if (qEnvironmentVariable("TABEL_NO_OPEN") == QLatin1String("1"))
        return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
