#pragma once
// TForm7 "Изделие": adds a product or changes its mark, factor and nomenclature group.
#include "dataset.h"
#include "products_store.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class TDataModule6;

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(TDataModule6& dm, QWidget* parent = nullptr);

    int Tag = 1;         // 1 adding, 2 changing
    int ProductId = 0;   // the product being changed

    // The nomenclature groups (level-2 classifier items); the list opens it before showing
    // the dialog and closes it afterwards. Opening fills the group choice, keeping its key.
    void openItems();
    void closeItems();
    // The chosen group's key, 0 when none.
    int groupId() const;
    void setGroupId(int id);

    // "Записать": checks the fields and the mark, writes the product, re-reads the
    // products list and closes; a refused or failed save leaves the dialog open.
    void Button1Click();

    QLineEdit* Edit1;   // Марка
    QLineEdit* Edit2;   // Расценка
    QComboBox* cb_item;
    QPushButton* Button1;
    QPushButton* Button2;

    Dataset item;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TDataModule6& dm_;
    ProductsStore store_;
};
