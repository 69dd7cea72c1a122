#include "operations_list.h"

#include "actions.h"
#include "data_module.h"
#include "excel_book.h"
#include "operation_text.h"
#include "widgets.h"

#include <QCheckBox>
#include <QLayout>
#include <QPushButton>
#include <QTableView>

OperationsList::OperationsList(DataModule& dm, QWidget* parent)
    : RefList(dm, dm.operations,
              {.formName = QStringLiteral("TForm4"),
               .title = QStringLiteral("Операции"),
               .columns = {{QStringLiteral("MARKA"), QStringLiteral("Марка"), 200},
                           {QStringLiteral("VID"), QStringLiteral("Опреция"), 243},
                           {QStringLiteral("cena"), QStringLiteral("Цена (min)"), 74},
                           {QStringLiteral("nmn"), QStringLiteral("Вид"), 139},
                           {QStringLiteral("id"), QString(), 64, Qt::AlignLeft | Qt::AlignVCenter, false},
                           {QStringLiteral("i_id"), QString(), 64, Qt::AlignLeft | Qt::AlignVCenter, false},
                           {QStringLiteral("oper_vid"), QString(), 64, Qt::AlignLeft | Qt::AlignVCenter, false},
                           {QStringLiteral("norma"), QStringLiteral("Нормы (шт.)"), 76}},
               .searchField = QStringLiteral("marka"),
               .match = Match::Anywhere,
               .shows = {DataKind::Operation, DataKind::Norm, DataKind::Product, DataKind::OperationKind}},
              parent),
      store_(dm.db)
{
    grid->setMinimumSize(760, 400);
    exportButton = makeButton(QStringLiteral("Button5"), QStringLiteral("Excel"), this);
    pricesCheckBox = new QCheckBox(QStringLiteral("&Цены"), this);
    pricesCheckBox->setObjectName(QStringLiteral("CheckBox1"));
    QFont bold = pricesCheckBox->font();
    bold.setBold(true);
    pricesCheckBox->setFont(bold);
    layOutInOneRow({exportButton, pricesCheckBox});
    layout()->setSizeConstraint(QLayout::SetMinimumSize);

    connect(exportButton, &QPushButton::clicked, this, &OperationsList::exportList);
}

const QString kOperationPriceOutOfRange =
    QStringLiteral("Цена операции вне допустимых пределов. Исправьте нормативы операции.");

std::optional<OperationChoice> operationChoice(const Row& row, const QString& mark, bool dayOff, int shiftNo)
{
    const std::optional<Decimal4> base = Decimal4::fromDouble(row[QStringLiteral("cena")].asFloat());
    const std::optional<Decimal4> price = base ? entryPrice(*base, dayOff, shiftNo) : std::nullopt;
    if (!price || price->isNegative())
        return std::nullopt;
    OperationChoice choice;
    choice.productId = row[QStringLiteral("i_id")].asInteger();
    choice.operationId = row[QStringLiteral("id")].asInteger();
    choice.basePrice = *base;
    choice.price = *price;
    choice.text = operationText(mark, row[QStringLiteral("VID")].asString(), row[QStringLiteral("NAIMEN")].asInteger());
    return choice;
}

std::optional<OperationChoice> OperationsList::choose(int operationId, bool dayOff, int shiftNo)
{
    prepareChoosing();
    if (operationId == 0 || !list_.locate(QStringLiteral("id"), operationId))
        list_.first();
    exec();
    finish();
    if (!chosen())
        return std::nullopt;
    std::optional<OperationChoice> choice;
    runCommand(dm_.db, [&] {
        choice = choiceOf(*chosen(), dayOff, shiftNo);
        return choice ? Outcome::done() : Outcome::refused(kOperationPriceOutOfRange);
    });
    return choice;
}

std::optional<OperationChoice> OperationsList::choiceOf(const Row& row, bool dayOff, int shiftNo)
{
    return operationChoice(row, store_.productMark(row[QStringLiteral("i_id")].asInteger()), dayOff, shiftNo);
}

void OperationsList::addItem()
{
    if (editors_.addOperation && editors_.addOperation())
        reread(After::FirstRow);
}

void OperationsList::changeItem(const Row& row)
{
    if (editors_.changeOperation && editors_.changeOperation(row))
        reread(After::FirstRow);
}

void OperationsList::deleteItem(const Row& row)
{
    askAndDelete(row, QStringLiteral("Удалить операцию?"), [this](int id) { return store_.remove(id); }, After::FirstRow);
}

void OperationsList::rowDoubleClicked()
{
    if (mode() == ListMode::Browse && pricesCheckBox->isChecked()) {
        if (!list_.isEmpty() && editors_.editNorms && editors_.editNorms(list_.currentRow()))
            reread(After::SameRow);
        return;
    }
    changeOrChoose();
}

void OperationsList::exportList()
{
    BusyCursor busy;
    runAction(dm_.db, [this] {
        ExcelBook book(QStringLiteral("Операции"));
        store_.exportList(book);
    });
}
