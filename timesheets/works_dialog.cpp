#include "works_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "list_support.h"
#include "messages.h"

#include <QCheckBox>
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
      type_work(dm.db, QStringLiteral("type_work"), WorksStore::kindsStatement()),
      dm_(dm),
      store_(dm.db)
{
    setObjectName(QStringLiteral("TForm24"));
    setWindowTitle(QStringLiteral("Хоз. работы/среднесдельная (24)"));
    buildControls();
}

void WorksDialog::buildControls()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto edit = [this](const QString& name, bool readOnly) {
        auto* e = new QLineEdit(GroupBox1);
        e->setObjectName(name);
        if (readOnly) {
            showAsReadOnly(e);
            e->setFocusPolicy(Qt::NoFocus);
        }
        return e;
    };
    Edit1 = edit(QStringLiteral("Edit1"), true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("..."), GroupBox1);
    Button2->setAccessibleName(QStringLiteral("Выбрать рабочего"));
    Edit2 = edit(QStringLiteral("Edit2"), true);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("..."), GroupBox1);
    Button3->setAccessibleName(QStringLiteral("Выбрать номенклатуру"));
    cb_type_work = new QComboBox(GroupBox1);
    cb_type_work->setObjectName(QStringLiteral("cb_type_work"));
    Edit6 = edit(QStringLiteral("Edit6"), false);
    // Digits only: no sign, separator or space.
    Edit6->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), Edit6));
    Edit6->setMaximumWidth(60);
    selectOnFocus(Edit6);
    DBEdit1 = edit(QStringLiteral("DBEdit1"), true);
    DBEdit1->setEnabled(false);
    DBEdit1->setMaximumWidth(100);
    DBEdit2 = edit(QStringLiteral("DBEdit2"), true);
    DBEdit2->setEnabled(false);
    DBEdit2->setMaximumWidth(120);
    CBox1 = new QCheckBox(QStringLiteral("&Ночные"), GroupBox1);
    CBox1->setObjectName(QStringLiteral("CBox1"));

    auto* grid = new QGridLayout(GroupBox1);
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, GroupBox1);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(QStringLiteral("ФИО"), Edit1), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Button2, 0, 2);
    grid->addWidget(label(QStringLiteral("Номенклатура"), Edit2), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Button3, 1, 2);
    grid->addWidget(label(QStringLiteral("&Работа"), cb_type_work), 2, 0);
    grid->addWidget(cb_type_work, 2, 1, 1, 2);
    auto* numbers = new QHBoxLayout;
    numbers->addWidget(Edit6);
    numbers->addWidget(label(QStringLiteral("ч.    Цена"), DBEdit1));
    numbers->addWidget(DBEdit1);
    numbers->addWidget(label(QStringLiteral("р.    Сумма"), DBEdit2));
    numbers->addWidget(DBEdit2);
    numbers->addStretch();
    grid->addWidget(label(QStringLiteral("&Часы"), Edit6), 3, 0);
    grid->addLayout(numbers, 3, 1, 1, 2);
    grid->addWidget(CBox1, 4, 1);
    grid->setColumnMinimumWidth(1, 380);

    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("&Записать"), this);
    Button1->setDefault(true);
    Button6 = makeButton(QStringLiteral("Button6"), QStringLiteral("Вы&ход"), this);
    placeAboveButtons(this, GroupBox1, {Button1, Button6})->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button2, &QPushButton::clicked, this, &WorksDialog::chooseWorker);
    connect(Button3, &QPushButton::clicked, this, &WorksDialog::chooseNomenclature);
    connect(cb_type_work, &QComboBox::currentIndexChanged, this, &WorksDialog::showPrice);
    connect(Edit6, &QLineEdit::textChanged, this, &WorksDialog::showPrice);
    connect(Button1, &QPushButton::clicked, this, [this] { save(); });
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
}

