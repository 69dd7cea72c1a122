#pragma once
// TForm26 "Номенклатура (26)": the nomenclature groups (level-2 classifier items); adds and
// renames them through the group dialog, and picks one for the works dialog (tag 24).
#include "dataset.h"
#include "list_support.h"

#include <QDialog>
#include <optional>

class DatasetModel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDataModule6;
class TForm29;

class TForm26 : public QDialog {
    Q_OBJECT
public:
    explicit TForm26(TDataModule6& dm, QWidget* parent = nullptr);
    void setGroupDialog(TForm29* dialog) { form29_ = dialog; }

    // Mode: 0 browsing, 24 choosing for the works dialog.
    int Tag = 0;

    // From the register's menu: browsing, shown modally, item closed afterwards.
    void browse();
    // As a picker: the chosen group's id and name (as stored, not trimmed), nothing when
    // the user left without choosing or the list was empty.
    std::optional<RefChoice> choose(int tag = 24);

    void prepareBrowsing();
    void prepareChoosing(int tag = 24);
    void finish();
    const std::optional<RefChoice>& chosen() const { return chosen_; }

    // The row action of a double click, "Изменить"/"Выбрать" and "Удалить".
    void Button3Click();
    void Button2Click();  // Добавить
    void Edit1Change();

    Dataset item;

    QTableView* DBGrid1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button1;  // "Удалить", always disabled: groups are not deleted here
    QLineEdit* Edit1;
    QPushButton* Button4;

private:
    TDataModule6& dm_;
    TForm29* form29_ = nullptr;
    DatasetModel* model_;
    std::optional<RefChoice> chosen_;
};
