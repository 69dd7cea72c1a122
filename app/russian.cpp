#include "russian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtDebug>

void useRussian()
{
    QLocale russian(QLocale::Russian, QLocale::Russia);
    // Numbers shown as 1234,5: group separators would only get in the way in grids.
    russian.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(russian);
    static QTranslator qtTexts;
    if (qtTexts.load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    else
        qWarning() << "Qt's Russian translations are missing (Debian package qt6-translations-l10n)";
}
