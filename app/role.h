#pragma once
// The four roles a login word chooses, and what each may write. The stores ask permission()
// before every write, whoever calls them; the windows ask mayDo() to enable their buttons, so
// both follow one table.
#include "outcome.h"

#include <QString>
#include <optional>

enum class Role { FullRights, Viewer, Foremen, Warehouse };

// The word is trimmed and compared exactly, letter case included.
std::optional<Role> roleForWord(const QString& word);

// The writes a role may or may not make.
enum class Command {
    AddEntry,
    ChangeEntry,
    DeleteEntry,
    AcceptEntry,  // the acceptance mark, set or taken back
    AddWorks,
    ChangeWorks,
    DeleteWorks,
    RecomputeWorks,  // the average piece-rate prices of a month
    EditReferenceBooks,
    RebuildTimesheet,
    CloseMonth,  // closing a month for changes and opening it again
};

// Full rights may do everything; the foremen add entries and works; the warehouse accepts
// entries; the viewer writes nothing.
bool mayDo(Role role, Command command);

// Done when the login's role may run the command; refused with a Russian message when it may
// not, or when nobody has logged in (no role).
Outcome permission(std::optional<Role> role, Command command);
