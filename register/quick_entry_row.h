#pragma once
// QuickEntryRow: the register's row of fields under its grid, for entering an entry by keyboard
// alone. "Рабочий" and "Операция" drop down the workers and operations that match what is typed;
// Enter takes one and moves on; Enter in "Часы" (or in "Цвет" for a painting operation) saves
// through the entry store with the entry dialog's checks and messages. Enter and Escape act on
// the row only, never on the register.
#include "entry_matches.h"
#include "entry_store.h"
#include "operations_list.h"

#include <QDate>
#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QListWidget;
class QPushButton;
class DataModule;

class QuickEntryRow : public QWidget {
    Q_OBJECT
public:
    // What the register says of the entry to come: its date, day-off mark and shift.
    struct Target {
        QDate date;
        bool dayOff = false;
        int shiftNo = 1;
    };

    QuickEntryRow(DataModule& dm, std::function<Target()> target, QWidget* parent = nullptr);

    // The workers and operations the drop-downs search are read again at the next keystroke.
    void forgetLists() { listsRead_ = false; }
    // Saves the row; true when the entry was written.
    bool save();
    // Empties every field and the choices.
    void clearRow();

    QLineEdit* workerEdit;
    QLineEdit* operationEdit;
    QLineEdit* quantityEdit;
    QLineEdit* rejectsEdit;
    QLineEdit* hoursEdit;
    QLineEdit* colourEdit;
    QPushButton* saveButton;
    QListWidget* matchList;  // the drop-down of the field typed in

signals:
    // An entry was written: the register re-reads its list and selects it.
    void saved(const EntryValues& entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeField(const QString& name, const QString& accessibleName, bool digits);
    void readLists();
    void showMatches(QLineEdit* field);
    void hideMatches();
    void moveHighlight(int step);
    // Enter in a field: take the highlighted match, move on, or save.
    void enterPressed(QLineEdit* field);
    void takeWorker(int index);
    bool takeOperation(int index);
    void setColourAsked(bool asked);

    DataModule& dm_;
    std::function<Target()> target_;
    EntryStore store_;
    bool listsRead_ = false;
    QVector<MatchItem> workers_;
    QVector<MatchItem> operations_;
    QVector<Row> operationRows_;  // beside operations_, one per item
    QVector<int> shownMatches_;   // indexes into workers_ or operations_
    QLineEdit* matchesOf_ = nullptr;
    int workerId_ = 0;
    int operationIndex_ = -1;
};
