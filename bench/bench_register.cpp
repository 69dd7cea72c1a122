// The register: a date change (the four shift lists read and the grid painted) against the one
// statement for the four lists; an entry save and a register delete against their limit, one
// lock and one statement in one transaction that also writes the entry's history row and sends
// its notification; another copy's writes as the register sees them.
#include "bench_data.h"
#include "bench_support.h"
#include "change_listener.h"
#include "change_notice.h"
#include "data_module.h"
#include "entry_store.h"
#include "lock_keys.h"
#include "quick_entry_row.h"
#include "register_store.h"
#include "register_window.h"
#include "windows.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QSysInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>

namespace bench {

namespace {

// ---------------------------------------------------------------------------------------------
// The program's save and delete, as the register and the entry dialog call them. The stores'
// API changes here only.
// ---------------------------------------------------------------------------------------------

Outcome programSave(DataModule& dm, const EntryValues& values) { return EntryStore(dm.db).add(values); }

// `shown` is the entry's row of its shift list, as the user saw it.
void programDelete(DataModule& dm, const Row& shown) { RegisterStore(dm.db).deleteEntry(shown); }

// ---------------------------------------------------------------------------------------------
// The limits: one lock (the worker's timesheet row, which every writer of the worker's entries
// of that shift and month takes) and one statement, which writes the history row too.
// ---------------------------------------------------------------------------------------------

// The history row of the entries `rows` (a CTE of the statement): who, the action, the row.
QString historyOf(const QString& rows, const QString& action)
{
    return QStringLiteral("logged as (insert into tabel.change_log(login_role, os_user, host, build, action, table_name, "
                          "row_key, old_row, new_row) select 'full', :os_user, :host, :build, '%2', 'accounts_dep.smena', "
                          "jsonb_build_object('id', r.id), %3, %4 from %1 r)")
        .arg(rows, action, action == QLatin1String("add") ? QStringLiteral("null") : QStringLiteral("to_jsonb(r)"),
             action == QLatin1String("add") ? QStringLiteral("to_jsonb(r)") : QStringLiteral("null"));
}

// The notification of the other copies, sent once when `rows` (a CTE of the statement) is not
// empty; a statement reads `notified` to send it.
QString notificationOf(const QString& rows)
{
    return QStringLiteral("notified as (select pg_notify('%1', :notice) from (select 1 from %2 limit 1) one)")
        .arg(QLatin1String(kChangeChannel), rows);
}

// What the program's notification of a write of an entry says.
Params noticeOf(const Database& db, ChangeAction action, int worker, int shift, const QDate& date)
{
    Change change = entryChange(action, date, shift, worker);
    QString notice = noticeHead(db.copyId(), change);
    notice.chop(1);
    return {{QStringLiteral("notice"), notice + QStringLiteral(",\"rows\":1,\"keys\":null}")}};
}

Params whoWrites(const Database& db)
{
    return {{QStringLiteral("os_user"), qEnvironmentVariable("USER")},
            {QStringLiteral("host"), QSysInfo::machineHostName()},
            {QStringLiteral("build"), db.build}};
}

Params entryParams(const EntryValues& e)
{
    return {{QStringLiteral("w_id"), e.workerId},
            {QStringLiteral("i_id"), e.productId},
            {QStringLiteral("o_id"), e.operationId},
            {QStringLiteral("cena"), e.price.toString()},
            {QStringLiteral("kol_vo"), e.quantity},
            {QStringLiteral("brak"), e.rejects},
            {QStringLiteral("data"), e.date},
            {QStringLiteral("smena"), e.shiftNo},
            {QStringLiteral("color"), e.colour},
            {QStringLiteral("time"), e.hours},
            {QStringLiteral("vvod"), QDate::currentDate()},
            {QStringLiteral("month"), e.date.month()},
            {QStringLiteral("year"), e.date.year()}};
}

// The duplicate test, the insert and the day cell in one statement: 1 when saved, 0 when an
// entry with the key exists.
bool referenceSave(Database& db, const EntryValues& e)
{
    const QString day = QStringLiteral("d%1").arg(e.date.day());
    Transaction tx(db);
    db.lockKey(lock_keys::timesheetRow(e.workerId, e.shiftNo, e.date.month(), e.date.year()));
    const int saved =
        db.scalar(QStringLiteral(
                      "with added as ("
                      " insert into accounts_dep.smena(ok, w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, "
                      "time, vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)"
                      " select 'no', :w_id, :i_id, :o_id, :cena, :kol_vo, :brak, :data, :smena, :color, :time, :vvod, "
                      "0, 0, 0, 0, 0, 0"
                      " where not exists (select 1 from accounts_dep.smena where w_id=:w_id and o_id=:o_id and "
                      "i_id=:i_id and data=:data and smena=:smena and color=:color)"
                      " returning *), %2, %3,"
                      " cell as ("
                      " insert into accounts_dep.h_tabel as h (smena, w_id, month, year, %1)"
                      " select :smena, :w_id, :month, :year, a.time + (select coalesce(sum(time), 0) from "
                      "accounts_dep.smena where w_id=:w_id and smena=:smena and data=:data) from added a"
                      " on conflict (w_id, year, month, smena, i_type, i_night) do update set %1 = excluded.%1)"
                      " select count(*) from added, notified")
                      .arg(day, historyOf(QStringLiteral("added"), QStringLiteral("add")),
                           notificationOf(QStringLiteral("added"))),
                  entryParams(e) + whoWrites(db) + noticeOf(db, ChangeAction::Add, e.workerId, e.shiftNo, e.date))
            .toInt();
    tx.commit();
    return saved == 1;
}

void referenceDelete(Database& db, const Row& shown)
{
    const int worker = shown.field(QStringLiteral("w_id")).asInteger();
    const int shift = shown.field(QStringLiteral("smena")).asInteger();
    const QDate date = shown.field(QStringLiteral("data")).asDate();
    Transaction tx(db);
    db.lockKey(lock_keys::timesheetRow(worker, shift, date.month(), date.year()));
    db.exec(QStringLiteral("with gone as (delete from accounts_dep.smena where id=:id returning *), %2, %3"
                           " update accounts_dep.h_tabel set %1 = (select coalesce(sum(time), 0) from "
                           "accounts_dep.smena where w_id=:w_id and smena=:smena and data=:data and id<>:id)"
                           " where w_id=:w_id and smena=:smena and month=:month and year=:year and exists (select 1 from notified)")
                .arg(QStringLiteral("d%1").arg(date.day()), historyOf(QStringLiteral("gone"), QStringLiteral("delete")),
                     notificationOf(QStringLiteral("gone"))),
            Params{{QStringLiteral("id"), shown.field(QStringLiteral("id")).value()},
                   {QStringLiteral("w_id"), worker},
                   {QStringLiteral("smena"), shift},
                   {QStringLiteral("data"), date},
                   {QStringLiteral("month"), date.month()},
                   {QStringLiteral("year"), date.year()}}
                + whoWrites(db) + noticeOf(db, ChangeAction::Delete, worker, shift, date));
    tx.commit();
}

// ---------------------------------------------------------------------------------------------

// The entries the save and delete measures write: one worker, day and shift of the history, an
// operation of the day's price, a colour tag of their own for every entry (no duplicate).
struct EntryPlace {
    EntryValues base;
    int nextColour = 900000;

