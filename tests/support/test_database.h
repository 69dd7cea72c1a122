#pragma once
// A fresh PostgreSQL database for one test, cloned from a template built from db/schema.sql and
// the program's own schema db/tabel.sql. The server comes from PGHOST/PGPORT/PGUSER/PGPASSWORD
// (the test command starts one).
#include "database.h"

#include <QDate>
#include <QProcessEnvironment>
#include <QString>
#include <QVariant>

class TestDatabase {
public:
    // Whether the database holds the program's own schema `tabel`, as a plant's may not.
    enum class OwnSchema { With, Without };
    // Creates the database; a missing server is a test failure with a clear message (throws).
    explicit TestDatabase(OwnSchema own = OwnSchema::With);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const ConnectionSettings& settings() const { return settings_; }
    // The environment of a program process that reaches this database (with the database and
    // server as its arguments): this process's, with PGPORT, PGUSER and PGPASSWORD of the test.
    QProcessEnvironment programEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PGPORT"), QString::number(settings_.port));
        env.insert(QStringLiteral("PGUSER"), settings_.user);
        env.insert(QStringLiteral("PGPASSWORD"), settings_.password);
        return env;
    }
    // A connection of the test's own, apart from the program's (for checks and set-up).
    Database& db() { return db_; }

    // Runs statements of set-up; fails loudly with the database's message.
    void run(const QString& statement, const Params& params = {});
    QVariant value(const QString& statement, const Params& params = {});
    int count(const QString& statement, const Params& params = {}) { return value(statement, params).toInt(); }

    // Builders of the rows a test needs; each returns the new row's id.
    int addWorker(const QString& fio);
    int addGroup(const QString& caption);
    int addProduct(const QString& marka, int groupId = 0, double massa = 1);
    int addKind(const QString& vid, int id = 0);
    int addOperation(int kindId, int productId, int naimen = 0);
    int addNorm(int operationId, double price, int norma = 1, int prize = 0);
    struct Entry {
        int worker = 0;
        int operation = 0;
        QDate date = QDate::currentDate();
        int shift = 1;
        int quantity = 1;
        int rejects = 0;
        int hours = 8;
        double price = 1;
        int color = 0;
        QString ok = QStringLiteral("no");
    };
    // The operation's product is the entry's product.
    int addEntry(const Entry& e);
    // Household (kind 7777) or average piece-rate (kind 7778) works of a worker: `hours` at
    // `price` an hour, for the nomenclature group `groupId` (0: none).
    struct Works {
        int worker = 0;
        QDate date = QDate::currentDate();
        int kind = 7777;
        int hours = 8;
        double price = 1;
        int night = 0;
        int groupId = 0;
        int shift = 1;
        int dayOff = 0;  // i_holiday
    };
    int addWorks(const Works& w);

    static QString schemaPath();
    static QString ownSchemaPath();

private:
    ConnectionSettings server(const QString& database) const;
    void ensureTemplate(Database& admin, const QString& templateName);

    ConnectionSettings settings_;
    Database db_;
    Database admin_;
};
