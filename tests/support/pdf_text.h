#pragma once
// Reads a PDF back with poppler's tools: the pages' texts in reading order (pdftotext -layout)
// and the document's properties (pdfinfo).
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The output of a program; "FAILED: ..." when it fails.
inline QString runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("FAILED: ") + QString::fromUtf8(p.readAllStandardError()) + p.errorString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QStringList pdfPages(const QString& path)
{
    QStringList pages = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

inline QString pdfInfo(const QString& path, const QString& key)
{
    const QRegularExpression re(QStringLiteral("^%1:\\s*(.*)$").arg(key), QRegularExpression::MultilineOption);
    return re.match(runTool(QStringLiteral("pdfinfo"), {path})).captured(1).trimmed();
}
