#include "statement_file.h"

#include "actions.h"
#include "desktop_open.h"
#include "excel_book.h"
#include "messages.h"
#include "pay_statement.h"
#include "reading_source.h"

#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>

QString writeStatementsFile(Database& db, ReadingSource& reading, TimesheetMonth month, QWidget* parent)
{
    const QString folder = ExcelBook::exportFolder();
    if (!QDir().mkpath(folder)) {
        msg::error(QStringLiteral("Папка %1 недоступна.").arg(QDir::toNativeSeparators(folder)));
        return {};
    }
    const QString path = payStatementsFileName(folder, month.first());
    QProgressDialog progress(QStringLiteral("Расчетные листки за %1…").arg(month.heading()),
                             QStringLiteral("Отмена"), 0, 1, parent);
    progress.setObjectName(QStringLiteral("statementsProgress"));
    progress.setWindowTitle(QStringLiteral("Листки всем"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const Outcome written = runCommand(db, [&] {
        return writePayStatements(reading.forReading(), month.first(), std::nullopt, path, [&](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    });
    progress.reset();
    if (!written)
        return {};
    if (!openOnDesktop(path))
        msg::info(QStringLiteral("Расчетные листки сохранены в файл\n%1").arg(QDir::toNativeSeparators(path)),
                  QStringLiteral("Листки всем"));
    return path;
}