bool WorksDialog::openForAdd(const QDate& date, bool dayOff)
{
    mode_ = DialogMode::Add;
    date_ = date;
    dayOff_ = dayOff;
    shown_ = Row();
    worker_id = 0;
    nom_id = 0;
    Edit1->clear();
    Edit2->clear();
    Edit6->setText(QStringLiteral("0"));
    CBox1->setChecked(false);
    CBox1->setEnabled(true);
    cb_type_work->clear();
    cb_type_work->addItem(QString(), 7777);  // chosen once the kinds are read
    cb_type_work->setCurrentIndex(0);
    return run();
}

bool WorksDialog::openForChange(const Row& record, bool dayOff)
{
    mode_ = DialogMode::Change;
    date_ = record[QStringLiteral("d_date")].asDate();
    dayOff_ = dayOff;
    shown_ = record;
    worker_id = record[QStringLiteral("id_p")].asInteger();
    nom_id = record[QStringLiteral("id_nom")].asInteger();
    Edit1->setText(record[QStringLiteral("fio")].asString().trimmed());
    Edit2->setText(record[QStringLiteral("s_caption")].asString().trimmed());
    Edit6->setText(QString::number(record[QStringLiteral("cnt")].asInteger()));
    CBox1->setChecked(record[QStringLiteral("i_night")].asInteger() != 0);
    CBox1->setEnabled(false);
    cb_type_work->clear();
    cb_type_work->addItem(QString(), record[QStringLiteral("id_o")].asInteger());
    cb_type_work->setCurrentIndex(0);
    return run();
}

// Shows the dialog with the kinds read anew; the kind chosen before stays chosen.
bool WorksDialog::run()
{
    runAction(dm_.db, [this] { type_work.reopen(); });
    fillLookup(cb_type_work, type_work, QStringLiteral("vid"), QStringLiteral("id"));
    showPrice();
    Edit6->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    type_work.close();
    return saved;
}

void WorksDialog::chooseWorker()
{
    pickInto(pickers_.worker, worker_id, Edit1, QStringLiteral("fio"));
}

void WorksDialog::chooseNomenclature()
{
    pickInto(pickers_.nomenclature, nom_id, Edit2, QStringLiteral("s_caption"));
}

void WorksDialog::showPrice()
{
    price_.reset();
    if (type_work.isActive() && type_work.locate(QStringLiteral("id"), lookupKey(cb_type_work)))
        price_ = Decimal4::fromText(type_work[QStringLiteral("price")].asString());
    DBEdit1->setText(price_ ? price_->toDisplayString() : QString());
    bool ok = false;
    const qint64 hours = Edit6->text().toLongLong(&ok);
    const std::optional<Decimal4> sum = price_ && ok ? price_->times(hours) : std::nullopt;
    DBEdit2->setText(sum ? sum->toDisplayString() : QString());
}

bool WorksDialog::checkInput(WorksValues& values)
{
    auto refuse = [](const QString& text) {
        msg::error(text, QStringLiteral("Ошибка"));
        return false;
    };
    values.kind = lookupKey(cb_type_work);
    const std::optional<Decimal4> normPrice = price_;
    if (nom_id == 0 || worker_id == 0 || values.kind == 0 || !normPrice)
        return refuse(QStringLiteral("Все поля должны быть заполнены!"));
    bool ok = false;
    const qint64 hours = Edit6->text().trimmed().toLongLong(&ok);
    if (!ok || hours < 1)
        return refuse(QStringLiteral("Нужно завести количество!"));
    if (hours > 24)
        return refuse(QStringLiteral("Количество часов не может быть больше 24."));
    if (normPrice->isNegative())
        return refuse(QStringLiteral("Цена не может быть отрицательной."));
    const std::optional<Decimal4> price = WorksStore::priceOf(*normPrice, dayOff_, CBox1->isChecked());
    if (!price)
        return refuse(QStringLiteral("Цена вне допустимых пределов."));
    values.nomenclatureId = nom_id;
    values.workerId = worker_id;
    values.hours = int(hours);
    values.price = *price;
    values.dayOff = dayOff_;
    values.night = CBox1->isChecked();
    values.date = date_;
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
