#include "workers_store.h"

#include "change_seam.h"
#include "database.h"
#include "text_rules.h"

namespace {

const QString kTable = QStringLiteral("accounts_dep.person");

Outcome writeWorker(Database& db, ChangeAction action, const QString& rows, const Params& params)
{
    return applyRowChange(db, DataKind::Worker, action, kTable, rows, params);
}

} // namespace

Outcome workerFault(const WorkerValues& w)
{
    if (w.fio.trimmed().isEmpty())
        return Outcome::refused(QStringLiteral("ФИО нужно заполнить!"));
    if (Outcome name = checkText(w.fio.trimmed(), QStringLiteral("ФИО"), 254); !name)
        return name;
    if (w.position)
        return checkText(*w.position, QStringLiteral("Подразделение"), 254);
    return Outcome::done();
}

Outcome WorkersStore::add(const WorkerValues& w)
{
    if (Outcome valid = workerFault(w); !valid)
        return valid;
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        return writeWorker(db_, ChangeAction::Add,
                           rowWrite::insert(kTable, QStringLiteral("fio, s_staffpos_hl"), QStringLiteral(":fio, :pos")),
                           {{QStringLiteral("fio"), w.fio.trimmed()},
                            {QStringLiteral("pos"), w.position.value_or(QStringLiteral(""))}});
    });
}

Outcome WorkersStore::change(int personId, const WorkerValues& w)
{
    if (Outcome valid = workerFault(w); !valid)
        return valid;
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        return writeWorker(db_, ChangeAction::Change,
                           rowWrite::updateById(kTable, QStringLiteral("fio=:fio, s_staffpos_hl=coalesce(:pos, t.s_staffpos_hl)")),
                    {{QStringLiteral("fio"), w.fio.trimmed()},
                     {QStringLiteral("pos"),
                      w.position ? QVariant(*w.position) : QVariant(QMetaType(QMetaType::QString))},
                     {QStringLiteral("id"), personId}});
    });
}

Outcome WorkersStore::remove(int personId)
{
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        return writeWorker(db_, ChangeAction::Delete,
                           rowWrite::deleteById(kTable),
                           {{QStringLiteral("id"), personId}});
    });
}
