#include "workers_store.h"

#include "database.h"

void WorkersStore::add(const WorkerValues& w)
{
    db_.execute(QStringLiteral("INSERT INTO accounts_dep.person (fio, s_staffpos_hl)VALUES(:fio, :pos)"),
                {{QStringLiteral("fio"), w.fio}, {QStringLiteral("pos"), w.position.value_or(QStringLiteral(""))}});
}

void WorkersStore::change(int personId, const WorkerValues& w)
{
    db_.execute(QStringLiteral("UPDATE accounts_dep.person SET fio=:fio, s_staffpos_hl=coalesce(:pos, s_staffpos_hl) "
                               "where accounts_dep.person.id=:id"),
                {{QStringLiteral("fio"), w.fio},
                 {QStringLiteral("pos"), w.position ? QVariant(*w.position) : QVariant(QMetaType(QMetaType::QString))},
                 {QStringLiteral("id"), personId}});
}

void WorkersStore::remove(int personId)
{
    db_.execute(QStringLiteral("delete from accounts_dep.person where id =:id"), {{QStringLiteral("id"), personId}});
}
