#pragma once
// The statements of the kinds of operations: the duplicate test on the name, adding,
// renaming and deleting a kind.
class QString;
class TDataModule6;

class KindsStore {
public:
    explicit KindsStore(TDataModule6& dm) : dm_(dm) {}

    // Adds (kindId 0) or renames a kind. Returns false, after telling the user, when another
    // kind has the name in any letter case; nothing is written then.
    bool save(int kindId, const QString& name);
    void remove(int kindId);

private:
    TDataModule6& dm_;
};
