#include "whole_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>

bool writeWhole(const QString& path, const std::function<bool(const QString& part)>& write)
{
    const QFileInfo target(path);
    // Hidden, and unique to this writer.
    const QString part = target.absolutePath() + QStringLiteral("/.~%1.%2-%3.part")
                                                     .arg(target.fileName())
                                                     .arg(QCoreApplication::applicationPid())
                                                     .arg(QRandomGenerator::global()->generate64(), 0, 36);
    const bool written = write(part) && QFileInfo(part).size() > 0
                         && std::rename(QFile::encodeName(part).constData(),
                                        QFile::encodeName(target.absoluteFilePath()).constData())
                                == 0;
    if (!written)
        QFile::remove(part);
    return written;
}
