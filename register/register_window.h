#pragma once
// TForm1 "Табель": the register of one date and shift, acceptance marks, deleting entries,
// and the menu that opens every other window.
#include "dataset_model.h"
#include "register_store.h"
#include "role.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QAction;
class QCheckBox;
class QDateEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;
class TDataModule6;

class TForm1 : public QDialog {
    Q_OBJECT
public:
    // What the register opens; the composition root fills these as the windows exist.
    struct Links {
        std::function<void()> workers, products, prices, kinds, nomenclature;
        std::function<void(int menuTag)> timesheet;  // 9, 14, 15, 17
        std::function<void()> timesheetByShifts, summaryReports;
        std::function<void(const QDate&)> works;
        std::function<void()> addEntry, changeEntry;  // TForm11 for tag 1 / tag 2
        std::function<void()> versionCheck;            // every 30 seconds
    };

    explicit TForm1(TDataModule6& dm, QWidget* parent = nullptr);

    void setLinks(Links links) { links_ = std::move(links); }
    // Disables what the role may not use (the enabled states stay until the program ends).
    void applyRole(Role role);

    // Values other windows read.
    int ShiftNo = 1;
    QString Role;
    int BuildDate = 0;
    int BuildTime = 0;
    Dataset* CurQuery = nullptr;
    QDate registerDate() const;

    // Actions, public so that tests drive them as the controls do.
    void DateChange();
    void ChooseShift(int shiftNo);
    void DBGrid2DblClick();
    void Button3Click();
    void Button8Click();
    void Button1Click();
    void Button2Click();

    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QDateEdit* DateT;
    QCheckBox* CBox1;
    QTableView* DBGrid2;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button8;
    QPushButton* Button5;
    QPushButton* Button4;
    QTimer Timer1;
    QMenu* N2;   // Справочники
    QMenu* N11;  // Табель
    QMenu* N7;   // Отчеты
    QAction *N1, *N3, *N4, *N6, *N8, *N9, *N13, *N14, *N15, *N17, *N10, *N5;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void buildControls();
    void FormActivate();
    void openShiftLists();
    void markWeekend();
    void paintShiftButtons();
    void paintDayOff();
    QRadioButton* shiftButton(int shiftNo) const;
    static QVector<GridColumn> gridColumns();

    TDataModule6& dm_;
    RegisterStore store_;
    DatasetModel* model_;
    Links links_;
};
