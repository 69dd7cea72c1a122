#pragma once
// OperationsList (TForm4) "Операции": the operations that have norms with their lowest price
// and norm count; adds, changes and deletes operations, opens their norms, writes the list to
// a spreadsheet, and picks an operation with its entry price for the entry dialog.
#include "decimal4.h"
#include "operations_list_store.h"
#include "ref_list.h"

#include <functional>
#include <optional>

class QCheckBox;

// The operation a choosing list hands back.
struct OperationChoice {
    int productId = 0;
    int operationId = 0;
    Decimal4 price;      // the unit price with the day-off and shift factors
    Decimal4 basePrice;  // the lowest norm price of the chosen row
    QString text;        // mark; kind of operation; product kind
};

// The refusal of an operation whose price is negative or does not fit.
extern const QString kOperationPriceOutOfRange;

// The choice a row of the operations list (DataModule::operationsStatement) makes for an entry
// of a day-off mark and shift, its text made with the product's `mark`; nothing when its price
// is negative or does not fit (a norm price of infinity or of more than 14 whole digits).
std::optional<OperationChoice> operationChoice(const Row& row, const QString& mark, bool dayOff, int shiftNo);

class OperationsList : public RefList {
    Q_OBJECT
public:
    // The operation dialog and the norms window, wired by the composition root (they sit
    // above the reference books); each returns true when it saved.
    struct Editors {
        std::function<bool()> addOperation;
        std::function<bool(const Row& operation)> changeOperation;
        std::function<bool(const Row& operation)> editNorms;
    };

    explicit OperationsList(DataModule& dm, QWidget* parent = nullptr);
    void setEditors(Editors editors) { editors_ = std::move(editors); }

    // Choosing: stands on the operation (the first row when 0 or not listed), shown modally;
    // the choice priced with the register's day-off mark and shift (the product's mark read
    // anew), or nothing when the user left without choosing.
    std::optional<OperationChoice> choose(int operationId, bool dayOff, int shiftNo);
    // The choice a row makes; nothing when its price is negative or does not fit (a norm price
    // of infinity or of more than 14 whole digits).
    std::optional<OperationChoice> choiceOf(const Row& row, bool dayOff, int shiftNo);

    // "Excel": every operation written to a spreadsheet.
    void exportList();

    QPushButton* exportButton;
    QCheckBox* pricesCheckBox;  // a double click opens the norms

protected:
    void addItem() override;
    void changeItem(const Row& row) override;
    void deleteItem(const Row& row) override;
    void rowDoubleClicked() override;

private:
    OperationsListStore store_;
    Editors editors_;
};
