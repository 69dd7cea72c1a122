#include "operations_store.h"

#include "change_seam.h"
#include "data_module.h"
#include "dataset.h"
#include "decimal4.h"
#include "lock_keys.h"
#include "sql_text.h"

namespace {

// An empty value is stored as null; anything else goes to the database as text, which
// converts it for its column or refuses it with its own message.
QVariant typedValue(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? QVariant() : QVariant(trimmed);
}

const QString kOperations = QStringLiteral("accounts_dep.oper");
const QString kNorms = QStringLiteral("accounts_dep.norm");

// A write of norm rows through the change seam; the new or changed row's id into `storedId`.
Outcome writeNorm(Database& db, ChangeAction action, const QString& rows, const Params& params, int* storedId = nullptr)
{
    QVector<Row> written;
    if (Outcome applied = applyRowChange(db, DataKind::Norm, action, kNorms, rows, params, &written); !applied)
        return applied;
    if (storedId && !written.isEmpty())
        *storedId = written.first()[QStringLiteral("id")].asInteger();
    return Outcome::done();
}

} // namespace

Database& OperationsStore::db() { return dm_.db; }

const QString OperationsStore::duplicateMessage = QStringLiteral("Операция с такими параметрами уже заведена!");

Outcome OperationsStore::saveOperation(int operationId, const OperationValues& operation)
{
    if (operation.kindId <= 0 || operation.productId <= 0 || operation.productKind < 0 || operation.productKind > 1)
        return Outcome::refused(QStringLiteral("Все поля должны быть заполнены!"));
    if (Outcome allowed = db().permits(Command::EditReferenceBooks); !allowed)
        return allowed;
    Params params{{QStringLiteral("vid"), operation.kindId},
                  {QStringLiteral("naimen"), operation.productKind},
                  {QStringLiteral("i_id"), operation.productId},
                  {QStringLiteral("id"), operationId}};
    Transaction tx(db());
    // Copies saving the same operation at once wait for each other, so the test holds.
    db().lockKey(lock_keys::operation(operation.kindId, operation.productKind, operation.productId));
    if (const Outcome test = dm_.checkDuplicate(QStringLiteral("select count(*) from accounts_dep.oper where vid=:vid "
                                                               "and naimen=:naimen and i_id=:i_id and id<>:id"),
                                                duplicateMessage, params);
        !test)
        return test;
    if (operationId == 0) {
        QVector<Row> added;
        if (Outcome applied = applyRowChange(db(), DataKind::Operation, ChangeAction::Add, kOperations,
                                             rowWrite::insert(kOperations, QStringLiteral("vid, naimen, i_id, cena_new"),
                                                              QStringLiteral(":vid, :naimen, :i_id, '0'")),
                                             params, &added);
            !applied)
            return applied;
        if (Outcome norm = writeNorm(db(), ChangeAction::Add,
                                     rowWrite::insert(kNorms, QStringLiteral("o_id, price, norma, prize"),
                                                      QStringLiteral(":o_id, 0, 0, 0")),
                                     {{QStringLiteral("o_id"), added.value(0)[QStringLiteral("id")].asInteger()}});
            !norm)
            return norm;
    } else {
        if (Outcome applied = applyRowChange(db(), DataKind::Operation, ChangeAction::Change, kOperations,
                                             rowWrite::updateById(kOperations, QStringLiteral("vid=:vid, naimen=:naimen, i_id=:i_id")),
                                             params);
            !applied)
            return applied;
    }
    tx.commit();
    return Outcome::done();
}

QVector<NormRow> OperationsStore::norms(int operationId)
{
    QSqlQuery q = db().exec(
        QStringLiteral("select id, norma, price, prize from accounts_dep.norm where o_id=:o_id order by norma, id"),
        {{QStringLiteral("o_id"), operationId}});
    QVector<NormRow> rows;
    while (q.next())
        rows.push_back({q.value(0).toInt(), displayText(q.value(1)).trimmed(), displayText(q.value(2)).trimmed(),
                        displayText(q.value(3)).trimmed()});
    return rows;
}

namespace {

// A whole number from 0 up (an empty text is fine: it stores null).
bool isCount(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return text.trimmed().isEmpty() || (ok && value >= 0);
}

bool isPrice(const QString& text)
{
    if (text.trimmed().isEmpty())
        return true;
    const auto price = Decimal4::fromText(text);
    return price && !price->isNegative() && price->units() <= kMaxNormPrice * 10000;
}

} // namespace

Outcome OperationsStore::checkNorm(const NormRow& row)
{
    if (!isCount(row.norm))
        return Outcome::refused(QStringLiteral("Норматив должен быть целым числом не меньше 0."));
    if (!isPrice(row.price))
        return Outcome::refused(QStringLiteral("Цена должна быть числом от 0 до %1.").arg(kMaxNormPrice));
    if (!isCount(row.premium))
        return Outcome::refused(QStringLiteral("Премия должна быть целым числом не меньше 0."));
    return Outcome::done();
}

Outcome OperationsStore::storeNorm(int operationId, const NormRow& row, int* storedId)
{
    if (Outcome checked = checkNorm(row); !checked)
        return checked;
    if (Outcome allowed = db().permits(Command::EditReferenceBooks); !allowed)
        return allowed;
    Params params{{QStringLiteral("norma"), typedValue(row.norm)},
                  {QStringLiteral("price"), typedValue(sql::decimalPoint(row.price))},
                  {QStringLiteral("prize"), typedValue(row.premium)}};
    // One statement each, with its history row: no transaction of its own is needed.
    if (row.id == 0) {
        params.push_back({QStringLiteral("o_id"), operationId});
        return writeNorm(db(), ChangeAction::Add,
                         rowWrite::insert(kNorms, QStringLiteral("o_id, norma, price, prize"),
                                          QStringLiteral(":o_id, :norma, :price, :prize")),
                         params, storedId);
    }
    params.push_back({QStringLiteral("id"), row.id});
    *storedId = row.id;
    return writeNorm(db(), ChangeAction::Change,
                     rowWrite::updateById(kNorms, QStringLiteral("norma=:norma, price=:price, prize=:prize")), params);
}

Outcome OperationsStore::deleteNorm(int operationId, int normId)
{
    if (Outcome allowed = db().permits(Command::EditReferenceBooks); !allowed)
        return allowed;
    Transaction tx(db());
    // Two copies deleting the last two rows at once must not leave the operation without norms.
    db().lockKey(lock_keys::norms(operationId));
    const qlonglong rows = db().scalar(QStringLiteral("select count(*) from accounts_dep.norm where o_id=:o_id"),
                                      {{QStringLiteral("o_id"), operationId}})
                               .toLongLong();
    if (rows <= 1)
        return Outcome::done();
    if (Outcome deleted = writeNorm(db(), ChangeAction::Delete,
                                    QStringLiteral("delete from accounts_dep.norm t where id=:id and o_id=:o_id returning ")
                                        + rowWrite::deleted(QStringLiteral("t")),
                                    {{QStringLiteral("id"), normId}, {QStringLiteral("o_id"), operationId}});
        !deleted)
        return deleted;
    tx.commit();
    return Outcome::done();
}
