#pragma once
// WorkerDialog (TForm2) "Работники": adds a worker or changes one's name and department.
#include "dataset.h"
#include "widgets.h"
#include "workers_store.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class DataModule;

class WorkerDialog : public QDialog {
    Q_OBJECT
public:
    explicit WorkerDialog(DataModule& dm, QWidget* parent = nullptr);

    // Shown modally for a new worker, or for the worker of a row of the workers list; true
    // when the worker was written.
    bool openForAdd();
    bool openForChange(const Row& worker);

    DialogMode mode() const { return mode_; }
    // Re-reads the department, staff position and role lists; each keeps its choice.
    void reloadLists();
    // "Записать": writes the worker and closes; an empty name is refused and the dialog stays.
    void save();

    QLineEdit* nameEdit;
    QComboBox* departmentBox;
    QComboBox* staffPositionBox;
    QComboBox* roleBox;
    QPushButton* saveButton;
    QPushButton* cancelButton;

    Dataset departments;
    Dataset staffPositions;
    Dataset roles;

protected:
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The department whose caption the worker's position holds; none when no department has it
    // (a change then keeps the position as it is).
    void showDepartment(const QString& position);
    // The wheel steps whichever drop-down has the keyboard focus, as Up and Down would.
    void wheelStep(int angleDelta);

    DataModule& dm_;
    WorkersStore store_;
    DialogMode mode_ = DialogMode::Add;
    int personId_ = 0;
};