    void find(Database& db)
    {
        const QDate day = data::workingDay(0);
        QSqlQuery q = db.exec(QStringLiteral("select s.w_id, s.smena, op.id, op.i_id, op.price from accounts_dep.smena s, "
                                             "bench.op op where s.data=:d and s.smena<4 and op.n=0 order by s.data, s.smena, s.w_id limit 1"),
                              {{QStringLiteral("d"), day}});
        if (!q.next())
            throw std::runtime_error("no register entry on the measured day");
        base.workerId = q.value(0).toInt();
        base.shiftNo = q.value(1).toInt();
        base.operationId = q.value(2).toInt();
        base.productId = q.value(3).toInt();
        base.price = *Decimal4::fromText(q.value(4).toString());
        base.quantity = 12;
        base.rejects = 1;
        base.hours = 2;
        base.date = day;
    }
    EntryValues next()
    {
        EntryValues e = base;
        e.colour = nextColour++;
        return e;
    }
    // The entries written here, as the shift list shows them, by colour tag.
    QVector<Row> shownRows(DataModule& dm, int fromColour)
    {
        Dataset list(dm.db, QStringLiteral("list"), DataModule::shiftStatement(base.shiftNo));
        list.setParam(QStringLiteral("data"), base.date);
        list.setParam(QStringLiteral("ok"), QStringLiteral("ta"));
        list.open();
        QVector<Row> rows;
        for (list.first(); !list.eof(); list.next())
            if (list.field(QStringLiteral("w_id")).asInteger() == base.workerId
                && list.field(QStringLiteral("color")).asInteger() >= fromColour)
                rows << list.currentRow();
        std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            return a.field(QStringLiteral("color")).asInteger() < b.field(QStringLiteral("color")).asInteger();
        });
        return rows;
    }
    QString cell(Database& db)
    {
        return db.scalar(QStringLiteral("select coalesce(d%1::text, 'null') from accounts_dep.h_tabel where w_id=:w "
                                        "and smena=:s and month=:m and year=:y")
                             .arg(base.date.day()),
                         {{QStringLiteral("w"), base.workerId},
                          {QStringLiteral("s"), base.shiftNo},
                          {QStringLiteral("m"), base.date.month()},
                          {QStringLiteral("y"), base.date.year()}})
            .toString();
    }
    // The newest history row: its action and the entry's row before and after, but its id.
    QString logged(Database& db)
    {
        return db.scalar(QStringLiteral("select action || ' ' || coalesce((old_row - 'id')::text, '') || ' ' || "
                                        "coalesce((new_row - 'id')::text, '') from tabel.change_log "
                                        "order by id desc limit 1"))
            .toString();
    }
    QString entryText(Database& db, int colour)
    {
        QSqlQuery q = db.exec(QStringLiteral("select w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok, "
                                             "vvod, prize, id_doc, id_doc_item, id_gds_use, id_cons_use, f_gds_qty_use "
                                             "from accounts_dep.smena where w_id=:w and data=:d and color=:c"),
                              {{QStringLiteral("w"), base.workerId}, {QStringLiteral("d"), base.date}, {QStringLiteral("c"), colour}});
        QStringList rows;
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            rows << values.join(u',');
        }
        return rows.join(u';');
    }
    void removeFrom(Database& db, int fromColour)
    {
        db.execute(QStringLiteral("delete from accounts_dep.smena where w_id=:w and data=:d and color>=:c"),
                   {{QStringLiteral("w"), base.workerId}, {QStringLiteral("d"), base.date}, {QStringLiteral("c"), fromColour}});
        db.execute(QStringLiteral("update accounts_dep.h_tabel set d%1 = (select sum(time) from accounts_dep.smena where "
                                  "w_id=:w and smena=:s and data=:d) where w_id=:w and smena=:s and month=:m and year=:y")
                       .arg(base.date.day()),
                   {{QStringLiteral("w"), base.workerId},
                    {QStringLiteral("s"), base.shiftNo},
                    {QStringLiteral("d"), base.date},
                    {QStringLiteral("m"), base.date.month()},
                    {QStringLiteral("y"), base.date.year()}});
    }
};

