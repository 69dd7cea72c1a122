#pragma once
// TForm11: adds a production entry to the register or changes one; the worker and the
// operation are chosen through the pickers, which also price the entry.
#include "decimal4.h"
#include "entry_store.h"

#include <QDialog>
#include <functional>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Dataset;
class TDataModule6;

class TForm11 : public QDialog {
    Q_OBJECT
public:
    // The pickers, wired by the composition root: each opens its list in choosing mode and,
    // when the user chooses, calls applyWorker / applyOperation on this dialog.
    struct Pickers {
        std::function<void()> worker;
        std::function<void(int locateOperationId)> operation;  // 0: the list's first row
    };

    explicit TForm11(TDataModule6& dm, QWidget* parent = nullptr);
    void setPickers(Pickers pickers) { pickers_ = std::move(pickers); }

    // The register's "Добавить" and "Изменить".
    void openForAdd(const QDate& registerDate, int shiftNo);
    void openForChange(Dataset& shiftList, int shiftNo);

    // What the pickers hand back.
    void applyWorker(int workerId, const QString& fio);
    void applyOperation(int productId, int operationId, Decimal4 price, Decimal4 basePrice, const QString& text);

    // "Запись": returns true when the entry was written (the dialog then closes).
    bool Button1Click();
    void Button3Click();
    void Button4Click();
    // Recomputes the display fields (after the quantity or hours field loses focus).
    void Recalculate();

    // The mode (1 adding, otherwise changing) and the values the pickers set.
    int Tag = 1;
    int workerId = 0;
    int operationId = 0;
    int productId = 0;
    Decimal4 price;

    QGroupBox* GroupBox1;
    QLineEdit* Edit1;  // ФИО
    QPushButton* Button3;
    QLineEdit* Edit2;  // Операция
    QPushButton* Button4;
    QLineEdit* Edit3;  // Кол-во
    QLineEdit* Edit6;  // Время
    QLineEdit* Edit5;  // Цвет
    QLabel* Label6;
    QDateEdit* DTimeP;
    QLineEdit* Edit4;  // Брак
    QLineEdit* Edit8;  // Цена база
    QLineEdit* Edit7;  // Цена итог
    QLineEdit* Edit9;  // Сумма
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void setPaintEnabled(bool enabled);
    static bool isPaint(const QString& text);
    void applyPaintRule();
    bool completeInput();
    bool readNumbers(EntryValues& values);

    TDataModule6& dm_;
    EntryStore store_;
    Pickers pickers_;
    int shiftNo_ = 1;
    Decimal4 basePrice_;
    // The entry being changed (mode 2).
    EntryOrigin origin_;
};
