#pragma once
// TForm29 "Ведение групп (29)": adds a nomenclature group or renames the current one of the
// nomenclature list, then re-reads that list.
#include "groups_store.h"

#include <QDialog>

class Dataset;
class QLineEdit;
class QPushButton;
class TDataModule6;

class TForm29 : public QDialog {
    Q_OBJECT
public:
    // `item` is the nomenclature list's query: its current row is the group renamed, and
    // it is re-read after a save.
    TForm29(TDataModule6& dm, Dataset& item, QWidget* parent = nullptr);

    // 1 a new group, 2 rename the current group; any other value writes nothing.
    int Tag = 1;

    // "Записать": writes the trimmed name, re-reads the list and closes; a failed
    // statement leaves the dialog open and the list as it was.
    void Button1Click();

    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button6;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDataModule6& dm_;
    Dataset& item_;
    GroupsStore store_;
};
