// Operations and their norms: the list with its lowest price and norm count, the operation
// dialog with its duplicate test and first norm row, the norms grid, deleting, the
// spreadsheet export, and choosing an operation for an entry.
#include "xlsx_reader.h"
#include "data_module.h"
#include "message_recorder.h"
#include "program_fixture.h"
#include "norms_window.h"
#include "operation_dialog.h"
#include "operations_list.h"
#include "lock_keys.h"
#include "test_database.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class OperationsTest : public FixtureTest {
    Q_OBJECT

    std::unique_ptr<OperationsList> list;
    std::unique_ptr<OperationDialog> dialog;
    std::unique_ptr<NormsWindow> norms;
    int assembly = 0, painting = 0;
    int km1 = 0, dart = 0, bl3 = 0;
    int opKm = 0, opDart = 0, opPaint = 0;

    // What the operations list shows: "mark|kind|lowest price|norm rows" per row.
    QStringList listed()
    {
        QStringList out;
        Dataset& ds = dm->operations;
        const int remembered = ds.recNo();
        for (int rec = 1; rec <= ds.recordCount(); ++rec) {
            ds.setRecNo(rec);
            out << QStringLiteral("%1|%2|%3|%4")
                       .arg(ds["marka"].asString().trimmed(), ds["vid"].asString().trimmed(),
                            QString::number(ds["cena"].asFloat()), ds["norma"].asString());
        }
        ds.setRecNo(remembered);
        return out;
    }
    // The norms grid as shown: "norm|price|premium" per row, the new-norm row last.
    QStringList gridRows()
    {
        QStringList out;
        for (int r = 0; r < norms->model->rowCount(); ++r)
            out << QStringLiteral("%1|%2|%3")
                       .arg(norms->model->index(r, 0).data().toString(), norms->model->index(r, 1).data().toString(),
                            norms->model->index(r, 2).data().toString());
        return out;
    }
    QStringList storedNorms(int operation)
    {
        QStringList out;
        QSqlQuery q = tdb->db().exec(
            "select norma, price, prize from accounts_dep.norm where o_id=:o order by norma, id", {{"o", operation}});
        while (q.next())
            out << QStringLiteral("%1|%2|%3").arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
        return out;
    }
    void edit(int row, int column, const QString& text)
    {
        QVERIFY(norms->model->setData(norms->model->index(row, column), text, Qt::EditRole));
    }
    // Moves the grid's current cell, as a click or a cursor key does.
    void enterCell(int row, int column)
    {
        norms->normsGrid->setCurrentIndex(norms->model->index(row, column));
    }
    void pickForDialog(int product, const QString& mark, int kind, const QString& kindName)
    {
        dialog->setPickers({[=] { return std::optional<Row>(Row::of({{"id", product}, {"marka", mark}})); },
                            [=] { return std::optional<Row>(Row::of({{"id", kind}, {"vid", kindName}})); }});
        dialog->chooseProduct();
        dialog->chooseKind();
    }

