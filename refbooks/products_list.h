#pragma once
// TForm3 "Изделия (3)": browses, searches, adds, changes and deletes the products, and
// picks one for the operation dialog (tag 1).
#include "products_store.h"
#include "ref_list.h"

#include <QDate>
#include <functional>

class TForm7;

class TForm3 : public RefList {
    Q_OBJECT
public:
    explicit TForm3(TDataModule6& dm, QWidget* parent = nullptr);
    void setDialog(TForm7* dialog) { form7_ = dialog; }

    // Today, for the delete question's entry count; tests fix it.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    void Button1Click() override;
    // Asks about the operations, then about the product (and its register entries), and
    // deletes what the user agreed to in one transaction.
    void Button3Click() override;

protected:
    void changeRow() override;

private:
    ProductsStore store_;
    TForm7* form7_ = nullptr;
};
