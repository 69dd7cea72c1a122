#include "workers_store.h"

#include "data_module.h"

namespace {

QVariant idOrNull(int id) { return id == 0 ? QVariant(QMetaType(QMetaType::Int)) : QVariant(id); }

} // namespace

WorkersStore::WorkersStore(TDataModule6& dm) : cmd_person(dm.ADO_DB, QStringLiteral("cmd_person")) {}

void WorkersStore::bind(const WorkerData& w)
{
    cmd_person.setParam(QStringLiteral("fio"), w.fio);
    cmd_person.setParam(QStringLiteral("dep"), idOrNull(w.departmentId));
    cmd_person.setParam(QStringLiteral("staff"), idOrNull(w.staffposId));
    cmd_person.setParam(QStringLiteral("role"), idOrNull(w.roleId));
}

void WorkersStore::add(const WorkerData& w)
{
    cmd_person.setSql(QStringLiteral("INSERT INTO accounts_dep.person (fio, s_staffpos_hl, id_department, id_staffpos, "
                                     "id_role)VALUES(:fio, :pos, :dep, :staff, :role)"));
    bind(w);
    cmd_person.setParam(QStringLiteral("pos"), w.position.value_or(QStringLiteral("")));
    cmd_person.execute();
}

void WorkersStore::change(int personId, const WorkerData& w)
{
    cmd_person.setSql(QStringLiteral("UPDATE accounts_dep.person SET fio=:fio, s_staffpos_hl=coalesce(:pos, "
                                     "s_staffpos_hl), id_department=:dep, id_staffpos=:staff, id_role=:role where "
                                     "accounts_dep.person.id=:id"));
    bind(w);
    cmd_person.setParam(QStringLiteral("pos"), w.position ? QVariant(*w.position) : QVariant(QMetaType(QMetaType::QString)));
    cmd_person.setParam(QStringLiteral("id"), personId);
    cmd_person.execute();
}

void WorkersStore::remove(int personId)
{
    cmd_person.setSql(QStringLiteral("delete from accounts_dep.person where id =:id"));
    cmd_person.setParam(QStringLiteral("id"), personId);
    cmd_person.execute();
}
