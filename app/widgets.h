#pragma once
// Small widget helpers every window uses: buttons, a dialog's field group above its buttons,
// labelled fields, and the busy mouse pointer.
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QDialog;
class Row;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

// A push button that is not a default button by focus alone.
QPushButton* makeButton(const QString& name, const QString& text, QWidget* parent);

// Lays out a dialog: a group box of labelled fields above its buttons, which sit on the
// right. Returns the group box's form for addField.
QFormLayout* layOutDialog(QDialog* dialog, const QString& groupTitle, const QList<QPushButton*>& buttons);
// The dialog's layout: `group` above the buttons, which sit on the right.
QVBoxLayout* placeAboveButtons(QDialog* dialog, QWidget* group, const QList<QPushButton*>& buttons);
// A field with its label (the label is the field's buddy).
void addField(QFormLayout* form, const QString& label, QWidget* field);

// A number field: whatever focuses it (Tab, a click, a picker handing back) selects its text,
// so typing replaces the "0" it may hold.
void selectOnFocus(QLineEdit* field);
// A field the user cannot type into looks so: the window's background instead of the editable
// white, and no text cursor.
void showAsReadOnly(QLineEdit* field);

// The busy mouse pointer for the length of a command.
struct BusyCursor {
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// What a dialog that adds or changes one row was opened for.
enum class DialogMode { Add, Change };

// Asks a picker for a row; when the user chose one, keeps its "id" and shows its `captionField`
// in the field. Returns whether a row was chosen.
bool pickInto(const std::function<std::optional<Row>()>& picker, int& id, QLineEdit* field,
              const QString& captionField);
