#pragma once
// ProductsList (TForm3) "Изделия (3)": browses, searches, adds, changes and deletes the
// products, and picks one for the operation dialog.
#include "products_store.h"
#include "ref_list.h"

#include <QDate>
#include <functional>

class ProductDialog;

class ProductsList : public RefList {
    Q_OBJECT
public:
    ProductsList(DataModule& dm, ProductDialog& dialog, QWidget* parent = nullptr);

    // Today, for the delete question's entry count; tests fix it.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

protected:
    void addItem() override;
    void changeItem(const Row& row) override;
    // Asks about the operations, then about the product (and its register entries), and
    // deletes what the user agreed to in one transaction.
    void deleteItem(const Row& row) override;

private:
    ProductDialog& dialog_;
    ProductsStore store_;
};
