#pragma once
// KindDialog (TForm9): adds a kind of operation or renames one.
#include "dataset.h"
#include "kinds_store.h"
#include "widgets.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class DataModule;

class KindDialog : public QDialog {
    Q_OBJECT
public:
    explicit KindDialog(DataModule& dm, QWidget* parent = nullptr);

    // Shown modally for a new kind, or to rename the kind of a row of the kinds list; true
    // when the name was written.
    bool openForAdd();
    bool openForChange(const Row& kind);

    DialogMode mode() const { return mode_; }
    // "Записать": checks the name, writes it and closes; a refused or failed save leaves the
    // dialog open.
    void save();

    QLineEdit* nameEdit;
    QPushButton* saveButton;
    QPushButton* cancelButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    DataModule& dm_;
    KindsStore store_;
    DialogMode mode_ = DialogMode::Add;
    int kindId_ = 0;
};
