#pragma once
// TForm3 "Изделия (3)": browses, searches, adds, changes and deletes the products, and
// picks one for the operation dialog (tag 1).
#include "list_support.h"
#include "products_store.h"

#include <QDialog>
#include <QDate>
#include <functional>
#include <optional>

class DatasetModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDataModule6;
class TForm7;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(TDataModule6& dm, QWidget* parent = nullptr);
    void setDialog(TForm7* dialog) { form7_ = dialog; }

    // Mode: 0 browsing, 1 choosing for the operation dialog.
    int Tag = 0;

    // From the register's menu: browsing, shown modally, Izdel closed afterwards.
    void browse();
    // As a picker: the chosen product's id and trimmed mark, nothing when the user left
    // without choosing or the list was empty.
    std::optional<RefChoice> choose(int tag = 1);

    void prepareBrowsing();
    void prepareChoosing(int tag = 1);
    void finish();
    const std::optional<RefChoice>& chosen() const { return chosen_; }

    // Today for the delete question's entry count; tests fix it.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    void Button1Click();  // Добавить
    void Button2Click();  // Изменить / Выбрать, and a double click on the grid
    void Button3Click();  // Удалить
    void Edit1Change();

    QTableView* DBGrid1;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setSearchVisible(bool visible);

    TDataModule6& dm_;
    ProductsStore store_;
    TForm7* form7_ = nullptr;
    DatasetModel* model_;
    QLabel* searchLabel_;
    std::optional<RefChoice> chosen_;
};
