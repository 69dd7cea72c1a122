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

bool mayDo(Role role, Command command)
{
    switch (role) {
    case Role::FullRights:
        return true;
    case Role::Viewer:
        return false;
    case Role::Foremen:
        return command == Command::AddEntry || command == Command::AddWorks;
    case Role::Warehouse:
        return command == Command::AcceptEntry;
    }
    return false;
}

namespace {

// What the refused command would have done, as in "Недостаточно прав для …".
QString doing(Command command)
{
    switch (command) {
    case Command::AddEntry:
        return QStringLiteral("добавления позиций");
    case Command::ChangeEntry:
        return QStringLiteral("изменения позиций");
    case Command::DeleteEntry:
        return QStringLiteral("удаления позиций");
    case Command::AcceptEntry:
        return QStringLiteral("приёмки позиций");
    case Command::AddWorks:
        return QStringLiteral("добавления хоз. работ");
    case Command::ChangeWorks:
        return QStringLiteral("изменения хоз. работ");
    case Command::DeleteWorks:
        return QStringLiteral("удаления хоз. работ");
    case Command::RecomputeWorks:
        return QStringLiteral("расчёта средней сдельной цены");
    case Command::EditReferenceBooks:
        return QStringLiteral("изменения справочников");
    case Command::RebuildTimesheet:
        return QStringLiteral("пересчёта табеля");
    case Command::CloseMonth:
        return QStringLiteral("закрытия и открытия месяцев");
    }
    return {};
}

} // namespace

Outcome permission(std::optional<Role> role, Command command)
{
    if (!role)
        return Outcome::refused(QStringLiteral("Вход в программу не выполнен: запись запрещена."));
    if (!mayDo(*role, command))
        return Outcome::refused(QStringLiteral("Недостаточно прав для %1.").arg(doing(command)));
    return Outcome::done();
}
