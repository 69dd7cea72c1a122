#include "entry_dialog.h"

#include "actions.h"
#include "data_module.h"
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
    GroupBox1 = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Edit1 = makeEdit(QStringLiteral("Edit1"), GroupBox1, true);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("..."), GroupBox1);
    Button3->setAccessibleName(QStringLiteral("Выбрать рабочего"));
    Edit2 = makeEdit(QStringLiteral("Edit2"), GroupBox1, true);
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("..."), GroupBox1);
    Button4->setAccessibleName(QStringLiteral("Выбрать операцию"));
    Edit3 = makeEdit(QStringLiteral("Edit3"), GroupBox1, false);
    Edit6 = makeEdit(QStringLiteral("Edit6"), GroupBox1, false);
    Edit6->setText(QStringLiteral("0"));
    Edit5 = makeEdit(QStringLiteral("Edit5"), GroupBox1, false);
    DTimeP = new QDateEdit(QDate::currentDate(), GroupBox1);
    DTimeP->setObjectName(QStringLiteral("DTimeP"));
    DTimeP->setCalendarPopup(true);
    DTimeP->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    Edit4 = makeEdit(QStringLiteral("Edit4"), GroupBox1, false);
    Edit4->setText(QStringLiteral("0"));
    Edit8 = makeEdit(QStringLiteral("Edit8"), GroupBox1, true);
    Edit7 = makeEdit(QStringLiteral("Edit7"), GroupBox1, true);
    Edit9 = makeEdit(QStringLiteral("Edit9"), GroupBox1, true);

    auto* grid = new QGridLayout(GroupBox1);
    auto addRow = [&](int row, const QString& text, QWidget* field, QWidget* extra = nullptr) {
        auto* label = new QLabel(text, GroupBox1);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, 1, extra ? 1 : 2);
        if (extra)
            grid->addWidget(extra, row, 2);
        return label;
    };
    addRow(0, QStringLiteral("ФИО"), Edit1, Button3);
    addRow(1, QStringLiteral("Операция"), Edit2, Button4);
    addRow(2, QStringLiteral("&Кол-во"), Edit3);
    addRow(3, QStringLiteral("&Время"), Edit6);
    Label6 = addRow(4, QStringLiteral("&Цвет"), Edit5);
    Label6->setObjectName(QStringLiteral("Label6"));
    // The colour is asked only once a painting operation is chosen.
    setPaintEnabled(false);
    addRow(5, QStringLiteral("&Дата"), DTimeP);
    addRow(6, QStringLiteral("&Брак"), Edit4);
    addRow(7, QStringLiteral("Цена база"), Edit8);
    addRow(8, QStringLiteral("Цена итог"), Edit7);
    addRow(9, QStringLiteral("Сумма"), Edit9);
    grid->setColumnMinimumWidth(1, 320);

    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("&Запись"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);
    placeAboveButtons(this, GroupBox1, {Button1, Button2});

    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Edit3);
    setTabOrder(Edit3, Edit6);
    setTabOrder(Edit6, Edit5);
    setTabOrder(Edit5, DTimeP);
    setTabOrder(DTimeP, Edit4);
    setTabOrder(Edit4, Button1);
    setTabOrder(Button1, Button2);

    for (QObject* o : {static_cast<QObject*>(Edit1), static_cast<QObject*>(Edit2), static_cast<QObject*>(Edit3),
                       static_cast<QObject*>(Edit6)})
        o->installEventFilter(this);
    connect(Button3, &QPushButton::clicked, this, &EntryDialog::chooseWorker);
    connect(Button4, &QPushButton::clicked, this, &EntryDialog::chooseOperation);
    connect(Button1, &QPushButton::clicked, this, [this] { save(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Button3->setFocus();
}

bool EntryDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == Edit1)
            chooseWorker();
        else if (watched == Edit2)
            chooseOperation();
    } else if (event->type() == QEvent::FocusOut && (watched == Edit3 || watched == Edit6)) {
        recalculate();
    }
    return QDialog::eventFilter(watched, event);
}

