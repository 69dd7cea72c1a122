#include "test_database.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <atomic>
#include <stdexcept>

#ifndef TABEL_SOURCE_DIR
#error TABEL_SOURCE_DIR must name the source folder
#endif

namespace {

std::atomic<int> counter{0};

QString readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return QString::fromUtf8(f.readAll());
}

} // namespace

QString TestDatabase::schemaPath() { return QStringLiteral(TABEL_SOURCE_DIR "/db/schema.sql"); }
QString TestDatabase::ownSchemaPath() { return QStringLiteral(TABEL_SOURCE_DIR "/db/tabel.sql"); }

ConnectionSettings TestDatabase::server(const QString& database) const
{
    const auto env = QProcessEnvironment::systemEnvironment();
    ConnectionSettings s;
    s.database = database;
    s.host = env.value(QStringLiteral("PGHOST"), QStringLiteral("127.0.0.1"));
    s.port = env.value(QStringLiteral("PGPORT"), QStringLiteral("5432")).toInt();
    s.user = env.value(QStringLiteral("PGUSER"), QStringLiteral("sys"));
    s.password = env.value(QStringLiteral("PGPASSWORD"), QStringLiteral("wexutap"));
    s.options.clear();
    return s;
}

void TestDatabase::ensureTemplate(Database& admin, const QString& templateName)
{
    if (admin.scalar(QStringLiteral("select 1 from pg_database where datname=:n"), {{QStringLiteral("n"), templateName}})
            .isValid())
        return;
    admin.execute(QStringLiteral("create database %1").arg(templateName));
    Database loader(QStringLiteral("template_loader_%1").arg(QCoreApplication::applicationPid()));
    try {
        loader.open(server(templateName));
        loader.exec(readFile(schemaPath()));
        loader.exec(readFile(ownSchemaPath()));
        // A failing statement of a multi-statement text can roll the whole text back quietly.
        if (!loader.scalar(QStringLiteral("select to_regclass('accounts_dep.smena') is not null")).toBool())
            throw std::runtime_error("db/schema.sql did not load: accounts_dep.smena is missing");
        if (!loader.scalar(QStringLiteral("select to_regclass('tabel.change_log') is not null")).toBool())
            throw std::runtime_error("db/tabel.sql did not load: tabel.change_log is missing");
        loader.close();
    } catch (...) {
        loader.close();
        admin.execute(QStringLiteral("drop database if exists %1").arg(templateName));
        throw;
    }
}

