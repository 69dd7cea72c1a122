#pragma once
// The statements of the kinds of operations: the duplicate test on the name, adding,
// renaming and deleting a kind.
#include "outcome.h"

class QString;
class DataModule;

class KindsStore {
public:
    explicit KindsStore(DataModule& dm) : dm_(dm) {}

    // Adds (kindId 0) or renames a kind. Refused, with nothing written, when another kind
    // has the name in any letter case.
    Outcome save(int kindId, const QString& name);
    void remove(int kindId);

private:
    DataModule& dm_;
};
