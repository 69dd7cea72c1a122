#include "text_rules.h"

#include <QList>

Outcome checkText(const QString& text, const QString& title, int maxLength)
{
    const QList<uint> characters = text.toUcs4();
    for (const uint c : characters)
        if (QChar::category(char32_t(c)) == QChar::Other_Control)
            return Outcome::refused(QStringLiteral("Поле \"%1\" содержит недопустимый символ.").arg(title));
    if (characters.size() > maxLength)
        return Outcome::refused(
            QStringLiteral("Поле \"%1\" вмещает не больше %2 знаков.").arg(title).arg(maxLength));
    return Outcome::done();
}
