#include "actions.h"

#include "database.h"
#include "db_messages.h"
#include "messages.h"

#include <QtDebug>

void showStandardError(const QString& text) { msg::error(text, QStringLiteral("Табель")); }

bool runShowingError(const std::function<void()>& action)
{
    QString error;
    try {
        action();
        return true;
    } catch (const DbError& e) {
        error = userMessage(e);
        qWarning().noquote() << "Statement failed:" << e.message() << "\n" << e.statement();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
        qWarning().noquote() << "Command failed:" << error;
    } catch (...) {
        error = QStringLiteral("Команда не выполнена из-за непредвиденной ошибки.");
        qWarning().noquote() << "Command failed with an unknown exception";
    }
    showStandardError(error);
    return false;
}

bool runAction(Database& db, const std::function<void()>& action)
{
    // The transaction ends before the error is shown, so that no lock is held while it is.
    return runShowingError([&] {
        try {
            action();
        } catch (...) {
            if (db.inTransaction())
                db.rollback();
            throw;
        }
    });
}

bool runQuietly(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const DbError& e) {
        qWarning().noquote() << "Statement failed:" << e.message() << "\n" << e.statement();
    } catch (const std::exception& e) {
        qWarning().noquote() << "Failed:" << e.what();
    }
    return false;
}

Outcome runCommand(Database& db, const std::function<Outcome()>& command)
{
    Outcome outcome = Outcome::failed();
    if (!runAction(db, [&] { outcome = command(); }))
        return Outcome::failed();
    if (!outcome.refusal().isEmpty())
        msg::error(outcome.refusal(), QStringLiteral("Ошибка"));
    return outcome;
}
