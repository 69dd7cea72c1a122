#pragma once
// The shared data module (DataModule6): the one connection and the datasets that several windows show,
// the duplicate test and the decimal-separator fix. Stores write through db directly,
// never through a shared dataset.
#include "change_listener.h"
#include "database.h"
#include "dataset.h"
#include "outcome.h"
#include "reading_source.h"

#include <QObject>
#include <memory>

class DataModule : public QObject {
    Q_OBJECT
public:
    explicit DataModule(QObject* parent = nullptr);
    ~DataModule() override;

    Database db;
    // The reports' reading: a standby named by TABEL_REPORT_SERVER, else `db`.
    ReadingSource reading{db};
    // The other copies' committed changes, for the windows that show their data.
    ChangeListener changes{db};
    // Decimal separator for numbers written into statement text (accounts_dep.ver.delim).
    QString decimalSeparator;

    // The reference lists (objectNames Workers, Izdel, Oper, Vid_oper).
    Dataset workers;
    Dataset products;
    Dataset operations;  // with each operation's norm count and lowest price
    Dataset operationKinds;
    // The register's entries of one date, per shift; the fourth is overtime (Smena1..Smena4).
    Dataset shiftList1;
    Dataset shiftList2;
    Dataset shiftList3;
    Dataset shiftList4;
    // The monthly timesheet rows of shifts 1 to 3, for the timesheet by shifts (H_Tabel_1..3).
    Dataset shiftTimesheet1;
    Dataset shiftTimesheet2;
    Dataset shiftTimesheet3;

    // The register's list of shift 1..4.
    Dataset& shiftList(int shiftNo);
    // The timesheet by shifts' rows of shift 1..3.
    Dataset& shiftTimesheet(int shiftNo);
    // Closes and opens the four shift lists. When the four have one date and one mark (as the
    // register and the login set them), one statement reads the day's entries of all shifts and
    // each list takes its shift's rows, with the fields and in the order of its own statement;
    // otherwise each list runs its own statement.
    void reopenShiftLists();

    // The duplicate test: runs a count statement (first column) with its parameters bound and
    // returns the refusal `message` when it counts anything. The caller shows the refusal once
    // its transaction has ended.
    Outcome checkDuplicate(const QString& statement, const QString& message, const Params& params = {});
    // The first comma (or, without one, the first point) replaced by decimalSeparator.
    QString withDecimalSeparator(const QString& text) const;

    // Statement texts of the shift lists, and of the four lists at once.
    static QString shiftStatement(int shiftNo);
    static QString allShiftsStatement();
    static QString operationsStatement();
};