// A save and a delete through the program and then through the limit, with the same values:
// the same entry row, the same day cell after the save and after the delete.
QString sameWrites(DataModule& dm, EntryPlace& place)
{
    Database& db = dm.db;
    const EntryValues e = place.next();
    QStringList program, reference;
    if (!programSave(dm, e))
        return QStringLiteral("the program refused the save");
    program << place.entryText(db, e.colour) << place.cell(db) << place.logged(db);
    programDelete(dm, place.shownRows(dm, e.colour).value(0));
    program << place.entryText(db, e.colour) << place.cell(db) << place.logged(db);
    if (!referenceSave(db, e))
        return QStringLiteral("the limit refused the save");
    reference << place.entryText(db, e.colour) << place.cell(db) << place.logged(db);
    referenceDelete(db, place.shownRows(dm, e.colour).value(0));
    reference << place.entryText(db, e.colour) << place.cell(db) << place.logged(db);
    if (program != reference)
        return QStringLiteral("program and limit wrote different rows: %1 against %2")
            .arg(program.join(QStringLiteral(" | ")), reference.join(QStringLiteral(" | ")));
    // A second save of one key is refused by both.
    if (!programSave(dm, e) || programSave(dm, e) || referenceSave(db, e))
        return QStringLiteral("a duplicate was not refused alike");
    return {};
}

