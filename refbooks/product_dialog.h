#pragma once
// ProductDialog (TForm7) "Изделие": adds a product or changes its mark, factor and
// nomenclature group.
#include "dataset.h"
#include "products_store.h"
#include "widgets.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class DataModule;

class ProductDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProductDialog(DataModule& dm, QWidget* parent = nullptr);

    // Shown modally for a new product, or for the product of a row of the products list;
    // true when the product was written.
    bool openForAdd();
    bool openForChange(const Row& product);

    DialogMode mode() const { return mode_; }
    // The chosen group's key, 0 when none.
    int groupId() const;
    void setGroupId(int id);

    // "Записать": checks the fields and the mark, writes the product and closes; a refused or
    // failed save leaves the dialog open.
    void save();

    QLineEdit* markEdit;
    QLineEdit* factorEdit;
    QComboBox* nomenclatureBox;
    QPushButton* saveButton;
    QPushButton* cancelButton;

    // The nomenclature groups (level-2 classifier items), open while the dialog is shown.
    Dataset groups;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens the groups and fills the group choice (keeping its key), shows the dialog, closes them.
    bool showWithGroups(int groupId);

    DataModule& dm_;
    ProductsStore store_;
    DialogMode mode_ = DialogMode::Add;
    int productId_ = 0;
};
