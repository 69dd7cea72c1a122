#include "dataset_model.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QItemSelectionModel>
#include <QTableView>

DatasetModel::DatasetModel(Dataset& dataset, QVector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), ds_(&dataset), columns_(std::move(columns))
{
    connectDataset();
}

void DatasetModel::connectDataset()
{
    disconnect(resetConn_);
    disconnect(currentConn_);
    currentConn_ = connect(ds_, &Dataset::currentChanged, this, &DatasetModel::currentRecordChanged);
    resetConn_ = connect(ds_, &Dataset::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

void DatasetModel::setDataset(Dataset& dataset)
{
    beginResetModel();
    ds_ = &dataset;
    connectDataset();
    endResetModel();
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ds_->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= columns_.size())
        return {};
    const GridColumn& col = columns_[index.column()];
    // A grid asks for many roles of every cell it paints: the value is looked up only for the
    // text.
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant value = ds_->valueAt(index.row(), ds_->fieldIndex(col.field));
        return col.format ? col.format(value) : displayText(value);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(col.alignment);
    case Qt::ForegroundRole:
    case Qt::BackgroundRole:
    case Qt::FontRole: {
        if (!rule_)
            return {};
        const auto style = rule_(*ds_, index.row(), col.field);
        if (!style)
            return {};
        if (role == Qt::ForegroundRole && style->foreground)
            return *style->foreground;
        if (role == Qt::BackgroundRole && style->background)
            return *style->background;
        if (role == Qt::FontRole && style->bold) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    }
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return columns_[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (role == Qt::FontRole) {
        QFont f;
        f.setBold(true);
        return f;
    }
    return {};
}

namespace {

void selectCurrent(QTableView* grid, DatasetModel* model)
{
    const int rec = model->dataset().recNo();
    if (rec <= 0 || model->rowCount() == 0)
        return;
    const QModelIndex idx = model->index(rec - 1, std::max(0, grid->currentIndex().column()));
    if (grid->currentIndex().row() != idx.row()) {
        grid->setCurrentIndex(idx);
        grid->scrollTo(idx);
    }
}

} // namespace

void KeepColoursDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (foreground.canConvert<QColor>())
        option->palette.setColor(QPalette::HighlightedText, foreground.value<QColor>());
}

int fittedWidth(const QTableView* grid)
{
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width() + 4;
    if (!grid->verticalHeader()->isHidden())
        width += grid->verticalHeader()->sizeHint().width();
    for (int i = 0; i < grid->model()->columnCount(); ++i)
        if (!grid->isColumnHidden(i))
            width += grid->columnWidth(i);
    return width;
}

void widenToFit(QWidget* window, const QTableView* grid)
{
    const int needed = fittedWidth(grid) + (window->width() - grid->width());
    if (window->width() >= needed)
        return;
    if (window->minimumWidth() == window->maximumWidth())
        window->setFixedWidth(needed);
    else
        window->resize(needed, window->height());
}

void bindGrid(QTableView* grid, DatasetModel* model)
{
    grid->setModel(model);
    // Cells are plain words and numbers: laid out without text shaping (no kerning or ligatures
    // to apply), the most of what painting a full grid costs. Family and size stay inherited.
    QFont unshaped;
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    grid->setFont(unshaped);
    grid->setItemDelegate(new KeepColoursDelegate(grid));
    // Tab and Shift+Tab move on to the window's next control, not from cell to cell.
    grid->setTabKeyNavigation(false);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    // A column is as wide as its list gives it, and never narrower than its bold title.
    QFont titleFont = grid->horizontalHeader()->font();
    titleFont.setBold(true);
    const QFontMetrics titles(titleFont);
    const auto& cols = model->columns();
    for (int i = 0; i < cols.size(); ++i) {
        grid->setColumnWidth(i, std::max(cols[i].width, titles.horizontalAdvance(cols[i].title) + 14));
        grid->setColumnHidden(i, !cols[i].visible);
    }
    // Grid -> dataset.
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, grid,
                     [model](const QModelIndex& current) {
                         if (current.isValid() && model->dataset().recNo() != current.row() + 1)
                             model->dataset().setRecNo(current.row() + 1);
                     });
    // Dataset -> grid, on moves and after re-reads (the model is reset first).
    QObject::connect(model, &QAbstractItemModel::modelReset, grid,
                     [grid, model] { selectCurrent(grid, model); });
    QObject::connect(model, &DatasetModel::currentRecordChanged, grid,
                     [grid, model](int) { selectCurrent(grid, model); });
    selectCurrent(grid, model);
}
