#include "quick_entry_row.h"

#include "actions.h"
#include "data_module.h"
#include "entry_input.h"
#include "messages.h"
#include "widgets.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

constexpr int kMostMatches = 30;

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

QuickEntryRow::QuickEntryRow(DataModule& dm, std::function<Target()> target, QWidget* parent)
    : QWidget(parent), dm_(dm), target_(std::move(target)), store_(dm.db)
{
    setObjectName(QStringLiteral("QuickEntryRow"));
    workerEdit = makeField(QStringLiteral("quickWorker"), QStringLiteral("Рабочий"), false);
    operationEdit = makeField(QStringLiteral("quickOperation"), QStringLiteral("Операция"), false);
    quantityEdit = makeField(QStringLiteral("quickQuantity"), QStringLiteral("Кол-во"), true);
    rejectsEdit = makeField(QStringLiteral("quickRejects"), QStringLiteral("Брак"), true);
    hoursEdit = makeField(QStringLiteral("quickHours"), QStringLiteral("Часы"), true);
    colourEdit = makeField(QStringLiteral("quickColour"), QStringLiteral("Цвет"), true);
    saveButton = makeButton(QStringLiteral("quickSave"), QStringLiteral("Записать"), this);
    saveButton->setAutoDefault(false);
    saveButton->installEventFilter(this);
    workerEdit->setPlaceholderText(QStringLiteral("Рабочий: часть ФИО или номер"));
    operationEdit->setPlaceholderText(QStringLiteral("Операция: марка, вид"));
    setColourAsked(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(workerEdit, 3);
    layout->addWidget(operationEdit, 4);
    for (QLineEdit* e : {quantityEdit, rejectsEdit, hoursEdit, colourEdit}) {
        auto* label = new QLabel(e->accessibleName(), this);
        label->setBuddy(e);
        layout->addWidget(label);
        layout->addWidget(e, 1);
    }
    layout->addWidget(saveButton);
    setTabOrder(workerEdit, operationEdit);
    setTabOrder(operationEdit, quantityEdit);
    setTabOrder(quantityEdit, rejectsEdit);
    setTabOrder(rejectsEdit, hoursEdit);
    setTabOrder(hoursEdit, colourEdit);
    setTabOrder(colourEdit, saveButton);

    // The drop-down floats over the register; the keyboard stays in the field.
    matchList = new QListWidget(this);
    matchList->setObjectName(QStringLiteral("quickMatches"));
    matchList->setFocusPolicy(Qt::NoFocus);
    matchList->hide();
    connect(matchList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (matchesOf_) {
            matchList->setCurrentItem(item);
            enterPressed(matchesOf_);
        }
    });
    connect(workerEdit, &QLineEdit::textEdited, this, [this] {
        workerId_ = 0;
        showMatches(workerEdit);
    });
    connect(operationEdit, &QLineEdit::textEdited, this, [this] {
        operationIndex_ = -1;
        setColourAsked(false);
        showMatches(operationEdit);
    });
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
}

QLineEdit* QuickEntryRow::makeField(const QString& name, const QString& accessibleName, bool digits)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setAccessibleName(accessibleName);
    if (digits) {
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), e));
        e->setMaximumWidth(70);
        selectOnFocus(e);
    }
    e->installEventFilter(this);
    return e;
}

