#pragma once
// NormsWindow (TForm22) "Норматив": the norm rows of one operation (norm value, price, premium)
// edited in place; a row is stored when the user leaves it, and the list is re-read in norm
// order.
#include "dataset.h"
#include "operations_store.h"

#include <QAbstractTableModel>
#include <QDialog>

class QPushButton;
class QTableView;
class DataModule;

// The rows the norms grid edits: the stored rows in the order of the norm value, then one
// empty row for a new norm ("*" in the row indicator).
class NormsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column { Norm, Price, Premium };

    void setRows(const QVector<NormRow>& stored);
    const NormRow& row(int r) const { return rows_[r]; }
    bool isNewRow(int r) const { return rows_[r].id == 0; }
    // True when the row differs from what was read (a new row: when anything was typed).
    bool isChanged(int r) const;
    int storedCount() const { return int(read_.size()) - 1; }
    // The row of a stored norm, or the new row for 0 and for an id that is not there.
    int rowOf(int normId) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString& cell(int r, int column);
    const QString& cell(int r, int column) const { return const_cast<NormsModel*>(this)->cell(r, column); }

    QVector<NormRow> rows_;
    QVector<NormRow> read_;
};

class NormsWindow : public QDialog {
    Q_OBJECT
public:
    explicit NormsWindow(DataModule& dm, QWidget* parent = nullptr);

    // The norms of the operation of a row of the operations list, shown modally; true when
    // the window was closed with its rows stored.
    bool editNorms(const Row& operation);
    // Reads the operation's norms and stands on the first row.
    void prepare(int operationId);
    int operationId() const { return operationId_; }

    // "Сохранить" (also Enter and Esc outside a cell being edited): stores the pending
    // changes and closes; a refused value leaves the window open with the user's input.
    void saveAndClose();
    // "Удалить": deletes the current row unless it is the operation's last one, then re-reads.
    void deleteRow();

    QTableView* normsGrid;
    QPushButton* saveButton;
    QPushButton* deleteButton;
    NormsModel* model;

public slots:
    void reject() override;

private:
    // Leaving a cell of a changed row stores the row and re-reads, following the user to
    // the cell that was entered; a refused row keeps its input and the cell stays on it.
    void cellChanged(const QModelIndex& current, const QModelIndex& previous);
    bool storeRow(int r, int* storedId);
    void reload();
    void moveTo(int r, int column);
    void commitEditor();

    DataModule& dm_;
    OperationsStore store_;
    int operationId_ = 0;
    bool moving_ = false;
};
