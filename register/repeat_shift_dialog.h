#pragma once
// RepeatShiftDialog "Повторить смену": the entries of a source date and shift, each with a
// check box and its quantity, rejects and hours open to change; "Записать" writes the checked
// ones into the register's date and shift, each priced anew for the target's day-off mark and
// shift, and says which were skipped as already entered.
#include "repeat_shift_store.h"

#include <QDate>
#include <QDialog>

class QComboBox;
class QDateEdit;
class QPushButton;
class QTableWidget;
class DataModule;

class RepeatShiftDialog : public QDialog {
    Q_OBJECT
public:
    explicit RepeatShiftDialog(DataModule& dm, QWidget* parent = nullptr);

    // Opens for the target date, day-off mark and shift, the source being the same shift on the
    // last earlier date with entries; true when it wrote.
    bool openFor(const QDate& date, bool dayOff, int shiftNo);
    // Reads the source date and shift's entries into the grid, all checked.
    void readSource();
    // Writes the checked rows; true when done (the dialog is then accepted).
    bool save();

    QDateEdit* sourceDateEdit;
    QComboBox* sourceShiftBox;
    QTableWidget* grid;
    QPushButton* saveButton;
    QPushButton* cancelButton;

    // The grid's columns.
    enum Column { Check, Worker, Mark, Kind, ProductKind, Colour, Quantity, Rejects, Hours, ColumnCount };

private:
    // The checked rows as entries of the target; nullopt (after saying why) when a number or a
    // price does not fit.
    std::optional<QVector<EntryValues>> checkedEntries();

    DataModule& dm_;
    RepeatShiftStore store_;
    QDate targetDate_;
    bool targetDayOff_ = false;
    int targetShift_ = 1;
    QVector<Row> sourceRows_;
};
