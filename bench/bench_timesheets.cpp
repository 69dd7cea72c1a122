// The monthly timesheet: the works rows' month rebuild (and, for the timesheet by shifts, the
// piece-work rows' one) against the day-by-day algorithm and against its statements alone;
// opening each of the four modes for a month, up to its painted rows against the mode's
// statement and a bare grid, and up to its footer against the two statements; the export of
// the piece-work month (one row per worker) against libxlsxwriter writing the same cells.
#include "bench_data.h"
#include "bench_support.h"
#include "data_module.h"
#include "month_rebuild.h"
#include "row_by_row_rebuild.h"
#include "timesheet_window.h"
#include "windows.h"
#include "xlsx_reference.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QEventLoop>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

namespace bench {

namespace {

TimesheetMonth measuredMonth() { return TimesheetMonth::of(data::fullMonth()); }

QString familyName(MonthRows rows) { return rows == MonthRows::Works ? QStringLiteral("works") : QStringLiteral("piece-work"); }

// The source records of the month that the family's rows are made of.
double sourceRows(Database& db, MonthRows rows, TimesheetMonth month)
{
    const QString statement = rows == MonthRows::Works
                                  ? QStringLiteral("select count(*) from accounts_dep.fatigue where d_date>=:a and d_date<:b")
                                  : QStringLiteral("select count(*) from accounts_dep.smena where data>=:a and data<:b");
    return db.scalar(statement, {{QStringLiteral("a"), month.first()}, {QStringLiteral("b"), month.next()}}).toDouble();
}

QString modeName(TimesheetMode mode)
{
    switch (mode) {
    case TimesheetMode::PieceWork: return QStringLiteral("piece-work");
    case TimesheetMode::Household: return QStringLiteral("household works");
    case TimesheetMode::AveragePieceRate: return QStringLiteral("average piece-rate works");
    case TimesheetMode::General: return QStringLiteral("general");
    }
    return {};
}

// The floor of a painted timesheet: a statement's rows as read, in a plain model, painted by a
// plain grid of the window's size that shows the same cells: the window's font, row height,
// column widths and hidden columns.
class BareGrid : public QAbstractTableModel {
public:
    explicit BareGrid(const TimesheetWindow& window)
    {
        dialog_.resize(window.size());
        auto* layout = new QVBoxLayout(&dialog_);
        view_ = new QTableView(&dialog_);
        layout->addWidget(view_);
        view_->setModel(this);
        view_->horizontalHeader()->setMinimumSectionSize(1);
    }
    // Takes the look of the window's grid for the fields of the statement's rows.
    void lookLike(const TimesheetWindow& window, const QStringList& fields)
    {
        view_->setFont(window.grid->font());
        view_->verticalHeader()->setDefaultSectionSize(window.grid->verticalHeader()->defaultSectionSize());
        widths_.clear();
        for (const QString& field : fields) {
            const int column = TimesheetWindow::columnOf(field);
            const bool shown = column >= 0 && !window.grid->isColumnHidden(column);
            widths_.push_back(shown ? window.grid->columnWidth(column) : 0);
        }
    }
    // Reads the statement's rows and paints them.
    void readAndPaint(Database& db, const Dataset& statement)
    {
        beginResetModel();
        rows_.clear();
        QSqlQuery q = db.exec(statement.sql(), statement.params(), statement.numericalPrecisionPolicy());
        columns_ = q.record().count();
        while (q.next()) {
            QVector<QVariant> row(columns_);
            for (int i = 0; i < columns_; ++i)
                row[i] = q.value(i);
            rows_.push_back(std::move(row));
        }
        endResetModel();
        // A reset forgets the columns' widths and hidden columns.
        for (int i = 0; i < widths_.size() && i < columns_; ++i) {
            view_->setColumnHidden(i, widths_[i] == 0);
            if (widths_[i] > 0)
                view_->setColumnWidth(i, widths_[i]);
        }
        PaintWatch painted(view_->viewport());
        dialog_.show();
        painted.wait();
        dialog_.hide();
    }

