#pragma once
// What the entry dialog and the quick-entry row read from their fields before they save: one
// reading, so both refuse the same input with the same messages, in the same order.
#include "entry_store.h"

#include <QString>
#include <optional>

class QLineEdit;

struct EntryTexts {
    bool workerChosen = false;
    bool operationChosen = false;
    QString quantity, rejects, hours, colour;
    bool colourAsked = false;  // a painting operation
};

// Fills the numbers of `values` from the texts (an empty colour is 0) and checks the whole
// entry with entryFault. The fault found first: a field left empty ("Все поля должны быть
// заполнены!"), a number too long for its column, then what entryFault finds.
std::optional<EntryFault> readEntryTexts(const EntryTexts& texts, EntryValues& values);

// The fields a user types an entry into, for the cursor to go to the one at fault; a field the
// window does not let the user type into is none.
struct EntryEdits {
    QLineEdit* worker = nullptr;
    QLineEdit* operation = nullptr;  // also where a price at fault is mended
    QLineEdit* quantity = nullptr;
    QLineEdit* rejects = nullptr;
    QLineEdit* hours = nullptr;
    QLineEdit* colour = nullptr;

    QLineEdit* at(EntryField field) const;
};

// A painting operation asks for a colour: its text names "краска" in any letter case.
inline bool isPaintOperation(const QString& text) { return text.toUpper().contains(QStringLiteral("КРАСКА")); }
