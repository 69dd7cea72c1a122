// The change history: "История позиции" of a register entry and "Журнал изменений" of a month,
// each opened as the register opens it (read, shown, painted) against its statement alone, on
// data with a history row for every register entry.
#include "bench_data.h"
#include "bench_support.h"
#include "change_journal_window.h"
#include "data_module.h"
#include "entry_history_window.h"
#include "entry_store.h"
#include "windows.h"

#include <QDateEdit>
#include <QTableView>

namespace bench {

namespace {

// An entry of the measured day as the register's list shows it, changed twice by the program so
// that its history has three rows, as a disputed entry's may.
Row disputedEntry(DataModule& dm)
{
    Dataset list(dm.db, QStringLiteral("list"), DataModule::shiftStatement(1));
    list.setParam(QStringLiteral("data"), data::workingDay(0));
    list.setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    list.open();
    if (list.isEmpty())
        throw std::runtime_error("no register entry on the measured day");
    for (int quantity : {40, 30}) {
        const Row shown = list.currentRow();
        EntryValues v;
        v.workerId = shown[QStringLiteral("w_id")].asInteger();
        v.operationId = shown[QStringLiteral("o_id")].asInteger();
        v.productId = shown[QStringLiteral("i_id")].asInteger();
        v.price = *Decimal4::fromText(QString::number(shown[QStringLiteral("cena")].asFloat(), 'f', 4));
        v.quantity = quantity;
        v.rejects = 0;
        v.hours = shown[QStringLiteral("time")].asInteger();
        v.colour = shown[QStringLiteral("color")].asInteger();
        v.date = shown[QStringLiteral("data")].asDate();
        v.shiftNo = 1;
        if (!EntryStore(dm.db).change(shown, v))
            throw std::runtime_error("the measured entry could not be changed");
        list.reopen(true);
    }
    return list.currentRow();
}

} // namespace

void historySuite(Context& c)
{
    DataModule& dm = c.dm();

    Measure entry;
    entry.group = QStringLiteral("history");
    entry.name = QStringLiteral("История позиции of an entry, target 20 ms");
    entry.limit = QStringLiteral("its statement alone");
    entry.runs = 21;
    Row shown;
    const QString ofRow = QStringLiteral(
        "select l.id, l.at, l.login_role, l.os_user, l.host, l.action, l.table_name, l.old_row::text, l.new_row::text "
        "from tabel.change_log l where l.table_name = 'accounts_dep.smena' and l.row_key = jsonb_build_object('id', :id) "
        "order by l.id");
    entry.setup = [&] {
        shown = disputedEntry(dm);
        entry.traced = &dm.db;
        entry.rows = fetchAll(dm.db, ofRow, {{QStringLiteral("id"), shown[QStringLiteral("id")].asInteger()}});
    };
    entry.check = [&]() -> QString {
        return entry.rows == 3 ? QString() : QStringLiteral("the entry has %1 history rows, not 3").arg(entry.rows);
    };
    entry.program = [&](int) {
        EntryHistoryWindow& w = c.windows().entryHistory();
        PaintWatch painted(w.historyGrid->viewport());
        w.prepare(shown);
        w.show();
        painted.wait();
        stopClock();
        w.hide();
    };
    entry.reference = [&](int) {
        fetchAll(dm.db, ofRow, {{QStringLiteral("id"), shown[QStringLiteral("id")].asInteger()}});
    };
    c.runner.run(entry);

    Measure journal;
    journal.group = QStringLiteral("history");
    journal.name = QStringLiteral("Журнал изменений of a month, target 300 ms");
    journal.limit = QStringLiteral("its statement alone");
    journal.runs = 9;
    const QDate first = data::fullMonth();
    const QDate last = first.addMonths(1).addDays(-1);
    ChangeJournalWindow& w = c.windows().changeJournal();
    JournalFilter filter{first, last};
    journal.setup = [&] {
        w.prepare();
        w.fromDate->setDate(first);
        w.toDate->setDate(last);
        filter = w.filter();
        journal.traced = &dm.db;
        journal.rows = fetchAll(dm.db, HistoryStore::journalStatement(filter), HistoryStore::journalParams(filter));
    };
    journal.check = [&]() -> QString {
        return journal.rows > 0 ? QString() : QStringLiteral("no history rows in the measured month");
    };
    journal.program = [&](int) {
        PaintWatch painted(w.journalGrid->viewport());
        w.showChanges();
        w.show();
        painted.wait();
        stopClock();
        w.hide();
    };
    journal.reference = [&](int) {
        fetchAll(dm.db, HistoryStore::journalStatement(filter), HistoryStore::journalParams(filter));
    };
    journal.teardown = [&] { w.finish(); };
    c.runner.run(journal);
}

} // namespace bench
