#include "entry_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "entry_input.h"
#include "list_support.h"
#include "messages.h"
#include "operation_text.h"
#include "widgets.h"

#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

QLineEdit* makeEdit(const QString& name, QWidget* parent, bool readOnly)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    if (readOnly) {
        showAsReadOnly(e);
        e->setFocusPolicy(Qt::NoFocus);
    } else {
        // Digits only: no sign, separator or space.
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), e));
        selectOnFocus(e);
    }
    return e;
}

} // namespace

EntryDialog::EntryDialog(DataModule& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm.db)
{
    setObjectName(QStringLiteral("TForm11"));
    buildControls();
}

void EntryDialog::buildControls()
{
    fieldsBox = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    fieldsBox->setObjectName(QStringLiteral("GroupBox1"));
    workerEdit = makeEdit(QStringLiteral("Edit1"), fieldsBox, true);
    chooseWorkerButton = makeButton(QStringLiteral("Button3"), QStringLiteral("..."), fieldsBox);
    chooseWorkerButton->setAccessibleName(QStringLiteral("Выбрать рабочего"));
    operationEdit = makeEdit(QStringLiteral("Edit2"), fieldsBox, true);
    chooseOperationButton = makeButton(QStringLiteral("Button4"), QStringLiteral("..."), fieldsBox);
    chooseOperationButton->setAccessibleName(QStringLiteral("Выбрать операцию"));
    quantityEdit = makeEdit(QStringLiteral("Edit3"), fieldsBox, false);
    hoursEdit = makeEdit(QStringLiteral("Edit6"), fieldsBox, false);
    hoursEdit->setText(QStringLiteral("0"));
    colourEdit = makeEdit(QStringLiteral("Edit5"), fieldsBox, false);
    dateEdit = new QDateEdit(QDate::currentDate(), fieldsBox);
    dateEdit->setObjectName(QStringLiteral("DTimeP"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    rejectsEdit = makeEdit(QStringLiteral("Edit4"), fieldsBox, false);
    rejectsEdit->setText(QStringLiteral("0"));
    basePriceEdit = makeEdit(QStringLiteral("Edit8"), fieldsBox, true);
    priceEdit = makeEdit(QStringLiteral("Edit7"), fieldsBox, true);
    amountEdit = makeEdit(QStringLiteral("Edit9"), fieldsBox, true);

    auto* grid = new QGridLayout(fieldsBox);
    auto addRow = [&](int row, const QString& text, QWidget* field, QWidget* extra = nullptr) {
        auto* label = new QLabel(text, fieldsBox);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, 1, extra ? 1 : 2);
        if (extra)
            grid->addWidget(extra, row, 2);
        return label;
    };
    addRow(0, QStringLiteral("ФИО"), workerEdit, chooseWorkerButton);
    addRow(1, QStringLiteral("Операция"), operationEdit, chooseOperationButton);
    addRow(2, QStringLiteral("&Кол-во"), quantityEdit);
    addRow(3, QStringLiteral("&Время"), hoursEdit);
    colourLabel = addRow(4, QStringLiteral("&Цвет"), colourEdit);
    colourLabel->setObjectName(QStringLiteral("Label6"));
    // The colour is asked only once a painting operation is chosen.
    setPaintEnabled(false);
    addRow(5, QStringLiteral("&Дата"), dateEdit);
    addRow(6, QStringLiteral("&Брак"), rejectsEdit);
    addRow(7, QStringLiteral("Цена база"), basePriceEdit);
    addRow(8, QStringLiteral("Цена итог"), priceEdit);
    addRow(9, QStringLiteral("Сумма"), amountEdit);
    grid->setColumnMinimumWidth(1, 320);

    saveButton = makeButton(QStringLiteral("Button1"), QStringLiteral("&Запись"), this);
    saveButton->setDefault(true);
    cancelButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);
    placeAboveButtons(this, fieldsBox, {saveButton, cancelButton});

    setTabOrder(chooseWorkerButton, chooseOperationButton);
    setTabOrder(chooseOperationButton, quantityEdit);
    setTabOrder(quantityEdit, hoursEdit);
    setTabOrder(hoursEdit, colourEdit);
    setTabOrder(colourEdit, dateEdit);
    setTabOrder(dateEdit, rejectsEdit);
    setTabOrder(rejectsEdit, saveButton);
    setTabOrder(saveButton, cancelButton);

    for (QObject* o : {static_cast<QObject*>(workerEdit), static_cast<QObject*>(operationEdit),
                       static_cast<QObject*>(quantityEdit), static_cast<QObject*>(hoursEdit)})
        o->installEventFilter(this);
    connect(chooseWorkerButton, &QPushButton::clicked, this, &EntryDialog::chooseWorker);
    connect(chooseOperationButton, &QPushButton::clicked, this, &EntryDialog::chooseOperation);
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    chooseWorkerButton->setFocus();
}

bool EntryDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == workerEdit)
            chooseWorker();
        else if (watched == operationEdit)
            chooseOperation();
    } else if (event->type() == QEvent::FocusOut && (watched == quantityEdit || watched == hoursEdit)) {
        recalculate();
    }
    return QDialog::eventFilter(watched, event);
}

bool EntryDialog::openForAdd(const QDate& registerDate, int shiftNo)
{
    mode_ = DialogMode::Add;
    shiftNo_ = shiftNo;
    dateEdit->setDate(registerDate);
    for (QLineEdit* e : {workerEdit, operationEdit, quantityEdit, colourEdit})
        e->clear();
    rejectsEdit->setText(QStringLiteral("0"));
    hoursEdit->setText(QStringLiteral("0"));
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));
    return exec() == QDialog::Accepted;
}

