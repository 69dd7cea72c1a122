#include "works_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "list_support.h"
#include "messages.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

WorksDialog::WorksDialog(DataModule& dm, QWidget* parent)
    : QDialog(parent),
      workKinds(dm.db, QStringLiteral("type_work"), WorksStore::kindsStatement()),
      dm_(dm),
      store_(dm.db)
{
    setObjectName(QStringLiteral("TForm24"));
    setWindowTitle(QStringLiteral("Хоз. работы/среднесдельная (24)"));
    buildControls();
}

void WorksDialog::buildControls()
{
    fieldsBox = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    fieldsBox->setObjectName(QStringLiteral("GroupBox1"));
    auto edit = [this](const QString& name, bool readOnly) {
        auto* e = new QLineEdit(fieldsBox);
        e->setObjectName(name);
        if (readOnly) {
            showAsReadOnly(e);
            e->setFocusPolicy(Qt::NoFocus);
        }
        return e;
    };
    workerEdit = edit(QStringLiteral("Edit1"), true);
    chooseWorkerButton = makeButton(QStringLiteral("Button2"), QStringLiteral("..."), fieldsBox);
    chooseWorkerButton->setAccessibleName(QStringLiteral("Выбрать рабочего"));
    nomenclatureEdit = edit(QStringLiteral("Edit2"), true);
    chooseNomenclatureButton = makeButton(QStringLiteral("Button3"), QStringLiteral("..."), fieldsBox);
    chooseNomenclatureButton->setAccessibleName(QStringLiteral("Выбрать номенклатуру"));
    workKindBox = new QComboBox(fieldsBox);
    workKindBox->setObjectName(QStringLiteral("cb_type_work"));
    hoursEdit = edit(QStringLiteral("Edit6"), false);
    // Digits only: no sign, separator or space.
    hoursEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), hoursEdit));
    hoursEdit->setMaximumWidth(60);
    selectOnFocus(hoursEdit);
    priceEdit = edit(QStringLiteral("DBEdit1"), true);
    priceEdit->setEnabled(false);
    priceEdit->setMaximumWidth(100);
    amountEdit = edit(QStringLiteral("DBEdit2"), true);
    amountEdit->setEnabled(false);
    amountEdit->setMaximumWidth(120);
    nightBox = new QCheckBox(QStringLiteral("&Ночные"), fieldsBox);
    nightBox->setObjectName(QStringLiteral("CBox1"));

    auto* grid = new QGridLayout(fieldsBox);
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, fieldsBox);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(QStringLiteral("ФИО"), workerEdit), 0, 0);
    grid->addWidget(workerEdit, 0, 1);
    grid->addWidget(chooseWorkerButton, 0, 2);
    grid->addWidget(label(QStringLiteral("Номенклатура"), nomenclatureEdit), 1, 0);
    grid->addWidget(nomenclatureEdit, 1, 1);
    grid->addWidget(chooseNomenclatureButton, 1, 2);
    grid->addWidget(label(QStringLiteral("&Работа"), workKindBox), 2, 0);
    grid->addWidget(workKindBox, 2, 1, 1, 2);
    auto* numbers = new QHBoxLayout;
    numbers->addWidget(hoursEdit);
    numbers->addWidget(label(QStringLiteral("ч.    Цена"), priceEdit));
    numbers->addWidget(priceEdit);
    numbers->addWidget(label(QStringLiteral("р.    Сумма"), amountEdit));
    numbers->addWidget(amountEdit);
    numbers->addStretch();
    grid->addWidget(label(QStringLiteral("&Часы"), hoursEdit), 3, 0);
    grid->addLayout(numbers, 3, 1, 1, 2);
    grid->addWidget(nightBox, 4, 1);
    grid->setColumnMinimumWidth(1, 380);

    saveButton = makeButton(QStringLiteral("Button1"), QStringLiteral("&Записать"), this);
    saveButton->setDefault(true);
    exitButton = makeButton(QStringLiteral("Button6"), QStringLiteral("Вы&ход"), this);
    placeAboveButtons(this, fieldsBox, {saveButton, exitButton})->setSizeConstraint(QLayout::SetFixedSize);

    connect(chooseWorkerButton, &QPushButton::clicked, this, &WorksDialog::chooseWorker);
    connect(chooseNomenclatureButton, &QPushButton::clicked, this, &WorksDialog::chooseNomenclature);
    connect(workKindBox, &QComboBox::currentIndexChanged, this, &WorksDialog::showPrice);
    connect(hoursEdit, &QLineEdit::textChanged, this, &WorksDialog::showPrice);
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool WorksDialog::openForAdd(const QDate& date, bool dayOff)
{
    mode_ = DialogMode::Add;
    date_ = date;
    dayOff_ = dayOff;
    shown_ = Row();
    workerId_ = 0;
    nomenclatureId_ = 0;
    workerEdit->clear();
    nomenclatureEdit->clear();
    hoursEdit->setText(QStringLiteral("0"));
    nightBox->setChecked(false);
    nightBox->setEnabled(true);
    workKindBox->clear();
    workKindBox->addItem(QString(), 7777);  // chosen once the kinds are read
    workKindBox->setCurrentIndex(0);
    return run();
}

