#pragma once
// The statements of the kinds of operations: the duplicate test on the name, adding,
// renaming and deleting a kind.
#include "outcome.h"

class QString;
class DataModule;

class KindsStore {
public:
    explicit KindsStore(DataModule& dm) : dm_(dm) {}

    // Adds (kindId 0) or renames a kind, its name trimmed. Refused, with nothing written, when
    // the name is empty, holds a control character or is longer than the column's 128
    // characters, when the login may not edit the reference books, and when another kind has
    // the name in any letter case.
    Outcome save(int kindId, const QString& name);
    Outcome remove(int kindId);

private:
    DataModule& dm_;
};