void QuickEntryRow::readLists()
{
    if (listsRead_)
        return;
    workers_.clear();
    operations_.clear();
    operationRows_.clear();
    QSqlQuery w = dm_.db.exec(QStringLiteral("select id, fio, s_staffpos_hl from accounts_dep.person order by fio, id"));
    while (w.next()) {
        const QString fio = w.value(1).toString().trimmed();
        const QString department = w.value(2).toString().trimmed();
        workers_.push_back({w.value(0).toInt(), department.isEmpty() ? fio : fio + QStringLiteral(" — ") + department,
                            searchKey(fio)});
    }
    QSqlQuery o = dm_.db.exec(DataModule::operationsStatement());
    while (o.next()) {
        const Row row = Row::fromQuery(o);
        const QString mark = row[QStringLiteral("MARKA")].asString().trimmed();
        const QString kind = row[QStringLiteral("VID")].asString().trimmed();
        const QString productKind = row[QStringLiteral("nmn")].asString().trimmed();
        const QString price = displayText(row[QStringLiteral("cena")].value());
        operations_.push_back({row[QStringLiteral("id")].asInteger(),
                               QStringLiteral("%1 · %2 · %3 — %4").arg(mark, kind, productKind, price),
                               searchKey(mark + u' ' + kind + u' ' + productKind)});
        operationRows_.push_back(row);
    }
    listsRead_ = true;
}

void QuickEntryRow::showMatches(QLineEdit* field)
{
    if (!runAction(dm_.db, [this] { readLists(); }))
        return;
    const QString typed = field->text().trimmed();
    shownMatches_.clear();
    if (field == workerEdit && !typed.isEmpty() && typed.toInt() > 0 && typed == QString::number(typed.toInt())) {
        // A worker's number takes that worker.
        for (int i = 0; i < workers_.size(); ++i)
            if (workers_[i].id == typed.toInt())
                shownMatches_ << i;
    } else {
        shownMatches_ = matchingItems(field == workerEdit ? workers_ : operations_, typed, kMostMatches);
    }
    matchList->clear();
    const QVector<MatchItem>& items = field == workerEdit ? workers_ : operations_;
    for (int i : shownMatches_)
        matchList->addItem(items[i].shown);
    if (shownMatches_.isEmpty()) {
        hideMatches();
        return;
    }
    matchesOf_ = field;
    QWidget* host = window();
    if (matchList->parentWidget() != host)
        matchList->setParent(host);
    const int rows = std::min(int(shownMatches_.size()), 10);
    const int height = rows * matchList->sizeHintForRow(0) + 2 * matchList->frameWidth() + 2;
    const int width = std::max(field->width() * 2, 480);
    QPoint at = field->mapTo(host, QPoint(0, field->height()));
    if (at.y() + height > host->height())
        at.setY(field->mapTo(host, QPoint(0, 0)).y() - height);  // no room below: above the field
    at.setX(std::min(at.x(), std::max(0, host->width() - width)));
    matchList->setGeometry(at.x(), at.y(), width, height);
    matchList->setCurrentRow(-1);
    matchList->show();
    matchList->raise();
}

void QuickEntryRow::hideMatches()
{
    matchList->hide();
    matchesOf_ = nullptr;
}

void QuickEntryRow::moveHighlight(int step)
{
    const int count = matchList->count();
    if (count == 0)
        return;
    const int row = matchList->currentRow() < 0 ? (step > 0 ? 0 : count - 1)
                                                : std::clamp(matchList->currentRow() + step, 0, count - 1);
    matchList->setCurrentRow(row);
}

