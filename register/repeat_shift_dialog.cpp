#include "repeat_shift_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "decimal4.h"
#include "messages.h"
#include "operation_text.h"
#include "operations_list.h"
#include "widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// "3 позиции", "1 позиция", "5 позиций".
QString positions(int n)
{
    const int tens = n % 100, ones = n % 10;
    const QString noun = (tens >= 11 && tens <= 14) ? QStringLiteral("позиций")
        : ones == 1                                 ? QStringLiteral("позиция")
        : (ones >= 2 && ones <= 4)                  ? QStringLiteral("позиции")
                                                    : QStringLiteral("позиций");
    return QStringLiteral("%1 %2").arg(n).arg(noun);
}

QTableWidgetItem* shownItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidgetItem* numberItem(int value)
{
    auto* item = new QTableWidgetItem(QString::number(value));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

RepeatShiftDialog::RepeatShiftDialog(DataModule& dm, QWidget* parent) : QDialog(parent), dm_(dm), store_(dm.db)
{
    setObjectName(QStringLiteral("RepeatShiftDialog"));
    setWindowTitle(QStringLiteral("Повторить смену"));
    sourceDateEdit = new QDateEdit(this);
    sourceDateEdit->setObjectName(QStringLiteral("sourceDate"));
    sourceDateEdit->setCalendarPopup(true);
    sourceDateEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    sourceShiftBox = new QComboBox(this);
    sourceShiftBox->setObjectName(QStringLiteral("sourceShift"));
    sourceShiftBox->addItems({QStringLiteral("Смена №1"), QStringLiteral("Смена №2"), QStringLiteral("Смена №3"),
                              QStringLiteral("Переработка")});
    grid = new QTableWidget(0, ColumnCount, this);
    grid->setObjectName(QStringLiteral("sourceEntries"));
    grid->setHorizontalHeaderLabels({QString(), QStringLiteral("Фамилия И.О."), QStringLiteral("Марка изделия"),
                                     QStringLiteral("Операция"), QStringLiteral("Вид"), QStringLiteral("Цвет"),
                                     QStringLiteral("Кол-во"), QStringLiteral("Брак"), QStringLiteral("Часы")});
    grid->setAccessibleName(QStringLiteral("Позиции смены-образца"));
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setStretchLastSection(true);
    saveButton = makeButton(QStringLiteral("repeatSave"), QStringLiteral("&Записать"), this);
    cancelButton = makeButton(QStringLiteral("repeatCancel"), QStringLiteral("Отмена"), this);
    saveButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);

    auto* source = new QHBoxLayout;
    auto* dateLabel = new QLabel(QStringLiteral("&Откуда: дата"), this);
    dateLabel->setBuddy(sourceDateEdit);
    auto* shiftLabel = new QLabel(QStringLiteral("с&мена"), this);
    shiftLabel->setBuddy(sourceShiftBox);
    source->addWidget(dateLabel);
    source->addWidget(sourceDateEdit);
    source->addWidget(shiftLabel);
    source->addWidget(sourceShiftBox);
    source->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(source);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    resize(900, 500);

    connect(sourceDateEdit, &QDateEdit::dateChanged, this, [this] { readSource(); });
    connect(sourceShiftBox, &QComboBox::currentIndexChanged, this, [this] { readSource(); });
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool RepeatShiftDialog::openFor(const QDate& date, bool dayOff, int shiftNo)
{
    targetDate_ = date;
    targetDayOff_ = dayOff;
    targetShift_ = shiftNo;
    setWindowTitle(QStringLiteral("Повторить смену в %1, %2")
                       .arg(date.toString(QStringLiteral("dd.MM.yyyy")), sourceShiftBox->itemText(shiftNo - 1)));
    QDate source;
    runAction(dm_.db, [&] { source = store_.lastDateWithEntries(date, shiftNo); });
    {
        const QSignalBlocker dateQuiet(sourceDateEdit), shiftQuiet(sourceShiftBox);
        sourceDateEdit->setDate(source.isValid() ? source : date.addDays(-1));
        sourceShiftBox->setCurrentIndex(shiftNo - 1);
    }
    readSource();
    return exec() == QDialog::Accepted;
}

void RepeatShiftDialog::readSource()
{
    sourceRows_.clear();
    grid->setRowCount(0);
    runAction(dm_.db, [this] {
        QSqlQuery q = dm_.db.exec(RepeatShiftStore::sourceStatement(),
                                  {{QStringLiteral("data"), sourceDateEdit->date()},
                                   {QStringLiteral("smena"), sourceShiftBox->currentIndex() + 1}});
        while (q.next())
            sourceRows_.push_back(Row::fromQuery(q));
    });
    grid->setRowCount(int(sourceRows_.size()));
    for (int r = 0; r < sourceRows_.size(); ++r) {
        const Row& row = sourceRows_[r];
        auto* check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        check->setCheckState(Qt::Checked);
        grid->setItem(r, Check, check);
        grid->setItem(r, Worker, shownItem(row[QStringLiteral("fio")].asString().trimmed()));
        grid->setItem(r, Mark, shownItem(row[QStringLiteral("marka")].asString().trimmed()));
        grid->setItem(r, Kind, shownItem(row[QStringLiteral("vid")].asString().trimmed()));
        grid->setItem(r, ProductKind, shownItem(productKindText(row[QStringLiteral("naimen")].asInteger())));
        grid->setItem(r, Colour, shownItem(QString::number(row[QStringLiteral("color")].asInteger())));
        grid->setItem(r, Quantity, numberItem(row[QStringLiteral("kol_vo")].asInteger()));
        grid->setItem(r, Rejects, numberItem(row[QStringLiteral("brak")].asInteger()));
        grid->setItem(r, Hours, numberItem(row[QStringLiteral("time")].asInteger()));
    }
    grid->resizeColumnsToContents();
}

std::optional<QVector<EntryValues>> RepeatShiftDialog::checkedEntries()
{
    QVector<EntryValues> entries;
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, Check)->checkState() != Qt::Checked)
            continue;
        const Row& row = sourceRows_[r];
        EntryValues e;
        e.workerId = row[QStringLiteral("w_id")].asInteger();
        e.operationId = row[QStringLiteral("o_id")].asInteger();
        e.productId = row[QStringLiteral("i_id")].asInteger();
        e.colour = row[QStringLiteral("color")].asInteger();
        e.date = targetDate_;
        e.shiftNo = targetShift_;
        struct Number {
            Column column;
            const char* title;
            int* target;
        };
        for (const Number& n : {Number{Quantity, "Кол-во", &e.quantity}, Number{Rejects, "Брак", &e.rejects},
                                Number{Hours, "Часы", &e.hours}}) {
            bool ok = false;
            *n.target = grid->item(r, n.column)->text().trimmed().toInt(&ok);
            if (!ok) {
                msg::error(QStringLiteral("Число в поле \"%1\" должно быть целым.").arg(QString::fromUtf8(n.title)),
                           QStringLiteral("Ошибка"));
                grid->setCurrentCell(r, n.column);
                return std::nullopt;
            }
        }
        // Priced anew for the target, as the operation picker prices an entry.
        const auto base = Decimal4::fromText(row[QStringLiteral("base")].asString());
        const auto price = base ? entryPrice(*base, targetDayOff_, targetShift_) : std::nullopt;
        if (!price || price->isNegative()) {
            msg::error(kOperationPriceOutOfRange, QStringLiteral("Ошибка"));
            grid->setCurrentCell(r, Check);
            return std::nullopt;
        }
        e.price = *price;
        entries.push_back(e);
    }
    return entries;
}

bool RepeatShiftDialog::save()
{
    const std::optional<QVector<EntryValues>> entries = checkedEntries();
    if (!entries)
        return false;
    int skipped = 0;
    if (!runCommand(dm_.db, [&] { return store_.write(*entries, &skipped); }))
        return false;
    if (skipped > 0)
        msg::info(QStringLiteral("Пропущено %1: уже заведены").arg(positions(skipped)),
                  QStringLiteral("Повторить смену"));
    accept();
    return true;
}