TestDatabase::TestDatabase(OwnSchema own)
    : db_(QStringLiteral("test_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter.load())),
      admin_(QStringLiteral("admin_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter.load()))
{
    const int n = counter++;
    try {
        admin_.open(server(QStringLiteral("postgres")));
    } catch (const DbError& e) {
        throw std::runtime_error(("No PostgreSQL server for the tests (PGHOST/PGPORT; run the README's "
                                  "test command): " + e.message())
                                     .toStdString());
    }
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash((readFile(schemaPath()) + readFile(ownSchemaPath())).toUtf8(), QCryptographicHash::Md5)
            .toHex()
            .left(12));
    const QString templateName = QStringLiteral("tabel_tpl_") + hash;
    const QString name = QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(n);
    // One session at a time builds the template or copies it.
    admin_.exec(QStringLiteral("select pg_advisory_lock(740391)"));
    try {
        ensureTemplate(admin_, templateName);
        admin_.execute(QStringLiteral("create database %1 template %2").arg(name, templateName));
    } catch (...) {
        admin_.exec(QStringLiteral("select pg_advisory_unlock(740391)"));
        throw;
    }
    admin_.exec(QStringLiteral("select pg_advisory_unlock(740391)"));
    settings_ = server(name);
    if (own == OwnSchema::Without) {
        Database dropper(QStringLiteral("schema_dropper_%1_%2").arg(QCoreApplication::applicationPid()).arg(n));
        dropper.open(settings_);
        dropper.exec(QStringLiteral("set client_min_messages = warning; drop schema tabel cascade"));
        dropper.close();
    }
    db_.open(settings_);
    // The test's set-up writes as a login with full rights would.
    db_.loginRole = Role::FullRights;
}

TestDatabase::~TestDatabase()
{
    db_.close();
    try {
        admin_.execute(QStringLiteral("drop database if exists %1 with (force)").arg(settings_.database));
    } catch (...) {
    }
    admin_.close();
}

void TestDatabase::run(const QString& statement, const Params& params) { db_.exec(statement, params); }

QVariant TestDatabase::value(const QString& statement, const Params& params)
{
    return db_.scalar(statement, params);
}

int TestDatabase::addWorker(const QString& fio)
{
    return value(QStringLiteral("insert into accounts_dep.person(fio) values(:fio) returning id"),
                 {{QStringLiteral("fio"), fio}})
        .toInt();
}

int TestDatabase::addGroup(const QString& caption)
{
    return value(QStringLiteral("insert into cmn_classifier.item(s_caption) values(:c) returning id::integer"),
                 {{QStringLiteral("c"), caption}})
        .toInt();
}

int TestDatabase::addProduct(const QString& marka, int groupId, double massa)
{
    return value(QStringLiteral("insert into cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, "
                                "id_class_item) values(:m, '', 6, :massa, nullif(:g, 0)) returning id::integer"),
                 {{QStringLiteral("m"), marka}, {QStringLiteral("massa"), massa}, {QStringLiteral("g"), groupId}})
        .toInt();
}

int TestDatabase::addKind(const QString& vid, int id)
{
    if (id > 0)
        return value(QStringLiteral("insert into accounts_dep.vid_oper(id, vid) values(:id, :v) returning id"),
                     {{QStringLiteral("id"), id}, {QStringLiteral("v"), vid}})
            .toInt();
    return value(QStringLiteral("insert into accounts_dep.vid_oper(vid) values(:v) returning id"),
                 {{QStringLiteral("v"), vid}})
        .toInt();
}

int TestDatabase::addOperation(int kindId, int productId, int naimen)
{
    return value(QStringLiteral("insert into accounts_dep.oper(vid, naimen, i_id, cena_new) values(:v, :n, :i, '0') "
                                "returning id"),
                 {{QStringLiteral("v"), kindId}, {QStringLiteral("n"), naimen}, {QStringLiteral("i"), productId}})
        .toInt();
}

int TestDatabase::addNorm(int operationId, double price, int norma, int prize)
{
    return value(QStringLiteral("insert into accounts_dep.norm(o_id, price, norma, prize) values(:o, :p, :n, :z) "
                                "returning id"),
                 {{QStringLiteral("o"), operationId}, {QStringLiteral("p"), price}, {QStringLiteral("n"), norma},
                  {QStringLiteral("z"), prize}})
        .toInt();
}

int TestDatabase::addEntry(const Entry& e)
{
    return value(QStringLiteral(
                     "insert into accounts_dep.smena(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, "
                     "ok, vvod, prize, id_doc, id_doc_item, id_gds_use, id_cons_use, f_gds_qty_use) "
                     "select :w, oper.i_id, oper.id, :cena, :q, :b, :d, :s, :c, :t, :ok, now(), 0, 0, 0, 0, 0, 0 "
                     "from accounts_dep.oper where oper.id=:o returning id"),
                 {{QStringLiteral("w"), e.worker}, {QStringLiteral("o"), e.operation}, {QStringLiteral("cena"), e.price},
                  {QStringLiteral("q"), e.quantity}, {QStringLiteral("b"), e.rejects}, {QStringLiteral("d"), e.date},
                  {QStringLiteral("s"), e.shift}, {QStringLiteral("c"), e.color}, {QStringLiteral("t"), e.hours},
                  {QStringLiteral("ok"), e.ok}})
        .toInt();
}

int TestDatabase::addWorks(const Works& w)
{
    return value(QStringLiteral("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, "
                                "cnt, price, i_holiday, i_night) "
                                "values(nullif(:g, 0), :o, :p, :d, :m, :y, :s, :cnt, :price, :h, :n) returning id"),
                 {{QStringLiteral("g"), w.groupId}, {QStringLiteral("o"), w.kind}, {QStringLiteral("p"), w.worker},
                  {QStringLiteral("d"), w.date}, {QStringLiteral("m"), w.date.month()},
                  {QStringLiteral("y"), w.date.year()}, {QStringLiteral("s"), w.shift},
                  {QStringLiteral("cnt"), w.hours}, {QStringLiteral("price"), w.price}, {QStringLiteral("n"), w.night},
                  {QStringLiteral("h"), w.dayOff}})
        .toInt();
}
