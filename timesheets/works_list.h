#pragma once
// WorksList (TForm25) "Хоз. работы (25)": the household and average piece-rate works of one
// date; adds, changes and deletes them through the works dialog and recomputes the month's
// average piece-rate prices.
#include "dataset.h"
#include "dataset_model.h"
#include "works_store.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QPushButton;
class QTableView;
class DataModule;
class WorksDialog;

class WorksList : public QDialog {
    Q_OBJECT
public:
    WorksList(DataModule& dm, WorksDialog& dialog, QWidget* parent = nullptr);

    // The register's "Ср.сд./хоз. работы": the records of `date`, shown modally.
    void openForDate(const QDate& date);
    // The steps around showing it, for tests that show it themselves: the date, its day-off
    // mark, the list read; and the list closed.
    void prepare(const QDate& date);
    void finish();

    QDate date() const;
    bool dayOff() const;

    // Actions, public so that tests drive them as the controls do.
    void changeDate();  // the user chose another date
    void addRecord();     // addButton
    void changeRecord();  // changeButton, a double click
    void deleteRecord();  // deleteButton
    void recomputeAveragePrices();  // recomputeButton

    // The records of the date.
    Dataset records;

    QTableView* grid;
    QPushButton* addButton;
    QPushButton* changeButton;
    QPushButton* deleteButton;
    QPushButton* recomputeButton;
    QDateEdit* dateEdit;
    QCheckBox* dayOffBox;
    QPushButton* exitButton;

private:
    void buildControls();
    void paintDayOff();
    // Enables the buttons of the writes the login may make: full rights all, the foremen
    // "Добавить", the viewer and the warehouse none.
    void enableWrites();
    // Reads the date's records anew; on the remembered record number when asked and possible.
    void reread(bool sameRow);
    static QVector<GridColumn> gridColumns();

    DataModule& dm_;
    WorksDialog& dialog_;
    WorksStore store_;
    DatasetModel* model_;
    bool settingDate_ = false;
};
