#include "actions.h"

#include "database.h"
#include "messages.h"

void showStandardError(const QString& text) { msg::error(text, QStringLiteral("Табель")); }

bool runAction(Database& db, const std::function<void()>& action)
{
    QString error;
    try {
        action();
        return true;
    } catch (const DbError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    if (db.inTransaction())
        db.rollback();
    showStandardError(error);
    return false;
}
