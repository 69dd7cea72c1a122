#include "workers_store.h"

#include "database.h"

namespace {

QVariant idOrNull(int id) { return id == 0 ? QVariant(QMetaType(QMetaType::Int)) : QVariant(id); }

Params columns(const WorkerValues& w)
{
    return {{QStringLiteral("fio"), w.fio},
            {QStringLiteral("dep"), idOrNull(w.departmentId)},
            {QStringLiteral("staff"), idOrNull(w.staffposId)},
            {QStringLiteral("role"), idOrNull(w.roleId)}};
}

} // namespace

void WorkersStore::add(const WorkerValues& w)
{
    Params params = columns(w);
    params.push_back({QStringLiteral("pos"), w.position.value_or(QStringLiteral(""))});
    db_.execute(QStringLiteral("INSERT INTO accounts_dep.person (fio, s_staffpos_hl, id_department, id_staffpos, "
                               "id_role)VALUES(:fio, :pos, :dep, :staff, :role)"),
                params);
}

void WorkersStore::change(int personId, const WorkerValues& w)
{
    Params params = columns(w);
    params.push_back({QStringLiteral("pos"), w.position ? QVariant(*w.position) : QVariant(QMetaType(QMetaType::QString))});
    params.push_back({QStringLiteral("id"), personId});
    db_.execute(QStringLiteral("UPDATE accounts_dep.person SET fio=:fio, s_staffpos_hl=coalesce(:pos, s_staffpos_hl), "
                               "id_department=:dep, id_staffpos=:staff, id_role=:role where accounts_dep.person.id=:id"),
                params);
}

void WorkersStore::remove(int personId)
{
    db_.execute(QStringLiteral("delete from accounts_dep.person where id =:id"), {{QStringLiteral("id"), personId}});
}
