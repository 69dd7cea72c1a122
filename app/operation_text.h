#pragma once
// How the program names product kinds and operations to the user.
#include <QString>

// "Готовая продукция" for product kind 0 (finished products), "Заготовки" for any other.
inline QString productKindText(int naimen)
{
    return naimen == 0 ? QStringLiteral("Готовая продукция") : QStringLiteral("Заготовки");
}

// An operation as the entry dialog shows it: "mark; kind of operation; product kind".
inline QString operationText(const QString& mark, const QString& kind, int naimen)
{
    return mark.trimmed() + QStringLiteral("; ") + kind.trimmed() + QStringLiteral("; ") + productKindText(naimen);
}
