#include "worker_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "list_support.h"
#include "messages.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

WorkerDialog::WorkerDialog(DataModule& dm, QWidget* parent)
    : QDialog(parent),
      departments(dm.db, QStringLiteral("department"),
                  QStringLiteral("select * from cmn_department.department order by s_caption, id")),
      staffPositions(dm.db, QStringLiteral("staffpos"),
                     QStringLiteral("select * from hrms_staffpos.staffpos order by s_caption, id")),
      roles(dm.db, QStringLiteral("roles"), QStringLiteral("select * from adm_role.roles order by s_caption, id")),
      dm_(dm),
      store_(dm.db)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Работники"));
    resize(418, 192);

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("Edit1"));
    nameEdit->setMaxLength(254);
    departmentBox = new QComboBox(this);
    departmentBox->setObjectName(QStringLiteral("LCB_department"));
    staffPositionBox = new QComboBox(this);
    staffPositionBox->setObjectName(QStringLiteral("LCB_staffpos"));
    roleBox = new QComboBox(this);
    roleBox->setObjectName(QStringLiteral("LCB_roles"));
    for (QComboBox* box : {departmentBox, staffPositionBox, roleBox})
        box->setMaxVisibleItems(10);
    saveButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    saveButton->setDefault(true);
    cancelButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);

    QFormLayout* form = layOutDialog(this, QStringLiteral("Данные о работнике"), {saveButton, cancelButton});
    addField(form, QStringLiteral("&ФИО"), nameEdit);
    addField(form, QStringLiteral("&Подразделение"), departmentBox);
    addField(form, QStringLiteral("&Должность"), staffPositionBox);
    addField(form, QStringLiteral("&Роль"), roleBox);

    // The wheel anywhere in the dialog goes to the focused drop-down.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    connect(saveButton, &QPushButton::clicked, this, &WorkerDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void WorkerDialog::reloadLists()
{
    runAction(dm_.db, [this] {
        for (Dataset* ds : {&staffPositions, &roles, &departments})
            ds->reopen();
    });
    fillLookup(departmentBox, departments);
    fillLookup(staffPositionBox, staffPositions);
    fillLookup(roleBox, roles);
}

void WorkerDialog::showDepartment(const QString& position)
{
    departmentBox->setCurrentIndex(position.trimmed().isEmpty() ? -1 : departmentBox->findText(position.trimmed()));
}

bool WorkerDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    personId_ = 0;
    setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    nameEdit->clear();
    reloadLists();
    return exec() == QDialog::Accepted;
}

bool WorkerDialog::openForChange(const Row& worker)
{
    mode_ = DialogMode::Change;
    personId_ = worker[QStringLiteral("id")].asInteger();
    setWindowTitle(QStringLiteral("Изменение данных работника"));
    reloadLists();
    showDepartment(worker[QStringLiteral("s_staffpos_hl")].asString());
    nameEdit->setText(worker[QStringLiteral("fio")].asString().trimmed());
    return exec() == QDialog::Accepted;
}

void WorkerDialog::save()
{
    const QString fio = nameEdit->text().trimmed();
    if (fio.isEmpty()) {
        msg::error(QStringLiteral("ФИО нужно заполнить!"), QStringLiteral("Ошибка"));
        return;
    }
    WorkerValues worker;
    worker.fio = fio;
    // The list's "Должность" column gets the caption of the chosen department.
    if (departmentBox->currentIndex() >= 0)
        worker.position = departmentBox->currentText();
    if (runCommand(dm_.db, [&] {
            return mode_ == DialogMode::Add ? store_.add(worker) : store_.change(personId_, worker);
        }))
        accept();
}

void WorkerDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    nameEdit->setFocus();
}

void WorkerDialog::wheelStep(int angleDelta)
{
    auto* box = qobject_cast<QComboBox*>(focusWidget());
    if (!box || (box != departmentBox && box != staffPositionBox && box != roleBox) || angleDelta == 0)
        return;
    const int next = box->currentIndex() + (angleDelta < 0 ? 1 : -1);
    if (next >= 0 && next < box->count())
        box->setCurrentIndex(next);
}

void WorkerDialog::wheelEvent(QWheelEvent* event)
{
    wheelStep(event->angleDelta().y());
    event->accept();
}

bool WorkerDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Not even a drop-down under the pointer takes the wheel for itself.
    if (event->type() == QEvent::Wheel) {
        wheelStep(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