bool QuickEntryRow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && watched == matchesOf_)
        hideMatches();
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* field = qobject_cast<QLineEdit*>(watched);
    const bool dropped = field && matchesOf_ == field && matchList->isVisible();
    if (dropped && (key == Qt::Key_Down || key == Qt::Key_Up)) {
        moveHighlight(key == Qt::Key_Down ? 1 : -1);
        return true;
    }
    if (key == Qt::Key_Escape) {
        // The drop-down first, then the row; never the register.
        if (dropped)
            hideMatches();
        else
            clearRow();
        return true;
    }
    if (isEnter(key)) {
        if (field)
            enterPressed(field);
        else if (watched == saveButton)
            save();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void QuickEntryRow::enterPressed(QLineEdit* field)
{
    const bool dropped = matchesOf_ == field && matchList->isVisible() && !shownMatches_.isEmpty();
    const int highlighted = dropped ? shownMatches_[std::max(0, matchList->currentRow())] : -1;
    if (field == workerEdit) {
        if (highlighted >= 0)
            takeWorker(highlighted);
        if (workerId_ != 0)
            operationEdit->setFocus();
    } else if (field == operationEdit) {
        if (highlighted >= 0 && !takeOperation(highlighted))
            return;
        if (operationIndex_ >= 0)
            quantityEdit->setFocus();
    } else if (field == quantityEdit) {
        rejectsEdit->setFocus();
    } else if (field == rejectsEdit) {
        hoursEdit->setFocus();
    } else if (field == hoursEdit && colourEdit->isEnabled()) {
        colourEdit->setFocus();
    } else {
        save();
    }
}

void QuickEntryRow::takeWorker(int index)
{
    workerId_ = workers_[index].id;
    const QString shown = workers_[index].shown;
    workerEdit->setText(shown.section(QStringLiteral(" — "), 0, 0));
    hideMatches();
}

bool QuickEntryRow::takeOperation(int index)
{
    const Row& row = operationRows_[index];
    const std::optional<OperationChoice> choice =
        operationChoice(row, row[QStringLiteral("MARKA")].asString(), false, 1);
    hideMatches();
    if (!choice) {
        msg::error(kOperationPriceOutOfRange, QStringLiteral("Ошибка"));
        return false;
    }
    operationIndex_ = index;
    operationEdit->setText(choice->text);
    setColourAsked(isPaintOperation(choice->text));
    return true;
}

void QuickEntryRow::setColourAsked(bool asked)
{
    colourEdit->setEnabled(asked);
    if (!asked)
        colourEdit->clear();
}

bool QuickEntryRow::save()
{
    hideMatches();
    const Target target = target_();
    EntryValues values;
    values.workerId = workerId_;
    values.date = target.date;
    values.shiftNo = target.shiftNo;
    std::optional<OperationChoice> choice;
    if (operationIndex_ >= 0) {
        const Row& row = operationRows_[operationIndex_];
        // Priced as the operation picker prices it, for the register's day-off mark and shift.
        choice = operationChoice(row, row[QStringLiteral("MARKA")].asString(), target.dayOff, target.shiftNo);
        if (!choice) {
            msg::error(kOperationPriceOutOfRange, QStringLiteral("Ошибка"));
            return false;
        }
        values.operationId = choice->operationId;
        values.productId = choice->productId;
        values.price = choice->price;
    }
    EntryTexts texts;
    texts.workerChosen = workerId_ != 0;
    texts.operationChosen = choice.has_value();
    texts.quantity = quantityEdit->text();
    // An empty "Брак" is none.
    texts.rejects = rejectsEdit->text().trimmed().isEmpty() ? QStringLiteral("0") : rejectsEdit->text();
    texts.hours = hoursEdit->text();
    texts.colour = colourEdit->text();
    texts.colourAsked = colourEdit->isEnabled();
    if (const std::optional<EntryFault> fault = readEntryTexts(texts, values)) {
        msg::error(fault->message, QStringLiteral("Ошибка"));
        const EntryEdits edits{workerEdit, operationEdit, quantityEdit, rejectsEdit, hoursEdit, colourEdit};
        if (QLineEdit* at = edits.at(fault->field))
            at->setFocus();
        return false;
    }
    if (!runCommand(dm_.db, [&] { return store_.add(values); }))
        return false;
    for (QLineEdit* e : {quantityEdit, rejectsEdit, hoursEdit})
        e->clear();
    emit saved(values);
    operationEdit->setFocus();
    operationEdit->selectAll();
    return true;
}

void QuickEntryRow::clearRow()
{
    hideMatches();
    for (QLineEdit* e : {workerEdit, operationEdit, quantityEdit, rejectsEdit, hoursEdit, colourEdit})
        e->clear();
    workerId_ = 0;
    operationIndex_ = -1;
    setColourAsked(false);
    workerEdit->setFocus();
}
