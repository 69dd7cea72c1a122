// The commands of the executable, run as payroll's cron runs them: the files they write against
// the windows' own files of the same month, and each way they end with their exit codes and
// sentences.
#include "band_report.h"
#include "by_shift_window.h"
#include "month_check.h"
#include "month_rebuild.h"
#include "pay_statement.h"
#include "pdf_text.h"
#include "program_fixture.h"
#include "summary_reports_window.h"
#include "timesheet_window.h"
#include "xlsx_reader.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#ifndef TABEL_EXECUTABLE
#error TABEL_EXECUTABLE must name the program
#endif

using report::BandReport;

namespace {

struct Ended {
    int code = -1;
    QString out;
    QString err;
};

QJsonObject cellsOf(const QString& path)
{
    QString error;
    const QJsonObject book = readXlsx(path, &error);
    if (!error.isEmpty())
        qWarning() << error;
    return book["sheets"].toArray().first().toObject()["cells"].toObject();
}

// The one .xlsx a window's export left in `folder`.
QString onlyWorkbook(const QTemporaryDir& folder)
{
    const QStringList found = QDir(folder.path()).entryList({"*.xlsx"}, QDir::Files);
    return found.size() == 1 ? folder.filePath(found.first()) : QString();
}

} // namespace

class CommandsTest : public FixtureTest {
    Q_OBJECT

    QTemporaryDir dir_;

    // March 2024: piece-work in two shifts and on a day off with rejects, household works by day
    // and by night, average piece-rate works; a finished product and a blank.
    void fillMarch()
    {
        const int antonov = tdb->addWorker("Антонов А.А.");
        const int borisov = tdb->addWorker("Борисов Б.Б.");
        const int assembly = tdb->addKind("Сборка");
        const int finished = tdb->addOperation(assembly, tdb->addProduct("КМ-1"), 0);
        const int blank = tdb->addOperation(assembly, tdb->addProduct("ЗГ-2"), 1);
        tdb->addNorm(finished, 12.5);
        tdb->addNorm(blank, 3);
        tdb->addEntry({antonov, finished, {2024, 3, 5}, 1, 10, 1, 8, 12.5});
        tdb->addEntry({antonov, blank, {2024, 3, 9}, 2, 7, 0, 6, 6});
        tdb->addEntry({borisov, finished, {2024, 3, 12}, 3, 4, 0, 8, 15});
        tdb->addWorks({antonov, {2024, 3, 5}, 7777, 3, 100});
        tdb->addWorks({antonov, {2024, 3, 6}, 7777, 2, 120, 1});
        tdb->addWorks({borisov, {2024, 3, 7}, 7778, 4, 50.5});
        for (MonthRows rows : {MonthRows::PieceWork, MonthRows::Works})
            QVERIFY(rebuildMonth(tdb->db(), rows, {3, 2024}));
    }

