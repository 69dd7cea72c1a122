#pragma once
// EntryHistoryWindow "История позиции": what happened to one register entry, read-only: when,
// who (the role, the computer's user, the computer), what, and each changed field before and
// after, oldest first.
#include "dataset_model.h"
#include "history_store.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;
class DataModule;

class EntryHistoryWindow : public QDialog {
    Q_OBJECT
public:
    explicit EntryHistoryWindow(DataModule& dm, QWidget* parent = nullptr);

    // The history of the entry `entry` (a row of the register's list), shown modally.
    void showFor(const Row& entry);
    // Reads it without showing the window, for tests that show it themselves.
    void prepare(const Row& entry);

    QLabel* entryLabel;
    QTableView* historyGrid;
    QPushButton* closeButton;

private:
    static QVector<GridColumn> gridColumns();

    DataModule& dm_;
    HistoryStore store_;
    Dataset lines_;
    DatasetModel* model_;
};
