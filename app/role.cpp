#include "role.h"

std::optional<Role> roleForWord(const QString& word)
{
    const QString w = word.trimmed();
    if (w == QLatin1String("63527140") || w == QLatin1String("7391"))
        return Role::FullRights;
    if (w == QLatin1String("plavik"))
        return Role::Viewer;
    if (w == QLatin1String("brodlin"))
        return Role::Foremen;
    if (w == QLatin1String("tumov"))
        return Role::Warehouse;
    return std::nullopt;
}
