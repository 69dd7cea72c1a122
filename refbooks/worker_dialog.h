#pragma once
// TForm2 "Работники": adds a worker or changes one's name and department.
#include "dataset.h"
#include "workers_store.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class TDataModule6;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(TDataModule6& dm, QWidget* parent = nullptr);

    int Tag = 1;        // 1 adding, 2 changing
    int PersonId = 0;   // the worker being changed

    // Re-reads the department, staff position and role lists; each keeps its choice.
    void reloadLists();
    // For a change: the lists show the worker's own choices (the department found by its
    // key or, without one, by the caption in `position`); nothing where none matches.
    void showWorker(int departmentId, int staffposId, int roleId, const QString& position);
    // "Записать": writes the worker and closes; an empty name is refused and the dialog stays.
    void Button1Click();

    QLineEdit* Edit1;
    QComboBox* LCB_department;
    QComboBox* LCB_staffpos;
    QComboBox* LCB_roles;
    QPushButton* Button1;
    QPushButton* Button2;

    Dataset department;
    Dataset staffpos;
    Dataset roles;

protected:
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The wheel steps whichever drop-down has the keyboard focus, as Up and Down would.
    void wheelStep(int angleDelta);

    TDataModule6& dm_;
    WorkersStore store_;
};
