#pragma once
// WorksDialog (TForm24) "Хоз. работы/среднесдельная (24)": enters or changes one household or
// average piece-rate works record of the list's date: worker and nomenclature through the
// pickers, the kind with its price per hour, the hours, the night mark.
#include "dataset.h"
#include "decimal4.h"
#include "widgets.h"
#include "works_store.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class DataModule;

class WorksDialog : public QDialog {
    Q_OBJECT
public:
    // The workers list and the nomenclature list in their choosing mode, wired by the
    // composition root.
    struct Pickers {
        std::function<std::optional<Row>()> worker;
        std::function<std::optional<Row>()> nomenclature;
    };

    explicit WorksDialog(DataModule& dm, QWidget* parent = nullptr);
    void setPickers(Pickers pickers) { pickers_ = std::move(pickers); }

    // The list's "Добавить" for its date and "Изменить" of one of its rows; `dayOff` is the
    // list's "Выходной". Shown modally; true when the record was written.
    bool openForAdd(const QDate& date, bool dayOff);
    bool openForChange(const Row& record, bool dayOff);

    DialogMode mode() const { return mode_; }
    // "Записать": true when the record was written (the dialog then closes).
    bool save();
    void chooseWorker();        // "..." beside the name
    void chooseNomenclature();  // "..." beside the item
    // The price of the chosen kind and the sum (hours × price).
    void showPrice();

    // The kinds of works with their price per hour, open while the dialog is shown.
    Dataset workKinds;

    QGroupBox* fieldsBox;
    QLineEdit* workerEdit;
    QPushButton* chooseWorkerButton;
    QLineEdit* nomenclatureEdit;
    QPushButton* chooseNomenclatureButton;
    QComboBox* workKindBox;
    QLineEdit* hoursEdit;
    QLineEdit* priceEdit;
    QLineEdit* amountEdit;
    QCheckBox* nightBox;
    QPushButton* saveButton;
    QPushButton* exitButton;

private:
    void buildControls();
    bool run();
    // Worker, item and kind chosen, hours 1..24, a price; false after the message.
    bool checkInput(WorksValues& values);

    DataModule& dm_;
    WorksStore store_;
    Pickers pickers_;
    DialogMode mode_ = DialogMode::Add;
    int workerId_ = 0;
    int nomenclatureId_ = 0;
    // The chosen kind's price per hour, as the price box shows it.
    std::optional<Decimal4> price_;
    QString priceFault_;  // why the chosen kind's norm price is none (WorksStore::normPriceFault)
    QDate date_;
    bool dayOff_ = false;
    // The record being changed, as the list showed it.
    Row shown_;
};
