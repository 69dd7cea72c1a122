#include "norms_window.h"

#include "actions.h"
#include "band_report.h"
#include "data_module.h"
#include "sql_text.h"
#include "widgets.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

// ---------------------------------------------------------------- NormsModel

void NormsModel::setRows(const QVector<NormRow>& stored)
{
    beginResetModel();
    read_ = stored;
    read_.push_back(NormRow{});
    rows_ = read_;
    endResetModel();
}

bool NormsModel::isChanged(int r) const
{
    if (r < 0 || r >= rows_.size())
        return false;
    return isNewRow(r) ? !rows_[r].isBlank() : !(rows_[r] == read_[r]);
}

int NormsModel::rowOf(int normId) const
{
    for (int r = 0; normId != 0 && r < rows_.size(); ++r)
        if (rows_[r].id == normId)
            return r;
    return int(rows_.size()) - 1;
}

QString& NormsModel::cell(int r, int column)
{
    NormRow& row = rows_[r];
    switch (column) {
    case Price: return row.price;
    case Premium: return row.premium;
    default: return row.norm;
    }
}

int NormsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int NormsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant NormsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const QString& text = cell(index.row(), index.column());
    switch (role) {
    case Qt::EditRole:
        return text;
    case Qt::DisplayRole:
        // The price shows two to three decimals; what is not a number shows as typed.
        if (index.column() == Price && !text.isEmpty())
            return report::BandReport::format(sql::decimalPoint(text), QStringLiteral("#0.00#"), QLocale().decimalPoint().at(0));
        return text;
    default:
        return {};
    }
}

bool NormsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rows_.size())
        return false;
    QString& text = cell(index.row(), index.column());
    if (text == value.toString())
        return true;
    text = value.toString();
    emit dataChanged(index, index);
    emit headerDataChanged(Qt::Vertical, index.row(), index.row());
    return true;
}

Qt::ItemFlags NormsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

QVariant NormsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        // The row indicator: "*" for the row of a new norm, a pencil mark for a changed row.
        if (role != Qt::DisplayRole || section < 0 || section >= rows_.size())
            return {};
        if (isNewRow(section))
            return QStringLiteral("*");
        return isChanged(section) ? QStringLiteral("✎") : QString();
    }
    if (section < 0 || section > Premium)
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        static const QStringList titles{QStringLiteral("Норматив"), QStringLiteral("Цена"),
                                        QStringLiteral("Премия, %")};
        return titles[section];
    }
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::FontRole: {
        QFont f;
        f.setBold(true);
        return f;
    }
    default: return {};
    }
}

// ---------------------------------------------------------------- NormsWindow

NormsWindow::NormsWindow(DataModule& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm)
{
    setObjectName(QStringLiteral("TForm22"));
    setWindowTitle(QStringLiteral("Норматив"));
    resize(360, 300);

    model = new NormsModel(this);
    model->setObjectName(QStringLiteral("norm"));
    normsGrid = new QTableView(this);
    normsGrid->setObjectName(QStringLiteral("DBGrid1"));
    normsGrid->setAccessibleName(QStringLiteral("Нормативы"));
    normsGrid->setModel(model);
    normsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    normsGrid->setTabKeyNavigation(false);
    normsGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    normsGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    normsGrid->horizontalHeader()->setHighlightSections(true);
    normsGrid->verticalHeader()->setVisible(true);
    normsGrid->verticalHeader()->setDefaultSectionSize(normsGrid->fontMetrics().height() + 4);
    normsGrid->setColumnWidth(NormsModel::Norm, 90);
    normsGrid->setColumnWidth(NormsModel::Price, 90);
    normsGrid->setColumnWidth(NormsModel::Premium, 90);

    // Both the default and the cancel button: Enter and Esc save and close.
    saveButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Сохранить"), this);
    saveButton->setDefault(true);
    deleteButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Удалить"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(deleteButton);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(normsGrid, 1);
    layout->addLayout(buttons);

    connect(normsGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, &NormsWindow::cellChanged);
    connect(saveButton, &QPushButton::clicked, this, &NormsWindow::saveAndClose);
    connect(deleteButton, &QPushButton::clicked, this, &NormsWindow::deleteRow);
}

bool NormsWindow::editNorms(const Row& operation)
{
    prepare(operation[QStringLiteral("id")].asInteger());
    return exec() == QDialog::Accepted;
}

void NormsWindow::prepare(int operationId)
{
    operationId_ = operationId;
    model->setRows({});
    runAction(dm_.db, [this] { reload(); });
    moveTo(0, NormsModel::Norm);
}

void NormsWindow::reload() { model->setRows(store_.norms(operationId_)); }

void NormsWindow::moveTo(int r, int column)
{
    moving_ = true;
    const QModelIndex idx = model->index(std::clamp(r, 0, std::max(0, model->rowCount() - 1)), column);
    normsGrid->setCurrentIndex(idx);
    normsGrid->scrollTo(idx);
    moving_ = false;
}

bool NormsWindow::storeRow(int r, int* storedId)
{
    const NormRow row = model->row(r);
    return runCommand(dm_.db, [&] { return store_.storeNorm(operationId_, row, storedId); }).isDone();
}

void NormsWindow::cellChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (moving_ || !previous.isValid() || !model->isChanged(previous.row()))
        return;
    const int from = previous.row();
    // Where the user is going, found again after the re-read: the same row, another stored
    // row, or the row of a new norm.
    const int targetId = current.row() == from ? -1 : model->row(current.row()).id;
    const int column = current.isValid() ? current.column() : previous.column();
    int storedId = 0;
    if (!storeRow(from, &storedId)) {
        moveTo(from, previous.column());
        return;
    }
    if (!runAction(dm_.db, [this] { reload(); }))
        return;
    moveTo(model->rowOf(targetId == -1 ? storedId : targetId), column);
}

void NormsWindow::commitEditor()
{
    if (QWidget* editor = normsGrid->indexWidget(normsGrid->currentIndex()))
        QMetaObject::invokeMethod(normsGrid, "commitData", Qt::DirectConnection, Q_ARG(QWidget*, editor));
}

void NormsWindow::saveAndClose()
{
    commitEditor();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (!model->isChanged(r))
            continue;
        int storedId = 0;
        if (!storeRow(r, &storedId)) {
            moveTo(r, std::max(0, normsGrid->currentIndex().column()));
            return;  // the window stays open with the user's input
        }
    }
    accept();
}

void NormsWindow::deleteRow()
{
    const int r = normsGrid->currentIndex().row();
    const int column = std::max(0, normsGrid->currentIndex().column());
    if (r < 0)
        return;
    // A row not stored yet is only dropped; the last stored row of an operation stays.
    const int normId = model->row(r).id;
    if (normId != 0 && model->storedCount() > 1)
        runCommand(dm_.db, [&] { return store_.deleteNorm(operationId_, normId); });
    runAction(dm_.db, [&] { reload(); });
    moveTo(std::min(r, model->rowCount() - 1), column);
}

void NormsWindow::reject() { saveAndClose(); }
