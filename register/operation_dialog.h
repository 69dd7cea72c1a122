#pragma once
// OperationDialog (TForm10): adds an operation (a kind of operation on a product for a product
// kind) or changes one of the operations list.
#include "dataset.h"
#include "operations_store.h"
#include "widgets.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class DataModule;

class OperationDialog : public QDialog {
    Q_OBJECT
public:
    // The products list and the kinds list as pickers; the composition root wires them.
    struct Pickers {
        std::function<std::optional<Row>()> product;
        std::function<std::optional<Row>()> kind;
    };

    explicit OperationDialog(DataModule& dm, QWidget* parent = nullptr);
    void setPickers(Pickers pickers) { pickers_ = std::move(pickers); }

    // Shown modally: empty fields and "Готовая продукция" for a new operation (the last
    // chosen product and kind are kept), or the fields of a row of the operations list;
    // true when the operation was written.
    bool openForAdd();
    bool openForChange(const Row& operation);

    DialogMode mode() const { return mode_; }
    void save();           // Записать
    void chooseProduct();
    void chooseKind();

    QGroupBox* fieldsBox;
    QLineEdit* productEdit;
    QPushButton* chooseProductButton;
    QLineEdit* kindEdit;
    QPushButton* chooseKindButton;
    QComboBox* productKindBox;
    QPushButton* saveButton;
    QPushButton* cancelButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Runs a picker; the chosen row's trimmed `field` goes into `edit` and its id into `id`.
    void pick(const std::function<std::optional<Row>()>& picker, QLineEdit* edit, const QString& field, int& id);

    DataModule& dm_;
    OperationsStore store_;
    Pickers pickers_;
    DialogMode mode_ = DialogMode::Add;
    int operationId_ = 0;
    int productId_ = 0;
    int kindId_ = 0;
};