private slots:
    void init()
    {
        makeFixture();
        dm->decimalSeparator = QStringLiteral(".");
        list = std::make_unique<OperationsList>(*dm);
        dialog = std::make_unique<OperationDialog>(*dm);
        norms = std::make_unique<NormsWindow>(*dm);
        list->setEditors({[this] { return dialog->openForAdd(); },
                          [this](const Row& operation) { return dialog->openForChange(operation); },
                          [this](const Row& operation) { return norms->editNorms(operation); }});

        assembly = tdb->addKind("Сборка");
        painting = tdb->addKind("Покраска");
        km1 = tdb->addProduct("КМ-1");
        dart = tdb->addProduct("Д'Арт-2");
        bl3 = tdb->addProduct("БЛ-3");
        opKm = tdb->addOperation(assembly, km1, 0);
        tdb->addNorm(opKm, 10, 5);
        tdb->addNorm(opKm, 8, 10);
        opDart = tdb->addOperation(assembly, dart, 2);
        tdb->addNorm(opDart, 5, 1);
        opPaint = tdb->addOperation(painting, km1, 1);  // no norms: not listed
        tdb->run("update accounts_dep.oper set cena_new='12.5' where id=:id", {{"id", opPaint}});
        list->prepareBrowsing();
    }
    void cleanup()
    {
        norms.reset();
        dialog.reset();
        list.reset();
        dropFixture();
    }

    void listShowsOperationsWithNorms()
    {
        QStringList titles;
        for (int c = 0; c < list->grid->model()->columnCount(); ++c)
            if (!list->grid->isColumnHidden(c))
                titles << list->grid->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"Марка", "Опреция", "Цена (min)", "Вид", "Нормы (шт.)"}));
        QCOMPARE(listed(), (QStringList{"Д'Арт-2|Сборка|5|1", "КМ-1|Сборка|8|2"}));
    }

    // Adding, changing and storing norm rows in the grid; the list then stands on the same
    // record and shows the new lowest price and count.
    void normsEditedInTheGrid()
    {
        dm->operations.setRecNo(2);
        list->pricesCheckBox->setChecked(true);
        whenShown([&] {
            QCOMPARE(norms->operationId(), opKm);
            QCOMPARE(gridRows(), (QStringList{"5|10,00|0", "10|8,00|0", "||"}));
            QCOMPARE(norms->model->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("*"));

            // A new row typed in and left: stored for the operation, re-read in norm order.
            enterCell(2, 0);
            edit(2, 0, "3");
            edit(2, 1, "6,125");
            edit(2, 2, "4");
            enterCell(0, 0);
            QCOMPARE(storedNorms(opKm), (QStringList{"3|6.125|4", "5|10|0", "10|8|0"}));
            QCOMPARE(gridRows(), (QStringList{"3|6,125|4", "5|10,00|0", "10|8,00|0", "||"}));

            // Changing a cell and moving within the row stores it as well.
            enterCell(2, 1);
            edit(2, 1, "7.5");
            enterCell(2, 2);
            QCOMPARE(storedNorms(opKm), (QStringList{"3|6.125|4", "5|10|0", "10|7.5|0"}));

            // A pending change is stored by "Сохранить".
            enterCell(1, 1);
            edit(1, 1, "2");
            norms->saveAndClose();
        });
        emit list->grid->doubleClicked(list->grid->currentIndex());
        QCOMPARE(norms->result(), int(QDialog::Accepted));
        QCOMPARE(storedNorms(opKm), (QStringList{"3|6.125|4", "5|2|0", "10|7.5|0"}));
        // The list is re-read and stands on the same record.
        QCOMPARE(dm->operations.recNo(), 2);
        QCOMPARE(listed(), (QStringList{"Д'Арт-2|Сборка|5|1", "КМ-1|Сборка|2|3"}));
        QVERIFY(messages->shown.isEmpty());
    }

    // A value that would make wrong money: a message naming the field, nothing stored, the
    // input kept and the window open.
    void refusedNormKeepsInput_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString norm = QStringLiteral("Норматив должен быть целым числом не меньше 0.");
        const QString price = QStringLiteral("Цена должна быть числом от 0 до 999999999.");
        const QString premium = QStringLiteral("Премия должна быть целым числом не меньше 0.");
        QTest::newRow("norm not whole") << 0 << "1.5" << norm;
        QTest::newRow("norm negative") << 0 << "-3" << norm;
        QTest::newRow("norm too large") << 0 << "99999999999" << norm;
        QTest::newRow("premium a word") << 2 << "пять" << premium;
        QTest::newRow("premium negative") << 2 << "-1" << premium;
        QTest::newRow("price a word") << 1 << "дорого" << price;
        QTest::newRow("price negative") << 1 << "-5" << price;
        QTest::newRow("price infinite") << 1 << "Infinity" << price;
        QTest::newRow("price NaN") << 1 << "NaN" << price;
        QTest::newRow("price 1e308") << 1 << "1e308" << price;
        QTest::newRow("price too large") << 1 << "99999999999999" << price;
        QTest::newRow("price two points") << 1 << "1.5.79" << price;
    }
    void refusedNormKeepsInput()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        norms->prepare(opDart);
        enterCell(1, column);
        edit(1, column, typed);
        enterCell(0, 0);
        QCOMPARE(messages->texts(), QStringList{message});
        QCOMPARE(norms->normsGrid->currentIndex().row(), 1);
        QCOMPARE(norms->model->index(1, column).data(Qt::EditRole).toString(), typed);

        norms->saveAndClose();
        QCOMPARE(messages->shown.size(), 2);
        QVERIFY(norms->result() != QDialog::Accepted);
        QCOMPARE(norms->model->index(1, column).data(Qt::EditRole).toString(), typed);
        QCOMPARE(storedNorms(opDart), (QStringList{"1|5|0"}));
    }

    void deletingNormRows()
    {
        norms->prepare(opKm);
        // A row not stored yet is only dropped.
        enterCell(2, 0);
        edit(2, 0, "7");
        norms->deleteRow();
        QCOMPARE(gridRows(), (QStringList{"5|10,00|0", "10|8,00|0", "||"}));

        enterCell(0, 1);
        norms->deleteRow();
        QCOMPARE(storedNorms(opKm), (QStringList{"10|8|0"}));
        // The last norm row of an operation stays, silently.
        enterCell(0, 1);
        norms->deleteRow();
        QCOMPARE(storedNorms(opKm), (QStringList{"10|8|0"}));
        QCOMPARE(gridRows(), (QStringList{"10|8,00|0", "||"}));
        QVERIFY(messages->shown.isEmpty());
    }

    // Enter in a cell's editor only finishes the cell; Esc on the window stores and closes.
    void enterAndEscapeOnTheWindow()
    {
        norms->prepare(opDart);
        norms->show();
        QVERIFY(QTest::qWaitForWindowExposed(norms.get()));
        const QModelIndex cell = norms->model->index(0, 1);
        norms->normsGrid->setCurrentIndex(cell);
        norms->normsGrid->edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(norms->normsGrid->indexWidget(cell));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "4.25");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!norms->normsGrid->indexWidget(cell));
        QVERIFY(norms->isVisible());
        QCOMPARE(norms->model->index(0, 1).data().toString(), QStringLiteral("4,25"));

        QTest::keyClick(norms->normsGrid, Qt::Key_Escape);
        QVERIFY(!norms->isVisible());
        QCOMPARE(norms->result(), int(QDialog::Accepted));
        QCOMPARE(storedNorms(opDart), (QStringList{"1|4.25|0"}));
    }

    // A new operation comes with a norm row of price 0, so it is listed and can be priced.
    void newOperationIsListedWithOneNorm()
    {
        whenShown([&] {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Заведение новой цены за операцию"));
            pickForDialog(bl3, "БЛ-3", painting, "Покраска");
            dialog->productKindBox->setCurrentIndex(1);
            dialog->save();
        });
        list->addRow();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(messages->shown.isEmpty());
        const int id = tdb->count("select id from accounts_dep.oper where i_id=:p", {{"p", bl3}});
        QCOMPARE(tdb->value("select vid||'/'||naimen||'/'||cena_new from accounts_dep.oper where id=:id", {{"id", id}})
                     .toString(),
                 QStringLiteral("%1/1/0").arg(painting));
        QCOMPARE(storedNorms(id), (QStringList{"0|0|0"}));
        QCOMPARE(listed(), (QStringList{"БЛ-3|Покраска|0|1", "Д'Арт-2|Сборка|5|1", "КМ-1|Сборка|8|2"}));
    }

    // The duplicate test: a new operation or a change to another operation's combination is
    // refused; a change to its own combination is not. Missing fields come first.
    void duplicateOperations_data()
    {
        QTest::addColumn<bool>("change");
        QTest::addColumn<bool>("pick");
        QTest::addColumn<QString>("message");
        QTest::newRow("new, taken") << false << true << "Операция с такими параметрами уже заведена!";
        QTest::newRow("change to another's") << true << true << "Операция с такими параметрами уже заведена!";
        QTest::newRow("change to its own") << true << false << "";
        QTest::newRow("nothing picked") << false << false << "Все поля должны быть заполнены!";
    }
    void duplicateOperations()
    {
        QFETCH(bool, change);
        QFETCH(bool, pick);
        QFETCH(QString, message);
        const QString all = "select string_agg(id||':'||vid||':'||naimen||':'||i_id, ',' order by id) "
                            "from accounts_dep.oper";
        const QString before = tdb->value(all).toString();
        if (change) {
            // The painting of КМ-1 as blanks; picked: assembly of КМ-1 as finished products.
            tdb->addNorm(opPaint, 3);
            dm->operations.reopen();
            QVERIFY(dm->operations.locate("id", opPaint));
        }
        whenShown([&] {
            if (change) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Изменение данных о цене за операцию"));
                QCOMPARE(dialog->kindEdit->text(), QStringLiteral("Покраска"));
                QCOMPARE(dialog->productKindBox->currentIndex(), 1);
            }
            if (pick) {
                pickForDialog(km1, "КМ-1", assembly, "Сборка");
                dialog->productKindBox->setCurrentIndex(0);
            }
            dialog->save();
            if (dialog->isVisible())
                dialog->reject();
        });
        const bool saved = change ? dialog->openForChange(dm->operations.currentRow()) : dialog->openForAdd();
        QCOMPARE(messages->texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(saved, message.isEmpty());
        QCOMPARE(tdb->value(all).toString(), before);
    }

    // Another copy saving the same operation holds its lock: this save waits for it and
    // writes nothing while it cannot get it.
    void saveWaitsForAnotherCopy()
    {
        Database& other = tdb->db();
        Transaction tx(other);
        other.lockKey(lock_keys::operation(painting, 0, bl3));
        dm->db.execute("set lock_timeout = '300ms'");
        whenShown([&] {
            pickForDialog(bl3, "БЛ-3", painting, "Покраска");
            dialog->save();
            QCOMPARE(messages->last(), QStringLiteral("Данные заняты другой копией программы. Повторите действие позже."));
            QVERIFY(dialog->isVisible());
            QCOMPARE(tdb->count("select count(*) from accounts_dep.oper where i_id=:p", {{"p", bl3}}), 0);
            tx.commit();
            dialog->save();
        });
        QVERIFY(dialog->openForAdd());
        QCOMPARE(tdb->count("select count(*) from accounts_dep.oper where i_id=:p", {{"p", bl3}}), 1);
    }

    void deleteOperation_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("inRegister");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("No leaves the list") << false << false << false;
        QTest::newRow("Yes deletes with its norms") << true << false << true;
        QTest::newRow("Yes refused while in the register") << true << true << false;
    }
    void deleteOperation()
    {
        QFETCH(bool, yes);
        QFETCH(bool, inRegister);
        QFETCH(bool, deleted);
        if (inRegister)
            tdb->addEntry({tdb->addWorker("Иванов И.И."), opKm});
        QVERIFY(dm->operations.locate("id", opKm));
        messages->answers = {yes};
        list->deleteRow();
        QCOMPARE(messages->shown.first().text, QStringLiteral("Удалить операцию?"));
        QCOMPARE(messages->shown.first().caption, QStringLiteral("Удаление"));
        QCOMPARE(tdb->count("select count(*) from accounts_dep.oper where id=:id", {{"id", opKm}}), deleted ? 0 : 1);
        QCOMPARE(tdb->count("select count(*) from accounts_dep.norm where o_id=:id", {{"id", opKm}}), deleted ? 0 : 2);
        QCOMPARE(listed().size(), deleted ? 1 : 2);
        if (inRegister) {
            QCOMPARE(messages->shown.size(), 2);
            QCOMPARE(messages->last(), QStringLiteral("Операция используется и не может быть удалена."));
        } else {
            QCOMPARE(messages->shown.size(), 1);
        }
    }

    // Every operation, also one without norms, with its own price cena_new.
    void exportReadBack()
    {
        QTemporaryDir folder;
        const QByteArray previous = qgetenv("TABEL_EXPORT_DIR");
        qputenv("TABEL_EXPORT_DIR", folder.path().toUtf8());
        const auto restore = qScopeGuard([&] { qputenv("TABEL_EXPORT_DIR", previous); });
        list->exportList();
        const QStringList files = QDir(folder.path()).entryList({"*.xlsx"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        QString error;
        const QJsonObject book = readXlsx(folder.filePath(files.first()), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QJsonObject cells = book["sheets"].toArray().first().toObject()["cells"].toObject();
        QStringList rows;
        for (int row = 1; row <= 5; ++row) {
            QStringList values;
            for (const char* column : {"A", "B", "C", "D"}) {
                const QJsonValue v = cells[QStringLiteral("%1%2").arg(column).arg(row)].toObject()["value"];
                values << (v.isDouble() ? QString::number(v.toDouble()) : v.toString());
            }
            rows << values.join('|');
        }
        QCOMPARE(rows, (QStringList{"Марка|Операция|Цена|Вид", "Д'Арт-2|Сборка|0|Заготовки",
                                    "КМ-1|Покраска|12.5|Заготовки", "КМ-1|Сборка|0|Готовая продукция", "|||"}));
        QCOMPARE(cells["C3"].toObject()["type"].toString(), QStringLiteral("n"));
        QVERIFY(messages->shown.isEmpty());
    }

    // The chosen row handed back: ids, the operation text and both prices; the picker's
    // state is put back afterwards.
    void choosingHandsBackTheRow()
    {
        // A grid double-click chooses even with "Цены" ticked.
        list->pricesCheckBox->setChecked(true);
        whenShown([&] {
            QCOMPARE(dm->operations["id"].asInteger(), opDart);
            QVERIFY(list->changeButton->isDefault());
            QVERIFY(list->addButton->isHidden() && list->deleteButton->isHidden());
            QCOMPARE(list->changeButton->text(), QStringLiteral("&Выбрать"));
            emit list->grid->doubleClicked(list->grid->currentIndex());
        });
        const std::optional<OperationChoice> c = list->choose(opDart, true, 3);
        QCOMPARE(list->result(), int(QDialog::Accepted));
        QVERIFY(c);
        QCOMPARE(c->productId, dart);
        QCOMPARE(c->operationId, opDart);
        QCOMPARE(c->basePrice.toString(), QStringLiteral("5"));
        QCOMPARE(c->price.toString(), QStringLiteral("12"));  // 5 × 2 × 1.2
        QCOMPARE(c->text, QStringLiteral("Д'Арт-2; Сборка; Заготовки"));
        // The picker's state is put back, and the list closed.
        QVERIFY(!list->changeButton->isDefault());
        QVERIFY(!list->addButton->isHidden());
        QVERIFY(!dm->operations.isActive());

        // Not listed: the first row.
        whenShown([&] {
            QCOMPARE(dm->operations.recNo(), 1);
            typeText(list->searchEdit, "км");
            list->changeOrChoose();
        });
        QCOMPARE(list->choose(opPaint, false, 1)->text, QStringLiteral("КМ-1; Сборка; Готовая продукция"));
        QVERIFY(!dm->operations.isFiltered());
    }

    // A norm price the exact decimals cannot hold (stored before prices were checked) is
    // refused when chosen, not taken for 0.
    void priceThatDoesNotFitIsNotChosen()
    {
        tdb->run("update accounts_dep.norm set price='Infinity' where o_id=:o", {{"o", opDart}});
        whenShown([&] { list->changeOrChoose(); });
        QVERIFY(!list->choose(opDart, true, 4));
        QCOMPARE(messages->texts(),
                 QStringList{"Цена операции вне допустимых пределов. Исправьте нормативы операции."});
    }

    // The search finds the text anywhere in the mark, letter case ignored, taken literally.
    void searchInTheMark_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("apostrophe") << "'ар" << QStringList{"Д'Арт-2|Сборка|5|1"};
        QTest::newRow("inside the mark") << "м-1" << QStringList{"КМ-1|Сборка|8|2"};
        QTest::newRow("pattern signs literal") << "%" << QStringList{};
        QTest::newRow("blank shows all") << "  " << QStringList{"Д'Арт-2|Сборка|5|1", "КМ-1|Сборка|8|2"};
    }
    void searchInTheMark()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        list->prepareChoosing();
        typeText(list->searchEdit, typed);
        QCOMPARE(list->searchEdit->text(), typed);
        QCOMPARE(listed(), shown);
        QVERIFY(messages->shown.isEmpty());
    }
};

QTEST_MAIN(OperationsTest)
#include "test_operations.moc"
