#pragma once
// The shared data module: the one connection and the datasets and commands that several
// windows use, the duplicate test and the decimal-separator fix.
#include "database.h"
#include "dataset.h"

#include <QObject>
#include <memory>

class TDataModule6 : public QObject {
    Q_OBJECT
public:
    explicit TDataModule6(QObject* parent = nullptr);
    ~TDataModule6() override;

    Database ADO_DB;
    // Decimal separator for numbers written into statement text (accounts_dep.ver.delim).
    QString Delim;

    Dataset Workers;
    Dataset Izdel;
    Dataset Oper;
    Dataset Vid_oper;
    Dataset Smena1;
    Dataset Smena2;
    Dataset Smena3;
    Dataset Smena4;
    Dataset H_Tabel_1;
    Dataset H_Tabel_2;
    Dataset H_Tabel_3;
    Dataset Control;

    Command DelSmena;
    Command H_Tabel_ins;
    Command SQL_exec;
    Command Oper_ins;
    Command Oper_ed;
    Command Oper_del;

    // The shift query of shift 1..4.
    Dataset& smena(int shiftNo);

    // Runs a count statement (column cnt); shows `message` and returns 1 when it counts
    // anything, else 0. Control is closed either way.
    int CheckExists(const QString& statement, const QString& message);
    // The same with named parameters bound into the count statement.
    int CheckExists(const QString& statement, const QString& message, const Params& params);
    // The first comma (or, without one, the first point) replaced by Delim.
    QString FixDecimalSeparator(const QString& text) const;

    // Statement texts of the shift lists.
    static QString shiftStatement(int shiftNo);
    static QString operStatement();
};
