#pragma once
// TForm9: adds a kind of operation or renames the current one of the kinds list.
#include "kinds_store.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class TDataModule6;

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(TDataModule6& dm, QWidget* parent = nullptr);

    // 1 a new kind; any other value renames the current row of Vid_oper.
    int Tag = 1;

    // "Записать": checks the name, writes it, re-reads Vid_oper and closes; a refused or
    // failed save leaves the dialog open.
    void Button1Click();

    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDataModule6& dm_;
    KindsStore store_;
};
