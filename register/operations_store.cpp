#include "operations_store.h"

#include "data_module.h"
#include "messages.h"

namespace {

// An empty value is stored as null; anything else goes to the database as text, which
// converts it for its column or refuses it with its own message.
QVariant typedValue(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? QVariant() : QVariant(trimmed);
}

QString numberOrEmpty(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString().trimmed();
}

} // namespace

const QString OperationsStore::duplicateMessage = QStringLiteral("Операция с такими параметрами уже заведена!");

QString OperationsStore::lockKey(int kindId, int naimen, int productId)
{
    return QStringLiteral("oper:%1:%2:%3").arg(kindId).arg(naimen).arg(productId);
}

QString OperationsStore::numberText(const QString& typed)
{
    QString text = typed.trimmed();
    const qsizetype at = text.indexOf(u',');
    if (at >= 0)
        text[at] = u'.';
    return text;
}

bool OperationsStore::saveOperation(int operationId, int kindId, int naimen, int productId)
{
    Database& db = dm_.ADO_DB;
    const Params key{{QStringLiteral("vid"), kindId},
                     {QStringLiteral("naimen"), naimen},
                     {QStringLiteral("i_id"), productId}};
    bool duplicate = false;
    {
        Transaction tx(db);
        // Copies saving the same operation at once wait for each other, so the test holds.
        db.lockKey(lockKey(kindId, naimen, productId));
        QString test = QStringLiteral(
            "select count(*) as cnt from accounts_dep.OPER where vid=:vid and naimen=:naimen and i_id=:i_id");
        Params params = key;
        if (operationId != 0) {
            test += QStringLiteral(" and id<>:id");
            params.push_back({QStringLiteral("id"), operationId});
        }
        duplicate = db.scalar(test, params).toInt() > 0;
        if (!duplicate) {
            if (operationId == 0) {
                const int newId = db.scalar(QStringLiteral("insert into accounts_dep.oper(vid, naimen, i_id, cena_new)"
                                                           "values (:vid, :naimen, :i_id, '0') returning id"),
                                            key)
                                      .toInt();
                db.execute(QStringLiteral("insert into accounts_dep.norm(o_id, price, norma, prize) "
                                          "values (:o_id, 0, 0, 0)"),
                           {{QStringLiteral("o_id"), newId}});
            } else {
                Command& cmd = dm_.Oper_ed;
                cmd.setSql(QStringLiteral(
                    "update accounts_dep.oper set vid=:vid, naimen=:naimen,  i_id=:i_id where id=:id"));
                for (const auto& [name, value] : params)
                    cmd.setParam(name, value);
                cmd.execute();
            }
            tx.commit();
        }
    }
    // Told after the transaction, so no lock is held while the box is open.
    if (duplicate)
        msg::error(duplicateMessage, QStringLiteral("Ошибка"));
    return !duplicate;
}

QVector<NormRow> OperationsStore::norms(int operationId)
{
    QSqlQuery q = dm_.ADO_DB.exec(
        QStringLiteral("select id, norma, price, prize from accounts_dep.norm where o_id=:o_id order by norma, id"),
        {{QStringLiteral("o_id"), operationId}});
    QVector<NormRow> rows;
    while (q.next())
        rows.push_back({q.value(0).toInt(), numberOrEmpty(q.value(1)), numberOrEmpty(q.value(2)),
                        numberOrEmpty(q.value(3))});
    return rows;
}

int OperationsStore::storeNorm(int operationId, const NormRow& row)
{
    Params params{{QStringLiteral("norma"), typedValue(row.norma)},
                  {QStringLiteral("price"), typedValue(numberText(row.price))},
                  {QStringLiteral("prize"), typedValue(row.prize)}};
    if (row.id == 0) {
        params.push_back({QStringLiteral("o_id"), operationId});
        return dm_.ADO_DB
            .scalar(QStringLiteral("insert into accounts_dep.norm(o_id, norma, price, prize) "
                                   "values (:o_id, :norma, :price, :prize) returning id"),
                    params)
            .toInt();
    }
    params.push_back({QStringLiteral("id"), row.id});
    dm_.ADO_DB.execute(
        QStringLiteral("update accounts_dep.norm set norma=:norma, price=:price, prize=:prize where id=:id"),
        params);
    return row.id;
}

bool OperationsStore::deleteNorm(int operationId, int normId)
{
    Database& db = dm_.ADO_DB;
    Transaction tx(db);
    // Two copies deleting the last two rows at once must not leave the operation without norms.
    db.lockKey(QStringLiteral("norm:%1").arg(operationId));
    const int rows = db.scalar(QStringLiteral("select count(*) from accounts_dep.norm where o_id=:o_id"),
                               {{QStringLiteral("o_id"), operationId}})
                         .toInt();
    if (rows <= 1)
        return false;
    db.execute(QStringLiteral("delete from accounts_dep.norm where id=:id and o_id=:o_id"),
               {{QStringLiteral("id"), normId}, {QStringLiteral("o_id"), operationId}});
    tx.commit();
    return true;
}
