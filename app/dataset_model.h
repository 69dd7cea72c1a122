#pragma once
// Shows a Dataset in a QTableView from a column list, and keeps the grid's current row
// and the dataset's record number in step.
#include "dataset.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>

class QTableView;

struct GridColumn {
    QString field;
    QString title;
    int width = 64;  // pixels; 64 is the toolkit's default column width
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;
    // Display text of a value (masks such as "#0.00"); the raw value when empty.
    std::function<QString(const QVariant&)> format = {};
};

struct CellStyle {
    std::optional<QColor> foreground;
    std::optional<QColor> background;
    bool bold = false;
};

// Per-grid colouring: called for each shown cell with the dataset positioned nowhere;
// `rec` is the 0-based shown row.
using CellRule = std::function<std::optional<CellStyle>(const Dataset&, int rec, const QString& field)>;

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DatasetModel(Dataset& dataset, QVector<GridColumn> columns, QObject* parent = nullptr);

    void setCellRule(CellRule rule) { rule_ = std::move(rule); }
    Dataset& dataset() { return *ds_; }
    const QVector<GridColumn>& columns() const { return columns_; }
    // Show another dataset with the same columns (the register switches shifts so).
    void setDataset(Dataset& dataset);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The shown dataset's current record moved (1-based; 0 when none).
    void currentRecordChanged(int recNo);

private:
    void connectDataset();

    Dataset* ds_;
    QVector<GridColumn> columns_;
    CellRule rule_;
    QMetaObject::Connection resetConn_;
    QMetaObject::Connection currentConn_;
};

// Draws cells as usual, but a cell that has a colour of its own (the green "ok", a red weekend)
// keeps it on the selected row.
class KeepColoursDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// The width a grid needs to show every visible column without a horizontal scroll bar.
int fittedWidth(const QTableView* grid);

// Widens the grid's window (a fixed-size one too) so the grid shows every column; never narrows it.
void widenToFit(QWidget* window, const QTableView* grid);

// Sets up a read-only, whole-row grid for the model: widths, hidden columns, bold centred
// titles, and the current row kept in step with the dataset's record number both ways.
void bindGrid(QTableView* grid, DatasetModel* model);
