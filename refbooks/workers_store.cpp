#include "workers_store.h"

#include "database.h"
#include "text_rules.h"

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
        db_.execute(QStringLiteral("INSERT INTO accounts_dep.person (fio, s_staffpos_hl)VALUES(:fio, :pos)"),
                    {{QStringLiteral("fio"), w.fio.trimmed()},
                     {QStringLiteral("pos"), w.position.value_or(QStringLiteral(""))}});
    });
}

Outcome WorkersStore::change(int personId, const WorkerValues& w)
{
    if (Outcome valid = workerFault(w); !valid)
        return valid;
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        db_.execute(QStringLiteral("UPDATE accounts_dep.person SET fio=:fio, s_staffpos_hl=coalesce(:pos, s_staffpos_hl) "
                                   "where accounts_dep.person.id=:id"),
                    {{QStringLiteral("fio"), w.fio.trimmed()},
                     {QStringLiteral("pos"),
                      w.position ? QVariant(*w.position) : QVariant(QMetaType(QMetaType::QString))},
                     {QStringLiteral("id"), personId}});
    });
}

Outcome WorkersStore::remove(int personId)
{
    return writeAs(db_, Command::EditReferenceBooks, [&] {
        db_.execute(QStringLiteral("delete from accounts_dep.person where id =:id"),
                    {{QStringLiteral("id"), personId}});
    });
}
