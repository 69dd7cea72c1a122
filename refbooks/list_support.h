#pragma once
// What the reference-book lists and dialogs share: the search field's keys and lookup
// drop-downs.
#include "dataset.h"

#include <QObject>
#include <QString>

class QComboBox;
class QLineEdit;

// Up and Down in a search field move the list's current record. With `swallowOthers`,
// every other key press is swallowed as well, apart from those that type or erase a
// character and the dialog keys (Enter, Escape, Tab).
class SearchKeys : public QObject {
public:
    SearchKeys(QLineEdit* field, Dataset& ds, bool swallowOthers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Dataset& ds_;
    bool swallowOthers_;
};

// A drop-down of a dataset's rows shown by `captionField` and keyed by `idField`. Re-filling
// it keeps the chosen key when that row is still there; nothing is chosen otherwise.
void fillLookup(QComboBox* box, Dataset& ds, const QString& captionField = QStringLiteral("s_caption"),
                const QString& idField = QStringLiteral("id"));
// The chosen key, 0 when nothing is chosen.
int lookupKey(const QComboBox* box);
// Chooses the row with the key; nothing is chosen when there is none.
void setLookupKey(QComboBox* box, int key);
