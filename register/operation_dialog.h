#pragma once
// TForm10: adds an operation (a kind of operation on a product for a product kind) or changes
// the current one of the operations list.
#include "list_support.h"
#include "operations_store.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDataModule6;

class TForm10 : public QDialog {
    Q_OBJECT
public:
    // The products list and the kinds list as pickers; the composition root wires them.
    struct Pickers {
        std::function<std::optional<RefChoice>()> product;
        std::function<std::optional<RefChoice>()> kind;
    };

    explicit TForm10(TDataModule6& dm, QWidget* parent = nullptr);
    void setPickers(Pickers pickers) { pickers_ = std::move(pickers); }

    // Mode: 1 a new operation; any other value changes the operation OperationId.
    int Tag = 1;
    int ProductId = 0;
    int KindId = 0;
    int OperationId = 0;

    // From the operations list: prepared and shown modally.
    void addOperation();
    void changeOperation();
    // Empty fields, "Готовая продукция", the caption for adding, mode 1; the ids stay.
    void prepareNew();
    // The fields and ids of the current row of Oper, the caption for changing, mode 2.
    // False when the list has no row.
    bool prepareChange();

    void Button1Click();  // Записать
    void Button3Click();  // product picker
    void Button4Click();  // kind-of-operation picker

    QGroupBox* GroupBox1;
    QLineEdit* Edit1;
    QPushButton* Button3;
    QLineEdit* Edit2;
    QPushButton* Button4;
    QComboBox* ComboBox1;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDataModule6& dm_;
    OperationsStore store_;
    Pickers pickers_;
};