    int rowCount(const QModelIndex& = {}) const override { return int(rows_.size()); }
    int columnCount(const QModelIndex& = {}) const override { return columns_; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole ? rows_[index.row()][index.column()].toString() : QVariant();
    }

private:
    QDialog dialog_;
    QTableView* view_;
    QVector<int> widths_;  // by the statement's column; 0: hidden
    QVector<QVector<QVariant>> rows_;
    int columns_ = 0;
};

// Waits (in an event loop, not spinning: the footer's statement needs the processor) until the
// window shows its footer's figures, at most 10 s.
void waitForFooter(TimesheetWindow& w)
{
    if (!w.footerComing())
        return;
    QEventLoop loop;
    QObject::connect(&w, &TimesheetWindow::footerShown, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    if (w.footerComing())
        throw std::runtime_error("the footer did not come within 10 s");
}

// Opening a mode's window on the month, timed up to the painted rows, then up to the footer's
// figures shown (the footer is read in the background meanwhile).
void measureOpening(Context& c, TimesheetMode mode)
{
    DataModule& dm = c.dm();
    const TimesheetMonth month = measuredMonth();
    TimesheetWindow& w = c.windows().timesheetWindow();
    Dataset statement(dm.db, QStringLiteral("reference"), TimesheetStore::statement(mode));
    statement.setNumericalPrecisionPolicy(w.timesheet().numericalPrecisionPolicy());
    TimesheetStore::setMonth(statement, mode, month);
    BareGrid bare(w);
    auto open = [&] {
        w.prepare(mode, month);
        w.show();
    };
    auto close = [&] {
        waitForFooter(w);
        w.hide();
        w.finish();
    };

    Measure rows;
    rows.group = QStringLiteral("timesheets");
    rows.name = QStringLiteral("opening the %1 timesheet of a month, to its painted rows, target 300 ms").arg(modeName(mode));
    rows.limit = QStringLiteral("its statement + a bare grid of its cells painted");
    rows.target = 1.3;
    rows.runs = 11;
    rows.setup = [&] {
        rows.traced = &dm.db;
        open();
        rows.rows = w.timesheet().recordCount();
        bare.lookLike(w, w.timesheet().fieldNames());
        close();
    };
    rows.program = [&](int) {
        PaintWatch painted(w.grid->viewport());
        open();
        painted.wait();
        stopClock();
        close();
    };
    rows.reference = [&](int) { bare.readAndPaint(dm.db, statement); };
    c.runner.run(rows);

    Measure footer;
    footer.group = QStringLiteral("timesheets");
    footer.name = QStringLiteral("opening the %1 timesheet of a month, to its footer's figures").arg(modeName(mode));
    footer.limit = QStringLiteral("its statement, then the footer's");
    footer.runs = 11;
    // The footer sums the month's register entries and works records.
    footer.setup = [&] {
        footer.rows = sourceRows(dm.db, MonthRows::PieceWork, month) + sourceRows(dm.db, MonthRows::Works, month);
    };
    footer.program = [&](int) {
        open();
        waitForFooter(w);
        stopClock();
        close();
    };
    footer.reference = [&](int) {
        fetchAll(dm.db, statement);
        fetchAll(dm.db, TimesheetStore::footerStatement(), TimesheetStore::footerParams(month));
    };
    c.runner.run(footer);
}

void measureExport(Context& c)
{
    TimesheetWindow& w = c.windows().timesheetWindow();
    QTemporaryDir folder;
    xlsx::Cells cells;
    Measure m;
    m.group = QStringLiteral("timesheets");
    m.name = QStringLiteral("export of the piece-work month, target 2×");
    m.limit = QStringLiteral("libxlsxwriter writing the same cells");
    m.target = 2;
    m.runs = 7;
    m.setup = [&] {
        w.prepare(TimesheetMode::PieceWork, measuredMonth());
        m.rows = w.timesheet().recordCount();
    };
    // The program's workbook read back gives the reference its cells.
    m.check = [&]() -> QString {
        w.exportToExcel();
        QString error;
        cells = xlsx::readBack(newestExport(), &error);
        return error;
    };
    m.program = [&](int) { w.exportToExcel(); };
    m.reference = [&](int run) { xlsx::writeDirect(cells, folder.filePath(QStringLiteral("direct%1.xlsx").arg(run))); };
    m.teardown = [&] { w.finish(); };
    c.runner.run(m);
}

} // namespace

void measureMonthRebuild(Context& c, MonthRows rows, const QString& group)
{
    Database& db = c.dm().db;
    const TimesheetMonth month = measuredMonth();
    const QString family = familyName(rows);
    Measure m;
    m.group = group;
    m.name = QStringLiteral("month rebuild (%1 rows)").arg(family);
    m.limit = QStringLiteral("the day-by-day rebuild");
    m.target = 1.0 / 50;
    m.runs = 3;
    m.setup = [&] {
        m.traced = &db;
        m.rows = sourceRows(db, rows, month);
    };
    m.check = [&]() -> QString {
        rebuildMonthRowByRow(db, rows, month);
        const QStringList expected = monthRowsText(db, rows, month);
        rebuildMonth(db, rows, month);
        const QStringList got = monthRowsText(db, rows, month);
        if (got == expected)
            return {};
        return QStringLiteral("%1 rows against %2 of the day-by-day rebuild").arg(got.size()).arg(expected.size());
    };
    m.program = [&](int) { rebuildMonth(db, rows, month); };
    m.reference = [&](int) { rebuildMonthRowByRow(db, rows, month); };
    c.runner.run(m);

    Measure alone;
    alone.group = group;
    alone.name = QStringLiteral("%1 rebuild against its statements alone").arg(family);
    alone.limit = QStringLiteral("its delete and insert, no lock, rolled back");
    alone.target = 1.5;
    alone.runs = 11;
    alone.setup = [&] { alone.rows = sourceRows(db, rows, month); };
    alone.program = [&](int) { rebuildMonth(db, rows, month); };
    alone.reference = [&](int) {
        Transaction tx(db);
        db.exec(rebuildStatements(rows).memory);
        db.execute(rebuildStatements(rows).remove, rebuildParams(month));
        db.execute(rebuildStatements(rows).insert, rebuildParams(month));
    };
    c.runner.run(alone);
}

void timesheetsSuite(Context& c)
{
    for (TimesheetMode mode : {TimesheetMode::PieceWork, TimesheetMode::Household, TimesheetMode::AveragePieceRate,
                               TimesheetMode::General})
        measureOpening(c, mode);
    measureExport(c);
    measureMonthRebuild(c, MonthRows::Works, QStringLiteral("timesheets"));
}

} // namespace bench