bool EntryDialog::openForAdd(const QDate& registerDate, int shiftNo)
{
    mode_ = DialogMode::Add;
    shiftNo_ = shiftNo;
    DTimeP->setDate(registerDate);
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit5})
        e->clear();
    Edit4->setText(QStringLiteral("0"));
    Edit6->setText(QStringLiteral("0"));
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
    Edit7->setText(price_.toDisplayString());
    const auto quantity = Decimal4::fromDouble(f("kol_vo").asFloat()).value_or(Decimal4());
    Edit9->setText(amountText(quantity));
    Edit8->clear();
    DTimeP->setDate(f("data").asDate());
    Edit1->setText(f("fio").asString().trimmed());
    Edit2->setText(operationText(f("marka").asString(), f("vid").asString(), f("naimen").asInteger()));
    Edit3->setText(quantity.toString());
    Edit4->setText(QString::number(f("brak").asInteger()));
    workerId_ = f("w_id").asInteger();
    productId_ = f("i_id").asInteger();
    operationId_ = f("o_id").asInteger();
    Edit6->setText(QString::number(f("time").asInteger()));
    const bool paint = isPaint(f("vid").asString().trimmed());
    setPaintEnabled(paint);
    Edit5->setText(paint ? QString::number(f("color").asInteger()) : QString());
    shown_ = entry;
    return exec() == QDialog::Accepted;
}

void EntryDialog::chooseWorker()
{
    pickInto(pickers_.worker, workerId_, Edit1, QStringLiteral("fio"));
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
    Edit2->setText(choice.text);
}

bool EntryDialog::isPaint(const QString& text) { return text.toUpper().contains(QStringLiteral("КРАСКА")); }

void EntryDialog::setPaintEnabled(bool enabled)
{
    Edit5->setEnabled(enabled);
    Label6->setEnabled(enabled);
}

void EntryDialog::applyPaintRule()
{
    const bool paint = isPaint(Edit2->text());
    if (!paint)
        Edit5->clear();
    setPaintEnabled(paint);
}

void EntryDialog::recalculate()
{
    if (Edit6->text().isEmpty())
        Edit6->setText(QStringLiteral("0"));
    if (Edit3->text().isEmpty())
        Edit3->setText(QStringLiteral("0"));
    Edit7->setText(price_.toDisplayString());
    Edit8->setText(basePrice_.toDisplayString());
    const auto quantity = Decimal4::fromText(Edit3->text());
    Edit9->setText(quantity ? amountText(*quantity) : QString());
}

QString EntryDialog::amountText(const Decimal4& quantity) const
{
    const auto amount = quantity.times(price_);
    return amount ? amount->toDisplayString() : QString();
}

bool EntryDialog::completeInput()
{
    const bool complete = !Edit1->text().trimmed().isEmpty() && !Edit2->text().trimmed().isEmpty()
        && !Edit3->text().trimmed().isEmpty() && !Edit4->text().trimmed().isEmpty()
        && (!isPaint(Edit2->text()) || !Edit5->text().trimmed().isEmpty()) && !Edit6->text().trimmed().isEmpty();
    if (!complete)
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
    return complete;
}

// The numbers as whole numbers of the database's integer columns; a text too long for
// them is refused with a message before anything is written.
bool EntryDialog::readNumbers(EntryValues& values)
{
    struct Field {
        QLineEdit* edit;
        const char* title;
        int* target;
    };
    const Field fields[] = {{Edit3, "Кол-во", &values.quantity},
                            {Edit4, "Брак", &values.rejects},
                            {Edit6, "Время", &values.hours},
                            {Edit5, "Цвет", &values.colour}};
    for (const Field& f : fields) {
        const QString text = f.edit->text().trimmed();
        if (text.isEmpty()) {
            *f.target = 0;
            continue;
        }
        bool ok = false;
        *f.target = text.toInt(&ok);
        if (!ok) {
            msg::error(QStringLiteral("Число в поле \"%1\" слишком велико.").arg(QString::fromUtf8(f.title)),
                       QStringLiteral("Ошибка"));
            f.edit->setFocus();
            return false;
        }
    }
    return numbersInRange(values);
}

bool EntryDialog::numbersInRange(const EntryValues& values)
{
    QLineEdit* wrong = nullptr;
    QString message;
    if (values.rejects > values.quantity) {
        wrong = Edit4;
        message = QStringLiteral("Брак не может быть больше количества.");
    } else if (values.hours > 24) {
        wrong = Edit6;
        message = QStringLiteral("Время должно быть от 0 до 24 часов.");
    }
    if (!wrong)
        return true;
    msg::error(message, QStringLiteral("Ошибка"));
    wrong->setFocus();
    return false;
}

bool EntryDialog::save()
{
    if (!completeInput())
        return false;
    EntryValues values;
    if (!readNumbers(values))
        return false;
    values.workerId = workerId_;
    values.operationId = operationId_;
    values.productId = productId_;
    values.price = price_;
    values.date = DTimeP->date();
    values.shiftNo = (shiftNo_ >= 1 && shiftNo_ <= 4) ? shiftNo_ : 1;
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
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9})
        e->clear();
    accept();
    return true;
}
