#pragma once
// EntryDialog (TForm11): adds a production entry to the register or changes one; the worker
// and the operation are chosen through the pickers, which also price the entry.
#include "dataset.h"
#include "decimal4.h"
#include "entry_store.h"
#include "operations_list.h"
#include "widgets.h"

#include <QDialog>
#include <functional>
#include <optional>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class DataModule;

class EntryDialog : public QDialog {
    Q_OBJECT
public:
    // The pickers, wired by the composition root: the workers list and the operations list in
    // their choosing mode (the operations list prices the choice with the register's day-off
    // mark and shift).
    struct Pickers {
        std::function<std::optional<Row>()> worker;
        std::function<std::optional<OperationChoice>(int locateOperationId)> operation;  // 0: the first row
    };

    explicit EntryDialog(DataModule& dm, QWidget* parent = nullptr);
    void setPickers(Pickers pickers) { pickers_ = std::move(pickers); }

    // The register's "Добавить" and "Изменить" (an entry of its shift list): shown modally;
    // true when the entry was written.
    bool openForAdd(const QDate& registerDate, int shiftNo);
    bool openForChange(const Row& entry, int shiftNo);

    DialogMode mode() const { return mode_; }
    // "Запись": returns true when the entry was written (the dialog then closes).
    bool save();
    void chooseWorker();     // chooseWorkerButton, or a click on workerEdit
    void chooseOperation();  // chooseOperationButton, or a click on operationEdit
    // Recomputes the display fields (after the quantity or hours field loses focus).
    void recalculate();

    QGroupBox* fieldsBox;
    QLineEdit* workerEdit;
    QPushButton* chooseWorkerButton;
    QLineEdit* operationEdit;
    QPushButton* chooseOperationButton;
    QLineEdit* quantityEdit;
    QLineEdit* hoursEdit;
    QLineEdit* colourEdit;
    QLabel* colourLabel;
    QDateEdit* dateEdit;
    QLineEdit* rejectsEdit;
    QLineEdit* basePriceEdit;
    QLineEdit* priceEdit;
    QLineEdit* amountEdit;
    QPushButton* saveButton;
    QPushButton* cancelButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyOperation(const OperationChoice& choice);
    void buildControls();
    void setPaintEnabled(bool enabled);
    static bool isPaint(const QString& text);
    void applyPaintRule();
    bool readInput(EntryValues& values);
    // Quantity × unit price for "Сумма"; empty when it does not fit.
    QString amountText(const Decimal4& quantity) const;

    DataModule& dm_;
    EntryStore store_;
    Pickers pickers_;
    DialogMode mode_ = DialogMode::Add;
    int shiftNo_ = 1;
    int workerId_ = 0;
    int operationId_ = 0;
    int productId_ = 0;
    Decimal4 price_;
    Decimal4 basePrice_;
    // The entry being changed, as the register's list showed it.
    Row shown_;
};
