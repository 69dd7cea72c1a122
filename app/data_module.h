#pragma once
// The shared data module: the one connection and the datasets that several windows show,
// the duplicate test and the decimal-separator fix. Stores write through ADO_DB directly,
// never through a shared dataset.
#include "database.h"
#include "dataset.h"
#include "outcome.h"

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

    // The shift query of shift 1..4.
    Dataset& smena(int shiftNo);
    // Closes and opens the four shift lists. When the four have one date and one mark (as the
    // register and the login set them), one statement reads the day's entries of all shifts and
    // each list takes its shift's rows, with the fields and in the order of its own statement;
    // otherwise each list runs its own statement.
    void reopenShiftLists();

    // The duplicate test: runs a count statement (first column) with its parameters bound and
    // returns the refusal `message` when it counts anything. The caller shows the refusal once
    // its transaction has ended.
    Outcome CheckExists(const QString& statement, const QString& message, const Params& params = {});
    // The first comma (or, without one, the first point) replaced by Delim.
    QString FixDecimalSeparator(const QString& text) const;

    // Statement texts of the shift lists, and of the four lists at once.
    static QString shiftStatement(int shiftNo);
    static QString allShiftsStatement();
    static QString operStatement();
};
