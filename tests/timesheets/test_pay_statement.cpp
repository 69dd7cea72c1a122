// The pay statements read back from the PDF: a worker's lines (three shifts, rejects, a day off,
// both kinds of works) with subtotals equal to the piece-work and the general timesheets' rows;
// every worker of the month from a new page in the timesheet's order; the file written whole
// or not at all, under a name that ends in ".pdf".
#include "month_rebuild.h"
#include "pay_statement.h"
#include "pdf_text.h"
#include "test_database.h"
#include "timesheet_store.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QDate kMarch(2024, 3, 1);

// The figure that ends the PDF line holding `label`, with a point for the comma.
QString figureAfter(const QString& page, const QString& label)
{
    for (const QString& line : page.split(u'\n'))
        if (line.contains(label))
            return line.split(u' ', Qt::SkipEmptyParts).last().replace(u',', u'.');
    return QStringLiteral("no line %1").arg(label);
}

} // namespace

class PayStatementTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> tdb;
    QTemporaryDir folder;
    int a = 0, b = 0, c = 0;

    // The worker's f_price in the timesheet of `mode`, as its exact text.
    QString timesheetAmount(TimesheetMode mode, int worker)
    {
        Dataset sheet(tdb->db(), QStringLiteral("sheet"), TimesheetStore::statement(mode));
        sheet.setNumericalPrecisionPolicy(QSql::HighPrecision);
        TimesheetStore::setMonth(sheet, mode, {3, 2024});
        sheet.open();
        return sheet.locate(QStringLiteral("id"), worker) ? sheet.field(QStringLiteral("f_price")).asString()
                                                         : QStringLiteral("no row");
    }

