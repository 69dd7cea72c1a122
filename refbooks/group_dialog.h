#pragma once
// GroupDialog (TForm29) "Ведение групп (29)": adds a nomenclature group or renames one.
#include "dataset.h"
#include "groups_store.h"
#include "widgets.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class DataModule;

class GroupDialog : public QDialog {
    Q_OBJECT
public:
    explicit GroupDialog(DataModule& dm, QWidget* parent = nullptr);

    // Shown modally for a new group, or to rename the group of a row of the nomenclature
    // list; true when the name was written.
    bool openForAdd();
    bool openForChange(const Row& group);

    DialogMode mode() const { return mode_; }
    // "Записать": writes the trimmed name and closes; a failed statement leaves the dialog open.
    void save();

    QLineEdit* nameEdit;
    QPushButton* saveButton;
    QPushButton* exitButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    DataModule& dm_;
    GroupsStore store_;
    DialogMode mode_ = DialogMode::Add;
    int groupId_ = 0;
};
