#pragma once
// The browse/choose machinery of every reference list (workers, products, kinds of
// operations, operations, nomenclature groups). Opened from the register's menu a list
// browses: its add, change and delete buttons work on its rows. Opened by a dialog it
// chooses: "Выбрать" (or a double click) hands a copy of the current row back and closes.
#include "change_seam.h"
#include "dataset.h"
#include "dataset_model.h"

#include <QDialog>
#include <memory>
#include <optional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class DataModule;

enum class ListMode { Browse, Choose };

class RefList : public QDialog {
    Q_OBJECT
public:
    ListMode mode() const { return mode_; }

    // From the register's menu: browsing, shown modally, the list closed afterwards.
    void browse();
    // As a picker: a copy of the chosen row; nothing when the user left without choosing or
    // the list was empty.
    std::optional<Row> choose();

    // The steps around showing the list, for openers (and tests) that show it themselves.
    void prepareBrowsing();
    void prepareChoosing();
    void finish();
    const std::optional<Row>& chosen() const { return chosen_; }

    // Actions, public so that tests drive them as the controls do.
    void addRow();
    // "Изменить" while browsing, "Выбрать" while choosing; also a double click and Enter.
    void changeOrChoose();
    void deleteRow();
    // The search field changed: the list narrows to the rows that match it.
    void search();

    QTableView* grid;
    QLineEdit* searchEdit;
    QPushButton* addButton;
    QPushButton* changeButton;
    QPushButton* deleteButton;
    QPushButton* exitButton;

protected:
    enum class Match { Beginning, Anywhere };
    struct Setup {
        QString formName;           // the object name, "TForm5"
        QString title;
        QVector<GridColumn> columns;
        QString searchField;
        Match match = Match::Beginning;
        bool swallowKeys = true;          // the search field takes no cursor keys
        bool searchWhileBrowsing = true;  // else it is shown only while choosing
        // The buttons' control names by role.
        QString addName = QStringLiteral("Button1");
        QString changeName = QStringLiteral("Button2");
        QString deleteName = QStringLiteral("Button3");
        QString exitName = QStringLiteral("Button4");
        // The data the list shows: another copy's change of it re-reads the open list.
        QList<DataKind> shows{};
    };
    RefList(DataModule& dm, Dataset& list, Setup setup, QWidget* parent);
    // A list of a query of its own rather than of a shared dataset.
    RefList(DataModule& dm, std::unique_ptr<Dataset> ownList, Setup setup, QWidget* parent);

    // The list's own layouts: the grid above the search field above the buttons, or the grid
    // above one row of buttons and search field with `extra` controls after the delete button.
    void layOutInRows();
    void layOutInOneRow(const QList<QWidget*>& extra = {});

    // What browsing does with a row (the choosing mode needs no more than the machinery).
    virtual void addItem() = 0;
    virtual void changeItem(const Row& row) = 0;
    virtual void deleteItem(const Row& row) = 0;
    // A double click on the grid: "Изменить" or "Выбрать" unless the list does more.
    virtual void rowDoubleClicked() { changeOrChoose(); }

    // Where a re-read list stands.
    enum class After { FirstRow, SameRow };
    // Closes and reopens the list, on its first row or on the row number it had.
    void reread(After after);
    // "Удаление": asks `question`; on Yes runs `remove` with the row's id and re-reads.
    void askAndDelete(const Row& row, const QString& question, const std::function<Outcome(int id)>& remove,
                      After after);

    void showEvent(QShowEvent* event) override;

    DataModule& dm_;
    Dataset& list_;

private:
    // The mode, no choice yet, an empty search over the whole list, the list opened.
    void openIn(ListMode mode);
    void setSearchVisible(bool visible);

    std::unique_ptr<Dataset> ownList_;
    Setup setup_;
    ListMode mode_ = ListMode::Browse;
    DatasetModel* model_;
    QLabel* searchLabel_;
    std::optional<Row> chosen_;
};
