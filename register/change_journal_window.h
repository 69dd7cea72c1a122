#pragma once
// ChangeJournalWindow "Журнал изменений": every change of a period, read-only, filtered by
// worker, by what changed and by action; the selected change's fields before and after below
// the list; the list written to a spreadsheet.
#include "dataset_model.h"
#include "history_store.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;
class DataModule;

class ChangeJournalWindow : public QDialog {
    Q_OBJECT
public:
    explicit ChangeJournalWindow(DataModule& dm, QWidget* parent = nullptr);

    // The journal of the current month, shown modally.
    void open();
    // The steps around showing it, for tests that show it themselves.
    void prepare();
    void finish();

    // Actions, public so that tests drive them as the controls do.
    void showChanges();    // showButton: the list of the filter
    void exportToExcel();  // exportButton

    JournalFilter filter() const;
    Dataset& journal() { return journal_; }
    Dataset& details() { return details_; }

    QDateEdit* fromDate;
    QDateEdit* toDate;
    QComboBox* workerBox;
    QComboBox* whatBox;
    QComboBox* actionBox;
    QPushButton* showButton;
    QLabel* countLabel;
    QTableView* journalGrid;
    QTableView* detailsGrid;
    QPushButton* exportButton;
    QPushButton* exitButton;

private:
    void buildControls();
    void fillWorkers();
    void showDetails();
    QVector<GridColumn> journalColumns() const;

    DataModule& dm_;
    HistoryStore store_;
    QHash<int, QString> workerNames_;  // by number, for the list
    Dataset journal_;
    Dataset details_;
    DatasetModel* journalModel_;
    DatasetModel* detailsModel_;
};
