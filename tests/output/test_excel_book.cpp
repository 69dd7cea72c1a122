// The spreadsheet writer: what the written workbooks hold when read back, its messages
// and results, and where the files go.
#include "excel_book.h"
#include "message_recorder.h"
#include "samples.h"
#include "xlsx_reader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestExcelBook : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString exportDir_;
    QJsonObject sample_;  // sheet 1 of the sample workbook, read back

    QStringList exported() const
    {
        return QDir(exportDir_).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    void useExportDir(const QString& path) { qputenv("TABEL_EXPORT_DIR", QFile::encodeName(path)); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        exportDir_ = dir_.filePath(QStringLiteral("Выгрузки"));
        useExportDir(exportDir_);
        qputenv("TABEL_NO_OPEN", "1");

        MessageRecorder messages;
        ExcelBook book(QStringLiteral("Образец"));
        QCOMPARE(book.OpenExcelBook(QString()), 1);
        QCOMPARE(book.sheetCount(), 1);
        samples::writeWorkbook(book);
        QCOMPARE(book.ShowExcel(true), 1);
        QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.texts().join('\n')));
        QVERIFY(QFile::exists(book.savedFile()));

        QString error;
        const QJsonObject read = readXlsx(book.savedFile(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QJsonArray sheets = read.value(QStringLiteral("sheets")).toArray();
        QCOMPARE(sheets.size(), 1);
        sample_ = sheets.at(0).toObject();
        QCOMPARE(sample_.value(QStringLiteral("name")).toString(), QStringLiteral("Лист1"));
    }

    void sampleCells_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("textFormat");
        QTest::addColumn<bool>("bold");
        const auto row = [](const char* cell, const QVariant& value, bool textFormat, bool bold) {
            QTest::newRow(cell) << QString::fromLatin1(cell) << value << textFormat << bold;
        };
        row("A1", QStringLiteral("Образец"), true, true);
        row("B2", QStringLiteral("Количество"), true, true);
        row("A3", QStringLiteral("Ёлка «А» O'Brien"), true, false);
        row("B3", 12.0, false, false);
        row("C3", 12.5, false, false);   // comma separator
        row("B4", -3.25, false, false);  // point separator
        row("D3", QStringLiteral("007"), false, false);  // leading zeros kept
        row("E3", QStringLiteral("1E5"), false, false);
        row("C4", QStringLiteral("1 234"), false, false);
        row("D4", QStringLiteral("007"), true, false);
        row("E4", QStringLiteral("123456789012345678"), false, false);  // more digits than a number keeps
        row("A5", QStringLiteral("Обычный"), false, false);  // full form cleared bold
        row("B5", QStringLiteral("6"), true, false);         // the text format stays on the cell
        row("C5", QStringLiteral("Итого"), false, true);     // short form leaves bold
        row("D5", QStringLiteral("x"), true, true);          // an empty text changed nothing
    }

    void sampleCells()
    {
        QFETCH(QString, cell);
        QFETCH(QVariant, value);
        QFETCH(bool, textFormat);
        QFETCH(bool, bold);
        const QJsonObject c = sample_.value(QStringLiteral("cells")).toObject().value(cell).toObject();
        QVERIFY2(!c.isEmpty(), "cell not written");
        if (value.typeId() == QMetaType::Double) {
            QCOMPARE(c.value(QStringLiteral("type")).toString(), QStringLiteral("n"));
            QCOMPARE(c.value(QStringLiteral("value")).toDouble(), value.toDouble());
        } else {
            QCOMPARE(c.value(QStringLiteral("type")).toString(), QStringLiteral("s"));
            QCOMPARE(c.value(QStringLiteral("value")).toString(), value.toString());
        }
        QCOMPARE(c.value(QStringLiteral("format")).toString() == QStringLiteral("@"), textFormat);
        QCOMPARE(c.value(QStringLiteral("bold")).toBool(), bold);
    }

    void sampleWidths()
    {
        const QJsonObject widths = sample_.value(QStringLiteral("widths")).toObject();
        // Fitted to the longest value present at the column's last fit; later cells don't
        // count. The file holds the width plus the cell padding (under one character).
        const auto near = [&](const char* column, const QString& longest, bool bold) {
            const double stored = widths.value(QLatin1String(column)).toDouble();
            const double fitted = ExcelBook::fittedWidth(longest, bold);
            return stored >= fitted && stored < fitted + 1;
        };
        QVERIFY(near("A", QStringLiteral("Ёлка «А» O'Brien"), false));
        QVERIFY(near("B", QStringLiteral("Количество"), true));
        QVERIFY(near("E", QStringLiteral("Примечание"), true));
        const double a = widths.value(QStringLiteral("A")).toDouble();
        QVERIFY2(a > 14 && a < 25, qPrintable(QString::number(a)));
        QVERIFY(!widths.contains(QStringLiteral("F")));  // never fitted
        QVERIFY(ExcelBook::fittedWidth(QStringLiteral("Итого"), true) >
                ExcelBook::fittedWidth(QStringLiteral("Итого"), false));
    }

    void readsAsNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "12" << true << 12.0;
        QTest::newRow("comma") << "12,5" << true << 12.5;
        QTest::newRow("point") << "-3.25" << true << -3.25;
        QTest::newRow("zero") << "0" << true << 0.0;
        QTest::newRow("fraction") << "0,05" << true << 0.05;
        QTest::newRow("plus and spaces") << " +7 " << true << 7.0;
        QTest::newRow("15 digits") << "123456789012345" << true << 123456789012345.0;
        QTest::newRow("15 digits and zeros") << "1234567,8901234500" << true << 1234567.89012345;
        QTest::newRow("16 digits") << "1234567890123456" << false << 0.0;
        QTest::newRow("leading zero") << "007" << false << 0.0;
        QTest::newRow("exponent") << "1E5" << false << 0.0;
        QTest::newRow("thousands") << "1 234" << false << 0.0;
        QTest::newRow("no fraction digits") << "12," << false << 0.0;
        QTest::newRow("two separators") << "1.2.3" << false << 0.0;
        QTest::newRow("date") << "05.03.2024" << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("word") << "Итого" << false << 0.0;
    }

    void readsAsNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(double, value);
        double got = -1;
        QCOMPARE(ExcelBook::readsAsNumber(text, &got), number);
        if (number)
            QCOMPARE(got, value);
    }

    void writeFailures_data()
    {
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("caption");  // empty: written
        const QString sheet = QStringLiteral("Ошибочный номер листа Microsoft Excel");
        const QString cell = QStringLiteral("Ошибка Microsoft Excel");
        QTest::newRow("last cell") << true << 1 << 16384 << 1048576 << 32767 << QString();
        QTest::newRow("sheet 2") << true << 2 << 3 << 4 << 1 << sheet;
        QTest::newRow("sheet 0") << true << 0 << 1 << 1 << 1 << sheet;
        QTest::newRow("never opened") << false << 1 << 1 << 1 << 1 << sheet;
        QTest::newRow("column 0") << true << 1 << 0 << 5 << 1 << cell;
        QTest::newRow("row 0") << true << 1 << 5 << 0 << 1 << cell;
        QTest::newRow("column beyond") << true << 1 << 16385 << 1 << 1 << cell;
        QTest::newRow("row beyond") << true << 1 << 1 << 1048577 << 1 << cell;
        QTest::newRow("text too long") << true << 1 << 2 << 2 << 32768 << cell;
    }

    void writeFailures()
    {
        QFETCH(bool, opened);
        QFETCH(int, sheet);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, length);
        QFETCH(QString, caption);
        MessageRecorder messages;
        ExcelBook book;
        if (opened)
            QCOMPARE(book.OpenExcelBook(QString()), 1);
        const QString text(length, QLatin1Char('7'));
        const int expected = caption.isEmpty() ? 1 : -1;
        QCOMPARE(book.WriteExcelCell(sheet, column, row, text), expected);
        QCOMPARE(book.WriteExcelCell(sheet, column, row, text, true, true, true), expected);
        if (caption.isEmpty()) {
            QVERIFY(messages.shown.isEmpty());
            QVERIFY(book.hasUnsavedCells());
        } else {
            // Shown again for every failed cell; nothing was written.
            QCOMPARE(messages.shown.size(), 2);
            QCOMPARE(messages.last(), QStringLiteral("Ошибка при записи: лист %1, столбец %2, строка %3")
                                          .arg(sheet).arg(column).arg(row));
            QCOMPARE(messages.shown.last().caption, caption);
            QVERIFY(messages.shown.last().icon == msg::Icon::Error);
            QVERIFY(!book.hasUnsavedCells());
        }
        QCOMPARE(book.WriteExcelCell(sheet, column, row, QString()), 1);  // empty: always 1, no message
        QCOMPARE(messages.shown.size(), caption.isEmpty() ? 0 : 2);
    }

    void openFailures_data()
    {
        QTest::addColumn<bool>("folderUsable");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder cannot be made") << false << QString() << QStringLiteral("Невозможно открыть Microsoft Excel.");
        QTest::newRow("existing workbook") << true << dir_.filePath(QStringLiteral("book.xlsx"))
                                           << QStringLiteral("Ошибка открытия файла Microsoft Excel.");
    }

    void openFailures()
    {
        QFETCH(bool, folderUsable);
        QFETCH(QString, fileName);
        QFETCH(QString, message);
        QFile blocker(dir_.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        if (!folderUsable)
            useExportDir(blocker.fileName() + QStringLiteral("/Табель"));
        MessageRecorder messages;
        ExcelBook book;
        const int result = book.OpenExcelBook(fileName);
        useExportDir(exportDir_);
        QCOMPARE(result, -1);
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.shown.first().caption, QStringLiteral("Ошибка"));
        QVERIFY(!book.isOpen());
        QCOMPARE(book.ShowExcel(true), 1);  // nothing to show
        QVERIFY(book.savedFile().isEmpty());
    }

    // The export folder goes away while a book is filled: the file goes to the temp folder;
    // with nowhere to write the user is told and the cells wait for the next ShowExcel.
    void saveWhenTheFolderIsGone_data()
    {
        QTest::addColumn<bool>("tempUsable");
        QTest::newRow("temp folder") << true;
        QTest::newRow("nowhere") << false;
    }

    void saveWhenTheFolderIsGone()
    {
        QFETCH(bool, tempUsable);
        const QByteArray tmpdir = qgetenv("TMPDIR");
        const QString blocker = dir_.filePath(QStringLiteral("blocker"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString temp = dir_.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkpath(temp));
        MessageRecorder messages;
        ExcelBook book(QStringLiteral("Табель"));
        QCOMPARE(book.OpenExcelBook(QString()), 1);
        book.WriteExcelCell(1, 1, 1, QStringLiteral("данные"));
        useExportDir(blocker + QStringLiteral("/Табель"));
        qputenv("TMPDIR", QFile::encodeName(tempUsable ? temp : blocker + QStringLiteral("/tmp")));
        QCOMPARE(book.ShowExcel(true), 1);
        qputenv("TMPDIR", tmpdir);
        useExportDir(exportDir_);
        if (tempUsable) {
            QVERIFY(messages.shown.isEmpty());
            QCOMPARE(QFileInfo(book.savedFile()).absolutePath(), temp + QStringLiteral("/Табель"));
            QVERIFY(!book.hasUnsavedCells());
            return;
        }
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.last().startsWith(QStringLiteral("Не удалось сохранить книгу Microsoft Excel: ")));
        QCOMPARE(messages.shown.last().caption, QStringLiteral("Ошибка Microsoft Excel"));
        QVERIFY(book.savedFile().isEmpty());
        QVERIFY(book.hasUnsavedCells());
        QCOMPARE(book.ShowExcel(true), 1);  // the folder is back
        QCOMPARE(QFileInfo(book.savedFile()).absolutePath(), exportDir_);
        QCOMPARE(messages.shown.size(), 1);
    }

    void exportsAreNeverLostOrOverwritten()
    {
        QDir(exportDir_).removeRecursively();
        MessageRecorder messages;
        {
            ExcelBook book(QStringLiteral("Операции"));
            QCOMPARE(book.ShowExcel(true), 1);  // before any workbook: nothing
            QVERIFY(exported().isEmpty());

            // A file already holding the name the export would take stays as it is.
            QDir().mkpath(exportDir_);
            const QString taken = ExcelBook::freshFileName(exportDir_, book.subject());
            QFile f(taken);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep");
            f.close();

            QCOMPARE(book.OpenExcelBook(QString()), 1);
            QCOMPARE(book.ShowExcel(false), 1);
            book.WriteExcelCell(1, 1, 1, QStringLiteral("первая"));
            QCOMPARE(book.ShowExcel(true), 1);
            QVERIFY(book.savedFile() != taken);
            QVERIFY(QFileInfo(book.savedFile()).fileName().contains(
                QRegularExpression(QStringLiteral("^Операции \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d( \\(\\d+\\))?\\.xlsx$"))));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("keep"));
            f.close();

            // A second workbook on the same object; the first one's unsaved cells are kept
            // when a third one starts, and the third one's when the object goes away.
            QCOMPARE(book.OpenExcelBook(QString()), 1);
            book.WriteExcelCell(1, 1, 1, QStringLiteral("вторая"));
            QCOMPARE(book.OpenExcelBook(QString()), 1);
            book.WriteExcelCell(1, 1, 1, QStringLiteral("третья"));
        }
        QVERIFY(messages.shown.isEmpty());
        const QStringList files = exported();
        QCOMPARE(files.size(), 4);  // the taken name, first, second, third; no partial files
        QStringList firstCells;
        for (const QString& name : files) {
            QVERIFY2(name.endsWith(QStringLiteral(".xlsx")), qPrintable(name));
            if (QFileInfo(QDir(exportDir_).filePath(name)).size() == 4)
                continue;
            QString error;
            const QJsonObject read = readXlsx(QDir(exportDir_).filePath(name), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            firstCells << read[QStringLiteral("sheets")][0][QStringLiteral("cells")][QStringLiteral("A1")]
                              [QStringLiteral("value")].toString();
        }
        firstCells.sort();
        QCOMPARE(firstCells, (QStringList{QStringLiteral("вторая"), QStringLiteral("первая"), QStringLiteral("третья")}));
    }
};

QTEST_MAIN(TestExcelBook)
#include "test_excel_book.moc"