// Processes events for `ms` milliseconds (what the program's event loop does while idle).
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Another copy of the program (copy A) writes while the program's register (copy B) shows the
// day: from A's save to B's painted row against A's save and one re-read of the list alone; and a
// burst of 200 saves from A, which B gathers into a few re-reads, against the same burst while B
// shows nothing.
void liveSuite(Context& c, EntryPlace& place)
{
    auto copyA = std::make_shared<DataModule>();
    RegisterWindow& reg = c.windows().registerWindow();
    Dataset& shown = c.dm().shiftList(place.base.shiftNo);
    int firstColour = 0;
    auto showTheDay = [&] {
        copyA->db.open(ConnectionSettings::fromArguments(c.arguments));
        copyA->db.loginRole = Role::FullRights;
        place.find(copyA->db);
        firstColour = place.nextColour;
        PaintWatch painted(&reg);
        reg.show();
        painted.wait();
        reg.dateEdit->setDate(place.base.date);
        reg.changeDate();
        reg.chooseShift(place.base.shiftNo);
    };
    auto cleanUp = [&] {
        reg.hide();
        place.removeFrom(c.dm().db, firstColour);
        copyA->db.close();
    };
    auto shows = [&](int colour) {
        const int column = shown.fieldIndex(QStringLiteral("color"));
        for (const auto& row : shown.fetchedRows())
            if (row[column].toInt() == colour)
                return true;
        return false;
    };

    Measure seen;
    seen.group = QStringLiteral("live updates");
    seen.name = QStringLiteral("another copy's save to the painted row");
    seen.limit = QStringLiteral("the save + one re-read of the list");
    seen.runs = 15;
    seen.setup = showTheDay;
    seen.program = [&](int) {
        PaintWatch painted(reg.entriesGrid->viewport());
        const EntryValues e = place.next();
        if (!programSave(*copyA, e))
            throw std::runtime_error("the save was refused");
        QElapsedTimer waited;
        waited.start();
        while (!shows(e.colour)) {
            if (waited.elapsed() > 5000)
                throw std::runtime_error("the other copy's entry did not appear within 5 s");
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        painted.wait();
        stopClock();
        idle(Gathered::kInterval + 50);  // the next run finds the gathering over
    };
    seen.reference = [&](int) {
        if (!programSave(*copyA, place.next()))
            throw std::runtime_error("the save was refused");
        fetchAll(c.dm().db, shown);
    };
    seen.teardown = cleanUp;
    c.runner.run(seen);

    Measure burst;
    burst.group = QStringLiteral("live updates");
    burst.name = QStringLiteral("a burst of 200 saves from another copy");
    burst.limit = QStringLiteral("the burst, the register hidden; ≤ 5 re-reads");
    burst.runs = 3;
    burst.rows = 200;
    burst.setup = showTheDay;
    auto saveBurst = [&] {
        for (int n = 0; n < 200; ++n) {
            if (!programSave(*copyA, place.next()))
                throw std::runtime_error("the save was refused");
            QCoreApplication::processEvents();
        }
        idle(Gathered::kInterval + 50);
    };
    burst.program = [&](int) {
        if (!reg.isVisible())
            reg.show();
        int resets = 0;
        QObject counting;
        QObject::connect(&shown, &Dataset::rowsReset, &counting, [&] { ++resets; });
        saveBurst();
        // A re-read closes the list and opens it: two resets.
        if (resets / 2 > 5)
            throw std::runtime_error(QStringLiteral("%1 re-reads of the watching copy's list").arg(resets / 2).toStdString());
    };
    burst.reference = [&](int) {
        reg.hide();
        saveBurst();
        reg.show();
    };
    burst.teardown = cleanUp;
    c.runner.run(burst);
}

} // namespace

