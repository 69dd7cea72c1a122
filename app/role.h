#pragma once
// The four roles a login word chooses; windows read the role and restrict themselves.
#include <QString>
#include <optional>

enum class Role { FullRights, Viewer, Foremen, Warehouse };

// The word is trimmed and compared exactly, letter case included.
std::optional<Role> roleForWord(const QString& word);