private slots:
    void init()
    {
        tdb = std::make_unique<TestDatabase>();
        a = tdb->addWorker("Антонов А.А.");
        b = tdb->addWorker("Борисов Б.Б.");
        c = tdb->addWorker("Волков В.В.");
        tdb->run(QStringLiteral("update accounts_dep.person set s_staffpos_hl='Цех окраски' where id=%1").arg(a));
        tdb->addKind("Хоз. работы", 7777);
        tdb->addKind("Ср. сдельная", 7778);
        const int painting = tdb->addOperation(tdb->addKind("Покраска"), tdb->addProduct("КМ-1"));
        // Three shifts, rejects, prices whose products are no exact binary fractions.
        tdb->addEntry({a, painting, {2024, 3, 5}, 1, 10, 2, 8, 12.5, 1});
        tdb->addEntry({a, painting, {2024, 3, 6}, 2, 3, 0, 4, 0.1, 1015});
        tdb->addEntry({a, painting, {2024, 3, 7}, 3, 7, 1, 6, 33.333});
        tdb->addEntry({b, painting, {2024, 3, 7}, 1, 5, 0, 8, 20});
        tdb->addEntry({a, painting, {2024, 4, 1}, 1, 5, 0, 8, 20});  // another month
        // Household works on a Saturday (a day off: the doubled price) and average piece-rate at night.
        tdb->addWorks({a, {2024, 3, 9}, 7777, 3, 200, 0, 0, 1, 1});
        tdb->addWorks({a, {2024, 3, 10}, 7778, 2, 55.5555, 1});
        QVERIFY(rebuildMonth(tdb->db(), MonthRows::PieceWork, {3, 2024}));
        QVERIFY(rebuildMonth(tdb->db(), MonthRows::Works, {3, 2024}));
        // A worker of the timesheet without records of the month.
        tdb->run(QStringLiteral("insert into accounts_dep.h_tabel(w_id, month, year, smena, d1) values(%1, 3, 2024, 1, 0)")
                     .arg(c));
    }
    void cleanup() { tdb.reset(); }

    void workerStatementAgreesWithTheTimesheets()
    {
        const QString path = folder.filePath("a.pdf");
        QVERIFY(writePayStatements(tdb->db(), kMarch, a, path));
        const QStringList pages = pdfPages(path);
        QCOMPARE(pages.size(), 1);
        const QString& page = pages[0];
        for (const char* shown : {"Расчетный листок", "Антонов А.А.", "Подразделение: Цех окраски", "Месяц: Март 2024",
                                     "Сдельные работы", "Хозяйственные и средне-сдельные работы", "Мастер", "Работник"})
            QVERIFY2(page.contains(QString::fromUtf8(shown)), qPrintable(QString::fromUtf8(shown) + " in\n" + page));
        // Each line: date, shift, product, operation, colour, quantity, rejects, hours, price, amount.
        const QList<QRegularExpression> lines{
            QRegularExpression(R"(05\.03\.2024\s+1\s+КМ-1\s+Покраска\s+грунт\s+10\s+2\s+8\s+12,50\s+100,00)"),
            QRegularExpression(R"(06\.03\.2024\s+2\s+КМ-1\s+Покраска\s+RAL 1015\s+3\s+0\s+4\s+0,10\s+0,30)"),
            QRegularExpression(R"(07\.03\.2024\s+3\s+КМ-1\s+Покраска\s+7\s+1\s+6\s+33,333\s+200,00)"),
            QRegularExpression(R"(09\.03\.2024\s+Хоз\. работы\s+день, выходной\s+3\s+200,00\s+600,00\s)"),
            QRegularExpression(R"(10\.03\.2024\s+Ср\. сдельная\s+ночь\s+2\s+55,5555\s+111,11)"),
        };
        for (const QRegularExpression& line : lines)
            QVERIFY2(line.match(page).hasMatch(), qPrintable(line.pattern() + QStringLiteral(" in\n") + page));
        QVERIFY(!page.contains("01.04.2024"));

        // 100 + 0.3 + 199.998 = 300.298; 600 + 111.111 = 711.111; to the kopeck as the timesheets round.
        QCOMPARE(figureAfter(page, "Итого сдельные работы:"), QStringLiteral("300.30"));
        QCOMPARE(figureAfter(page, "Итого сдельные работы:"), timesheetAmount(TimesheetMode::PieceWork, a));
        QCOMPARE(figureAfter(page, "Итого хоз. и ср. сд. работы:"), QStringLiteral("711.11"));
        QCOMPARE(figureAfter(page, "Всего за месяц:"), QStringLiteral("1011.41"));
        QCOMPARE(figureAfter(page, "Всего за месяц:"), timesheetAmount(TimesheetMode::General, a));
        QVERIFY2(QRegularExpression(R"(Всего за месяц:\s+23\s)").match(page).hasMatch(), qPrintable(page));
    }

    void everyWorkerFromANewPageInTheTimesheetsOrder()
    {
        const QString path = folder.filePath("all.pdf");
        QList<std::pair<int, int>> told;
        QVERIFY(writePayStatements(tdb->db(), kMarch, std::nullopt, path, [&](int done, int total) {
            told.append({done, total});
            return true;
        }));
        const QList<std::pair<int, int>> expected{{1, 3}, {2, 3}, {3, 3}};
        QCOMPARE(told, expected);
        const QStringList pages = pdfPages(path);
        QCOMPARE(pages.size(), 3);
        const QStringList names{"Антонов А.А.", "Борисов Б.Б.", "Волков В.В."};
        for (int i = 0; i < pages.size(); ++i)
            for (int n = 0; n < names.size(); ++n)
                QCOMPARE(pages[i].contains(names[n]), n == i);
        QCOMPARE(figureAfter(pages[1], "Всего за месяц:"), timesheetAmount(TimesheetMode::General, b));
        QVERIFY(pages[2].contains("За месяц нет ни записей, ни работ."));
        QCOMPARE(figureAfter(pages[2], "Всего за месяц:"), QStringLiteral("0.00"));
    }

    void writtenWholeOrNotAtAll()
    {
        // A typed name without the suffix gets it; a file of that name is replaced.
        const QString typed = folder.filePath("листки");
        QFile old(typed + ".pdf");
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        QVERIFY(writePayStatements(tdb->db(), kMarch, b, typed));
        QVERIFY(!QFileInfo::exists(typed));
        QCOMPARE(pdfPages(typed + ".pdf").size(), 1);

        // Cancelled after the first worker: the file before stays, no part is left behind.
        const QByteArray before = [&] { QFile f(typed + ".pdf"); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        const Outcome cancelled =
            writePayStatements(tdb->db(), kMarch, std::nullopt, typed, [](int done, int) { return done < 1; });
        QCOMPARE(cancelled.refusal(), QStringLiteral("Запись листков отменена."));
        QFile after(typed + ".pdf");
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QCOMPARE(QDir(folder.path()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());

        // A month without a timesheet, and a folder that does not exist.
        QCOMPARE(writePayStatements(tdb->db(), {2024, 5, 1}, std::nullopt, typed).refusal(),
                 QStringLiteral("В табеле месяца нет ни одного работника."));
        const QString nowhere = folder.filePath("нет/листки.pdf");
        QVERIFY(writePayStatements(tdb->db(), kMarch, a, nowhere).refusal().startsWith("Не удалось записать файл"));
        QVERIFY(!QFileInfo::exists(nowhere));
    }

    void fileNameOfTheMonth()
    {
        const QString first = payStatementsFileName(folder.path(), kMarch);
        QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("Расчетные листки 03.2024.pdf"));
        QFile taken(first);
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.close();
        QCOMPARE(QFileInfo(payStatementsFileName(folder.path(), kMarch)).fileName(),
                 QStringLiteral("Расчетные листки 03.2024 (2).pdf"));
    }
};

QTEST_MAIN(PayStatementTest)
#include "test_pay_statement.moc"
