#pragma once
// TForm5 "Список рабочих": browses, searches and edits the workers, and picks one for
// the entry dialog (tag 1) and the works dialog (tag 24).
#include "list_support.h"
#include "workers_store.h"

#include <QDialog>
#include <optional>

class DatasetModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDataModule6;
class TForm2;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(TDataModule6& dm, QWidget* parent = nullptr);
    void setDialog(TForm2* dialog) { form2_ = dialog; }

    // Mode: 0 browsing, 1 choosing for the entry dialog, 24 choosing for the works dialog.
    int Tag = 0;

    // From the register's menu: browsing, shown modally, Workers closed afterwards.
    void browse();
    // As a picker (tag 1 or 24): the chosen worker's id and trimmed name, nothing when the
    // user left without choosing or the list was empty.
    std::optional<RefChoice> choose(int tag);

    // An opener's steps around showing the list, for openers that show it themselves.
    void prepareBrowsing();
    void prepareChoosing(int tag);
    void finish();
    const std::optional<RefChoice>& chosen() const { return chosen_; }

    // Actions, public so that tests drive them as the controls do.
    void Button1Click();  // Добавить
    void Button2Click();  // Изменить / Выбрать, and a double click on the grid
    void Button3Click();  // Удалить
    void Edit1Change();

    QTableView* DBGrid1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QLineEdit* Edit1;
    QPushButton* Button4;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDataModule6& dm_;
    WorkersStore store_;
    TForm2* form2_ = nullptr;
    DatasetModel* model_;
    std::optional<RefChoice> chosen_;
};