void registerSuite(Context& c)
{
    // Date change: the register shown on one day, then alternately on two others.
    Measure change;
    change.group = QStringLiteral("register");
    change.name = QStringLiteral("date change (four shift lists)");
    change.limit = QStringLiteral("one statement for four lists");
    change.target = 1.2;
    change.runs = 15;
    auto dayOf = [](int run) { return data::workingDay(run & 1); };
    change.setup = [&] {
        RegisterWindow& reg = c.windows().registerWindow();
        PaintWatch shown(&reg);
        reg.show();
        shown.wait();
        change.traced = &c.dm().db;
    };
    change.check = [&]() -> QString {
        RegisterWindow& reg = c.windows().registerWindow();
        reg.dateEdit->setDate(dayOf(0));
        reg.changeDate();
        change.rows = 0;
        for (int shift = 1; shift <= 4; ++shift) {
            Dataset& list = c.dm().shiftList(shift);
            Dataset alone(c.dm().db, QStringLiteral("alone"), list.sql());
            alone.setParam(QStringLiteral("data"), list.param(QStringLiteral("data")));
            alone.setParam(QStringLiteral("ok"), list.param(QStringLiteral("ok")));
            alone.open();
            if (list.fieldNames() != alone.fieldNames() || list.fetchedRows() != alone.fetchedRows())
                return QStringLiteral("the shift %1 list differs from its own statement's rows").arg(shift);
            change.rows += list.recordCount();
        }
        return change.rows > 0 ? QString() : QStringLiteral("no entries on the measured day");
    };
    change.program = [&](int run) {
        RegisterWindow& reg = c.windows().registerWindow();
        PaintWatch painted(reg.entriesGrid->viewport());
        reg.dateEdit->setDate(dayOf(run + 1));
        reg.changeDate();
        painted.wait();
    };
    change.reference = [&](int run) {
        fetchAll(c.dm().db, DataModule::allShiftsStatement(),
                 {{QStringLiteral("data"), dayOf(run + 1)}, {QStringLiteral("ok"), QStringLiteral("ta")}});
    };
    change.teardown = [&] { c.windows().registerWindow().hide(); };
    c.runner.run(change);

    // Entry save and delete on a worker's day of the history.
    EntryPlace place;
    Measure save;
    save.group = QStringLiteral("register");
    save.name = QStringLiteral("entry save");
    save.limit = QStringLiteral("lock + one statement");
    save.target = 1.3;
    save.runs = 25;
    const int firstColour = place.nextColour;
    save.setup = [&] {
        place.find(c.dm().db);
        save.traced = &c.dm().db;
    };
    save.check = [&] { return sameWrites(c.dm(), place); };
    save.program = [&](int) {
        if (!programSave(c.dm(), place.next()))
            throw std::runtime_error("the save was refused");
    };
    save.reference = [&](int) {
        if (!referenceSave(c.dm().db, place.next()))
            throw std::runtime_error("the save was refused");
    };
    save.teardown = [&] { place.removeFrom(c.dm().db, firstColour); };
    c.runner.run(save);

    Measure remove;
    remove.group = QStringLiteral("register");
    remove.name = QStringLiteral("register delete");
    remove.limit = QStringLiteral("lock + one statement");
    remove.target = 1.3;
    remove.runs = 25;
    QVector<Row> rows;
    int fromColour = 0;
    remove.setup = [&] {
        place.find(c.dm().db);
        remove.traced = &c.dm().db;
    };
    remove.check = [&]() -> QString {
        if (QString differs = sameWrites(c.dm(), place); !differs.isEmpty())
            return differs;
        // The entries to delete, saved before the timing: one for each run of each side and
        // for the warm-ups.
        fromColour = place.nextColour;
        for (int i = 0; i < 2 * remove.runs + 2; ++i)
            programSave(c.dm(), place.next());
        rows = place.shownRows(c.dm(), fromColour);
        return rows.size() == 2 * remove.runs + 2 ? QString() : QStringLiteral("the entries to delete are missing");
    };
    int taken = 0;
    remove.program = [&](int) { programDelete(c.dm(), rows.value(taken++)); };
    remove.reference = [&](int) { referenceDelete(c.dm().db, rows.value(taken++)); };
    remove.teardown = [&] { place.removeFrom(c.dm().db, firstColour); };
    c.runner.run(remove);

    // A keystroke in the quick row's "Рабочий": the matches of the typed text over every worker,
    // searched in memory (the lists are read once, before the timing). No reference: the figure
    // itself is the target (30 ms at the large size).
    Measure keystroke;
    keystroke.group = QStringLiteral("register");
    keystroke.name = QStringLiteral("quick row keystroke (worker matches)");
    keystroke.limit = QStringLiteral("none: ≤ 30 ms");
    keystroke.runs = 25;
    keystroke.setup = [&] {
        RegisterWindow& reg = c.windows().registerWindow();
        reg.show();
        QLineEdit* field = reg.quickRow->workerEdit;
        field->setText(QStringLiteral("а"));
        emit field->textEdited(field->text());  // reads the lists
        keystroke.rows = c.dm().db.scalar(QStringLiteral("select count(*) from accounts_dep.person")).toDouble();
    };
    keystroke.program = [&](int run) {
        QLineEdit* field = c.windows().registerWindow().quickRow->workerEdit;
        field->setText(run & 1 ? QStringLiteral("ив") : QStringLiteral("ова"));
        emit field->textEdited(field->text());
        if (c.windows().registerWindow().quickRow->matchList->count() == 0)
            throw std::runtime_error("no worker matched");
    };
    keystroke.teardown = [&] {
        c.windows().registerWindow().quickRow->clearRow();
        c.windows().registerWindow().hide();
    };
    c.runner.run(keystroke);

    liveSuite(c, place);
}

} // namespace bench
