#pragma once
// The lists with "Добавить", "Изменить"/"Выбрать", "Удалить" and a search by the beginning
// of a name: workers, products and kinds of operations. Opened from the register's menu
// they browse (tag 0); opened by a dialog they pick a row and hand it back.
#include "dataset_model.h"
#include "list_support.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDataModule6;

class RefList : public QDialog {
    Q_OBJECT
public:
    // Mode: 0 browsing; any other value chooses for the opener that set it.
    int Tag = 0;

    // From the register's menu: browsing, shown modally, the list's query closed afterwards.
    void browse();
    // As a picker: the chosen row's id and trimmed name, nothing when the user left without
    // choosing or the list was empty.
    std::optional<RefChoice> choose(int tag);

    // An opener's steps around showing the list, for openers that show it themselves.
    void prepareBrowsing();
    void prepareChoosing(int tag);
    void finish();
    const std::optional<RefChoice>& chosen() const { return chosen_; }

    // Actions, public so that tests drive them as the controls do.
    virtual void Button1Click() = 0;  // Добавить
    void Button2Click();              // Изменить / Выбрать, a double click on the grid
    virtual void Button3Click() = 0;  // Удалить
    void Edit1Change();

    QTableView* DBGrid1;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

protected:
    struct Setup {
        QString name;   // object name
        QString title;
        QVector<GridColumn> columns;
        QString nameField;          // searched, and handed back trimmed
        bool swallowKeys;           // the search field takes no cursor keys
        bool searchWhileBrowsing;   // else it is shown only while choosing
    };
    RefList(TDataModule6& dm, Dataset& list, Setup setup, QWidget* parent);

    // "Изменить" while browsing, on a list that has rows.
    virtual void changeRow() = 0;
    void showEvent(QShowEvent* event) override;

    TDataModule6& dm_;
    Dataset& list_;

private:
    void setSearchVisible(bool visible);

    Setup setup_;
    DatasetModel* model_;
    QLabel* searchLabel_;
    std::optional<RefChoice> chosen_;
};