    Ended tabel(const QStringList& arguments, const QHash<QString, QString>& environment = {})
    {
        QProcess program;
        QProcessEnvironment env = tdb->programEnvironment();
        env.insert("XDG_CACHE_HOME", dir_.path());
        env.remove("TABEL_LOGIN");
        for (auto it = environment.cbegin(); it != environment.cend(); ++it)
            env.insert(it.key(), it.value());
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TABEL_EXECUTABLE),
                      arguments + QStringList{tdb->settings().database, tdb->settings().host});
        if (!program.waitForFinished(120000)) {
            program.kill();
            program.waitForFinished();
        }
        return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                QString::fromUtf8(program.readAllStandardOutput()), QString::fromUtf8(program.readAllStandardError())};
    }

    QString windowExport(const QString& kind)
    {
        QTemporaryDir folder;
        qputenv("TABEL_EXPORT_DIR", folder.path().toUtf8());
        if (kind == QLatin1String("shifts")) {
            TimesheetByShiftWindow window(*dm);
            window.prepare({2024, 3, 10});
            window.exportToExcel();
        } else {
            const QHash<QString, TimesheetMode> modes{{"piecework", TimesheetMode::PieceWork},
                                                      {"household", TimesheetMode::Household},
                                                      {"average", TimesheetMode::AveragePieceRate},
                                                      {"general", TimesheetMode::General}};
            TimesheetWindow window(*dm);
            window.prepare(modes.value(kind));
            window.chooseMonth({3, 2024});
            window.exportToExcel();
        }
        const QString saved = onlyWorkbook(folder);
        const QString kept = dir_.filePath("window-" + kind + ".xlsx");
        QFile::remove(kept);
        if (saved.isEmpty() || !QFile::copy(saved, kept))
            return {};
        return kept;
    }

    QString windowReport(const QString& name, int kind)
    {
        const QString path = dir_.filePath("window-" + name + ".pdf");
        SummaryReportsWindow window(*dm);
        window.resetPeriod({2024, 4, 15});  // March 2024
        window.setKind(kind);
        BandReport::setPreviewHook([&](BandReport& r) { QVERIFY(r.savePdf(path)); });
        if (name == QLatin1String("workers"))
            window.workerReportButton->click();
        else
            window.detailedProductionReportButton->click();
        BandReport::setPreviewHook({});
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void init()
    {
        makeFixture();
        fillMarch();
    }
    void cleanup() { dropFixture(); }

    void exportWritesTheWindowsWorkbook_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"piecework", "household", "average", "general", "shifts"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void exportWritesTheWindowsWorkbook()
    {
        QFETCH(QString, kind);
        const QString path = dir_.filePath("command-" + kind + ".xlsx");
        const Ended ended = tabel({"export", "timesheet", "--month", "2024-03", "--kind", kind, "-o", path},
                                  {{"TABEL_LOGIN", "7391"}});
        QVERIFY2(ended.code == 0, qPrintable(ended.err));
        QCOMPARE(ended.err, QString());
        const QJsonObject written = cellsOf(path);
        QVERIFY(written.size() > 10);
        QCOMPARE(written, cellsOf(windowExport(kind)));
    }

    // The report of the preview's "Сохранить в PDF", page for page; the warehouse gets the
    // finished products only, as its window shows them.
    void reportWritesThePreviewsPdf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("login");
        QTest::addColumn<int>("windowKind");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("notShown");
        QTest::newRow("workers, full rights") << "workers" << "7391" << 0 << "Заготовки" << "";
        QTest::newRow("detailed products, warehouse") << "products-detailed" << "tumov" << 1 << "КМ-1" << "ЗГ-2";
    }
    void reportWritesThePreviewsPdf()
    {
        QFETCH(QString, name);
        QFETCH(QString, login);
        QFETCH(int, windowKind);
        QFETCH(QString, shown);
        QFETCH(QString, notShown);
        const QString path = dir_.filePath("command-" + name + ".pdf");
        const Ended ended = tabel({"report", name, "--from", "2024-03-01", "--to", "2024-04-01", "-o", path, "--login", login});
        QVERIFY2(ended.code == 0, qPrintable(ended.err));
        const QStringList pages = pdfPages(path);
        QVERIFY(!pages.isEmpty());
        QVERIFY2(pages.join("").contains(shown), qPrintable(pages.join("")));
        if (!notShown.isEmpty())
            QVERIFY2(!pages.join("").contains(notShown), qPrintable(pages.join("")));
        QCOMPARE(pages, pdfPages(windowReport(name, windowKind)));
    }

    // Each refusal and failure: its exit code, its one sentence, and the file that was there
    // before left as it was, with nothing beside it.
    void refusalsLeaveTheFileAlone_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("sentence");
        const QStringList exportMarch{"export", "timesheet", "--month", "2024-03", "--kind", "general"};
        QTest::newRow("viewer") << exportMarch + QStringList{"--login", "plavik"} << "" << "" << 3
                                << "Недостаточно прав для выгрузки табеля.";
        QTest::newRow("warehouse, a worker report")
            << QStringList{"report", "workers", "--from", "2024-02-01", "--to", "2024-03-01", "--login", "tumov"} << ""
            << "" << 3 << "Недостаточно прав для этого отчета.";
        QTest::newRow("warehouse, blanks")
            << QStringList{"report", "products-detailed", "--from", "2024-02-01", "--to", "2024-03-01", "--kind",
                           "blanks", "--login", "tumov"}
            << "" << "" << 3 << "Складу доступен отчет только по готовой продукции.";
        QTest::newRow("no login word") << exportMarch << "" << "" << 3
                                       << "Не указано слово входа: задайте --login СЛОВО или переменную TABEL_LOGIN.";
        QTest::newRow("wrong login word") << exportMarch + QStringList{"--login", "7392"} << "" << "" << 3
                                          << "Введены неверные данные.";
        QTest::newRow("stale build") << exportMarch + QStringList{"--login", "7391"}
                                     << "update accounts_dep.ver set d = 20990101, t = 0" << "" << 3
                                     << "Версия программы не соответсвует БД! Запустите программу через 5 мин.";
        QTest::newRow("unreachable server") << exportMarch + QStringList{"--login", "7391"} << "" << "1" << 4
                                            << "Подключение к БД отсутсвует!!!";
        QTest::newRow("a month that is no month")
            << QStringList{"export", "timesheet", "--month", "2024-13", "--kind", "general", "--login", "7391"} << ""
            << "" << 2 << "Месяц задается как ГГГГ-ММ, например 2024-02.";
        QTest::newRow("an unknown kind")
            << QStringList{"export", "timesheet", "--month", "2024-03", "--kind", "overtime", "--login", "7391"} << ""
            << "" << 2
            << "Параметр --kind команды export принимает значения: piecework, household, average, general, shifts.";
        QTest::newRow("a period that ends before it starts")
            << QStringList{"report", "workers", "--from", "2024-03-01", "--to", "2024-02-01", "--login", "7391"} << ""
            << "" << 2 << "Начало периода (--from) должно быть раньше его конца (--to).";
    }
    void refusalsLeaveTheFileAlone()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, setUp);
        QFETCH(QString, port);
        QFETCH(int, code);
        QFETCH(QString, sentence);
        QTemporaryDir folder;
        const QString path = folder.filePath("out.file");
        QFile before(path);
        QVERIFY(before.open(QIODevice::WriteOnly) && before.write("before") == 6);
        before.close();
        if (!setUp.isEmpty())
            tdb->run(setUp);
        QHash<QString, QString> env;
        if (!port.isEmpty())
            env.insert("PGPORT", port);
        const Ended ended = tabel(arguments + QStringList{"-o", path}, env);
        QCOMPARE(ended.code, code);
        QCOMPARE(ended.err, sentence + '\n');
        QCOMPARE(ended.out, QString());
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), QByteArray("before"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.file"});
    }

    // The statements of the month, and of one worker, as the timesheet's "Листки всем" writes them.
    void statementWritesTheWindowsPdf()
    {
        const int antonov = tdb->value("select id from accounts_dep.person where fio = 'Антонов А.А.'").toInt();
        for (const std::optional<int> worker : {std::optional<int>{}, std::optional<int>{antonov}}) {
            const QString path = dir_.filePath("command-statements.pdf");
            QStringList arguments{"statement", "--month", "2024-03", "-o", path, "--login", "7391"};
            if (worker)
                arguments << "--worker" << QString::number(*worker);
            const Ended ended = tabel(arguments);
            QVERIFY2(ended.code == 0, qPrintable(ended.err));
            const QString windows = dir_.filePath("window-statements.pdf");
            QVERIFY(writePayStatements(dm->db, {2024, 3, 1}, worker, windows));
            const QStringList pages = pdfPages(path);
            QCOMPARE(pages.size(), worker ? 1 : 2);
            QCOMPARE(pages, pdfPages(windows));
        }
    }

    // A planted difference: listed with exit code 1, repaired, then none; a closed month keeps it.
    void checkFindsAndRepairs()
    {
        tdb->run("update accounts_dep.h_tabel set d5 = 3 where smena = 1 and d5 is not null");
        const QString line = differenceText(findMonthDifferences(tdb->db(), {2024, 3, 1}).value(0));
        QVERIFY(!line.isEmpty());
        const QStringList check{"check", "--month", "2024-03", "--login", "7391"};
        Ended ended = tabel(check);
        QCOMPARE(ended.code, 1);
        QCOMPARE(ended.out, line + '\n');
        QCOMPARE(ended.err, QString());

        tdb->run("insert into tabel.closed_month values (2024, 3, now(), 'бухгалтерия')");
        ended = tabel(check + QStringList{"--repair"});
        QCOMPARE(ended.code, 3);
        QCOMPARE(ended.err, QStringLiteral("Месяц 03.2024 закрыт. Изменения запрещены.\n"));
        QCOMPARE(tabel(check).code, 1);

        tdb->run("delete from tabel.closed_month");
        QCOMPARE(tabel({"check", "--month", "2024-03", "--repair", "--login", "plavik"}).code, 3);
        ended = tabel(check + QStringList{"--repair"});
        QVERIFY2(ended.code == 0, qPrintable(ended.err));
        ended = tabel(check);
        QCOMPARE(ended.code, 0);
        QCOMPARE(ended.out, QString());
    }

    void helpIsRussianAndNeedsNoDatabase()
    {
        const Ended ended = tabel({"--help"}, {{"PGPORT", "1"}});
        QCOMPARE(ended.code, 0);
        for (const char* line : {"tabel export timesheet", "tabel report", "tabel statement", "tabel check", "Коды завершения"})
            QVERIFY2(ended.out.contains(QString::fromUtf8(line)), line);
    }
};

QTEST_MAIN(CommandsTest)
#include "test_commands.moc"
