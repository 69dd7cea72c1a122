#pragma once
// TForm8 "Виды операций (8)": browses, adds, renames and deletes the kinds of operations,
// and picks one for the operation dialog (tag 1).
#include "kinds_store.h"
#include "list_support.h"

#include <QDialog>
#include <optional>

class DatasetModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDataModule6;
class TForm9;

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(TDataModule6& dm, QWidget* parent = nullptr);
    void setDialog(TForm9* dialog) { form9_ = dialog; }

    // Mode: 0 browsing, 1 choosing for the operation dialog.
    int Tag = 0;

    // From the register's menu: browsing, shown modally, Vid_oper closed afterwards.
    void browse();
    // As a picker: the chosen kind's id and trimmed name, nothing when the user left
    // without choosing or the list was empty.
    std::optional<RefChoice> choose(int tag = 1);

    void prepareBrowsing();
    void prepareChoosing(int tag = 1);
    void finish();
    const std::optional<RefChoice>& chosen() const { return chosen_; }

    void Button1Click();  // Добавить
    void Button2Click();  // Изменить / Выбрать, and a double click on the grid
    void Button3Click();  // Удалить
    void Edit1Change();

    QTableView* DBGrid1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QLineEdit* Edit1;  // search, shown only while choosing

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setSearchVisible(bool visible);

    TDataModule6& dm_;
    KindsStore store_;
    TForm9* form9_ = nullptr;
    DatasetModel* model_;
    QLabel* searchLabel_;
    std::optional<RefChoice> chosen_;
};