bool WorksDialog::openForChange(const Row& record, bool dayOff)
{
    mode_ = DialogMode::Change;
    date_ = record[QStringLiteral("d_date")].asDate();
    dayOff_ = dayOff;
    shown_ = record;
    workerId_ = record[QStringLiteral("id_p")].asInteger();
    nomenclatureId_ = record[QStringLiteral("id_nom")].asInteger();
    workerEdit->setText(record[QStringLiteral("fio")].asString().trimmed());
    nomenclatureEdit->setText(record[QStringLiteral("s_caption")].asString().trimmed());
    hoursEdit->setText(QString::number(record[QStringLiteral("cnt")].asInteger()));
    nightBox->setChecked(record[QStringLiteral("i_night")].asInteger() != 0);
    nightBox->setEnabled(false);
    workKindBox->clear();
    workKindBox->addItem(QString(), record[QStringLiteral("id_o")].asInteger());
    workKindBox->setCurrentIndex(0);
    return run();
}

// Shows the dialog with the kinds read anew; the kind chosen before stays chosen.
bool WorksDialog::run()
{
    runAction(dm_.db, [this] { workKinds.reopen(); });
    fillLookup(workKindBox, workKinds, QStringLiteral("vid"), QStringLiteral("id"));
    showPrice();
    hoursEdit->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    workKinds.close();
    return saved;
}

void WorksDialog::chooseWorker()
{
    pickInto(pickers_.worker, workerId_, workerEdit, QStringLiteral("fio"));
}

void WorksDialog::chooseNomenclature()
{
    pickInto(pickers_.nomenclature, nomenclatureId_, nomenclatureEdit, QStringLiteral("s_caption"));
}

void WorksDialog::showPrice()
{
    price_.reset();
    priceFault_.clear();
    if (workKinds.isActive() && workKinds.locate(QStringLiteral("id"), lookupKey(workKindBox))) {
        const QString text = workKinds[QStringLiteral("price")].asString();
        price_ = Decimal4::fromText(text);
        priceFault_ = WorksStore::normPriceFault(text);
    }
    priceEdit->setText(price_ ? price_->toDisplayString() : QString());
    bool ok = false;
    const qint64 hours = hoursEdit->text().toLongLong(&ok);
    const std::optional<Decimal4> sum = price_ && ok ? price_->times(hours) : std::nullopt;
    amountEdit->setText(sum ? sum->toDisplayString() : QString());
}

bool WorksDialog::checkInput(WorksValues& values)
{
    auto refuse = [](const QString& text) {
        msg::error(text, QStringLiteral("Ошибка"));
        return false;
    };
    values.kind = lookupKey(workKindBox);
    if (nomenclatureId_ == 0 || workerId_ == 0 || values.kind == 0)
        return refuse(QStringLiteral("Все поля должны быть заполнены!"));
    if (!price_)
        return refuse(priceFault_.isEmpty() ? QStringLiteral("Все поля должны быть заполнены!") : priceFault_);
    const std::optional<Decimal4> price = WorksStore::priceOf(*price_, dayOff_, nightBox->isChecked());
    if (!price)
        return refuse(QStringLiteral("Цена вне допустимых пределов."));
    bool ok = false;
    const qint64 hours = hoursEdit->text().trimmed().toLongLong(&ok);
    values.nomenclatureId = nomenclatureId_;
    values.workerId = workerId_;
    // A number past the column's reach is refused as too many hours, no number as none.
    values.hours = !ok ? 0 : int(std::clamp<qint64>(hours, -1, 25));
    values.price = *price;
    values.dayOff = dayOff_;
    values.night = nightBox->isChecked();
    values.date = date_;
    // The store's own checks, asked before the store is.
    if (const std::optional<QString> fault = worksFault(values, mode_ == DialogMode::Add))
        return refuse(*fault);
    return true;
}

bool WorksDialog::save()
{
    WorksValues values;
    if (!checkInput(values))
        return false;
    const Outcome outcome = runCommand(dm_.db, [&] {
        return mode_ == DialogMode::Add ? store_.add(values) : store_.change(shown_, values);
    });
    // Saving again would not help when another user changed the record: back to the list.
    if (outcome.isStale())
        reject();
    if (!outcome)
        return false;
    accept();
    return true;
}
