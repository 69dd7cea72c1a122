#pragma once
// TForm4 "Операции": the operations that have norms with their lowest price and norm count;
// adds, changes and deletes operations, opens their norms, writes the list to a spreadsheet,
// and picks an operation with its entry price for the production entry dialog (tag 1).
#include "decimal4.h"
#include "operations_list_store.h"

#include <QDialog>
#include <functional>
#include <optional>

class DatasetModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDataModule6;

// The operation a choosing list hands back.
struct OperationChoice {
    int productId = 0;
    int operationId = 0;
    Decimal4 price;      // the unit price with the day-off and shift factors
    Decimal4 basePrice;  // the lowest norm price of the chosen row
    QString text;        // mark; kind of operation; product kind
};

class TForm4 : public QDialog {
    Q_OBJECT
public:
    // The operation dialog and the norms window, opened on the current row of Oper; the
    // composition root wires them.
    struct Hooks {
        std::function<void()> addOperation;
        std::function<void()> changeOperation;
        std::function<void()> editNorms;
    };

    explicit TForm4(TDataModule6& dm, QWidget* parent = nullptr);
    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    // Mode: 0 the list of prices, 1 choosing for the production entry dialog.
    int Tag = 0;

    // Choosing: stands on the operation (the first row when 0 or not listed), shown
    // modally; the choice, or nothing when the user left without choosing. `dayOff` and
    // `shiftNo` are the register's and price the choice. Oper stays open afterwards.
    std::optional<OperationChoice> choose(int operationId, bool dayOff, int shiftNo);
    // From the register's "Цены": the list mode, shown modally, Oper closed afterwards.
    void browse();

    void prepareBrowsing();
    void prepareChoosing(int operationId, bool dayOff, int shiftNo);
    // After choosing: "Выбрать" no longer default, the search hidden, Oper's filter off.
    void finishChoosing();

    // The current row as a choice, priced with the day-off mark and shift of prepareChoosing;
    // kept as the choice that choose() returns. The row's product mark is read anew.
    OperationChoice chooseCurrent();
    const std::optional<OperationChoice>& chosen() const { return chosen_; }

    void Button1Click();  // Добавить
    void Button2Click();  // Изменить / Выбрать, and Enter
    void Button3Click();  // Удалить
    void Button5Click();  // Excel
    void DBGrid1DblClick();
    void Edit1Change();

    QTableView* DBGrid1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button5;
    QCheckBox* CheckBox1;
    QLineEdit* Edit1;
    QPushButton* Button4;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setSearchVisible(bool visible);

    TDataModule6& dm_;
    OperationsListStore store_;
    DatasetModel* model_;
    QLabel* searchLabel_;
    Hooks hooks_;
    bool dayOff_ = false;
    int shiftNo_ = 1;
    std::optional<OperationChoice> chosen_;
};