bool EntryDialog::openForChange(const Row& entry, int shiftNo)
{
    mode_ = DialogMode::Change;
    shiftNo_ = shiftNo;
    setWindowTitle(QStringLiteral("Изменение данных о позиции (11)"));
    auto f = [&](const char* name) { return entry.field(QString::fromLatin1(name)); };
    price_ = Decimal4::fromDouble(f("cena").asFloat()).value_or(Decimal4());
    // The base price shows empty until an operation is chosen again.
    basePrice_ = Decimal4();
    priceEdit->setText(price_.toDisplayString());
    const auto quantity = Decimal4::fromDouble(f("kol_vo").asFloat()).value_or(Decimal4());
    amountEdit->setText(amountText(quantity));
    basePriceEdit->clear();
    dateEdit->setDate(f("data").asDate());
    workerEdit->setText(f("fio").asString().trimmed());
    operationEdit->setText(operationText(f("marka").asString(), f("vid").asString(), f("naimen").asInteger()));
    quantityEdit->setText(quantity.toString());
    rejectsEdit->setText(QString::number(f("brak").asInteger()));
    workerId_ = f("w_id").asInteger();
    productId_ = f("i_id").asInteger();
    operationId_ = f("o_id").asInteger();
    hoursEdit->setText(QString::number(f("time").asInteger()));
    const bool paint = isPaint(f("vid").asString().trimmed());
    setPaintEnabled(paint);
    colourEdit->setText(paint ? QString::number(f("color").asInteger()) : QString());
    shown_ = entry;
    return exec() == QDialog::Accepted;
}

void EntryDialog::chooseWorker()
{
    pickInto(pickers_.worker, workerId_, workerEdit, QStringLiteral("fio"));
}

void EntryDialog::chooseOperation()
{
    if (pickers_.operation) {
        if (const auto choice = pickers_.operation(mode_ == DialogMode::Add ? 0 : operationId_))
            applyOperation(*choice);
    }
    applyPaintRule();
    recalculate();
}

void EntryDialog::applyOperation(const OperationChoice& choice)
{
    productId_ = choice.productId;
    operationId_ = choice.operationId;
    price_ = choice.price;
    basePrice_ = choice.basePrice;
    operationEdit->setText(choice.text);
}

bool EntryDialog::isPaint(const QString& text) { return isPaintOperation(text); }

void EntryDialog::setPaintEnabled(bool enabled)
{
    colourEdit->setEnabled(enabled);
    colourLabel->setEnabled(enabled);
}

void EntryDialog::applyPaintRule()
{
    const bool paint = isPaint(operationEdit->text());
    if (!paint)
        colourEdit->clear();
    setPaintEnabled(paint);
}

void EntryDialog::recalculate()
{
    if (hoursEdit->text().isEmpty())
        hoursEdit->setText(QStringLiteral("0"));
    if (quantityEdit->text().isEmpty())
        quantityEdit->setText(QStringLiteral("0"));
    priceEdit->setText(price_.toDisplayString());
    basePriceEdit->setText(basePrice_.toDisplayString());
    const auto quantity = Decimal4::fromText(quantityEdit->text());
    amountEdit->setText(quantity ? amountText(*quantity) : QString());
}

QString EntryDialog::amountText(const Decimal4& quantity) const
{
    const auto amount = quantity.times(price_);
    return amount ? amount->toDisplayString() : QString();
}

// The input as the store will check it, a value set by code included; on a fault the message
// is shown and the cursor goes to the field at fault.
bool EntryDialog::readInput(EntryValues& values)
{
    EntryTexts texts;
    texts.workerChosen = !workerEdit->text().trimmed().isEmpty();
    texts.operationChosen = !operationEdit->text().trimmed().isEmpty();
    texts.quantity = quantityEdit->text();
    texts.rejects = rejectsEdit->text();
    texts.hours = hoursEdit->text();
    texts.colour = colourEdit->text();
    texts.colourAsked = isPaint(operationEdit->text());
    const std::optional<EntryFault> fault = readEntryTexts(texts, values);
    if (!fault)
        return true;
    msg::error(fault->message, QStringLiteral("Ошибка"));
    // The worker and the operation are chosen, not typed: no cursor for them.
    const EntryEdits edits{nullptr, nullptr, quantityEdit, rejectsEdit, hoursEdit, colourEdit};
    if (QLineEdit* edit = edits.at(fault->field))
        edit->setFocus();
    return false;
}

bool EntryDialog::save()
{
    EntryValues values;
    values.workerId = workerId_;
    values.operationId = operationId_;
    values.productId = productId_;
    values.price = price_;
    values.date = dateEdit->date();
    values.shiftNo = (shiftNo_ >= 1 && shiftNo_ <= 4) ? shiftNo_ : 1;
    if (!readInput(values))
        return false;
    const Outcome outcome = runCommand(dm_.db, [&] {
        return mode_ == DialogMode::Add ? store_.add(values) : store_.change(shown_, values);
    });
    // Saving again would not help when another user changed the entry: back to the list.
    if (outcome.isStale())
        reject();
    if (!outcome)
        return false;
    // The by-shift timesheet reads its month anew.
    dm_.shiftTimesheet1.close();
    dm_.shiftTimesheet2.close();
    dm_.shiftTimesheet3.close();
    for (QLineEdit* e : {workerEdit, operationEdit, quantityEdit, rejectsEdit, colourEdit, hoursEdit, priceEdit,
                         basePriceEdit, amountEdit})
        e->clear();
    accept();
    return true;
}
