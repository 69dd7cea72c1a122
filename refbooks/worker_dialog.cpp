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
      department(dm.db, QStringLiteral("department"),
                 QStringLiteral("select * from cmn_department.department order by s_caption, id")),
      staffpos(dm.db, QStringLiteral("staffpos"),
               QStringLiteral("select * from hrms_staffpos.staffpos order by s_caption, id")),
      roles(dm.db, QStringLiteral("roles"), QStringLiteral("select * from adm_role.roles order by s_caption, id")),
      dm_(dm),
      store_(dm.db)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Работники"));
    resize(418, 192);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(254);
    LCB_department = new QComboBox(this);
    LCB_department->setObjectName(QStringLiteral("LCB_department"));
    LCB_staffpos = new QComboBox(this);
    LCB_staffpos->setObjectName(QStringLiteral("LCB_staffpos"));
    LCB_roles = new QComboBox(this);
    LCB_roles->setObjectName(QStringLiteral("LCB_roles"));
    for (QComboBox* box : {LCB_department, LCB_staffpos, LCB_roles})
        box->setMaxVisibleItems(10);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);

    QFormLayout* form = layOutDialog(this, QStringLiteral("Данные о работнике"), {Button1, Button2});
    addField(form, QStringLiteral("&ФИО"), Edit1);
    addField(form, QStringLiteral("&Подразделение"), LCB_department);
    addField(form, QStringLiteral("&Должность"), LCB_staffpos);
    addField(form, QStringLiteral("&Роль"), LCB_roles);

    // The wheel anywhere in the dialog goes to the focused drop-down.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    connect(Button1, &QPushButton::clicked, this, &WorkerDialog::save);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void WorkerDialog::reloadLists()
{
    runAction(dm_.db, [this] {
        for (Dataset* ds : {&staffpos, &roles, &department})
            ds->reopen();
    });
    fillLookup(LCB_department, department);
    fillLookup(LCB_staffpos, staffpos);
    fillLookup(LCB_roles, roles);
}

void WorkerDialog::showDepartment(const QString& position)
{
    LCB_department->setCurrentIndex(position.trimmed().isEmpty() ? -1 : LCB_department->findText(position.trimmed()));
}

bool WorkerDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    personId_ = 0;
    setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    Edit1->clear();
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
    Edit1->setText(worker[QStringLiteral("fio")].asString().trimmed());
    return exec() == QDialog::Accepted;
}

void WorkerDialog::save()
{
    const QString fio = Edit1->text().trimmed();
    if (fio.isEmpty()) {
        msg::error(QStringLiteral("ФИО нужно заполнить!"), QStringLiteral("Ошибка"));
        return;
    }
    WorkerValues worker;
    worker.fio = fio;
    // The list's "Должность" column gets the caption of the chosen department.
    if (LCB_department->currentIndex() >= 0)
        worker.position = LCB_department->currentText();
    const bool saved = runAction(dm_.db, [&] {
        if (mode_ == DialogMode::Add)
            store_.add(worker);
        else
            store_.change(personId_, worker);
    });
    if (saved)
        accept();
}

void WorkerDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

void WorkerDialog::wheelStep(int angleDelta)
{
    auto* box = qobject_cast<QComboBox*>(focusWidget());
    if (!box || (box != LCB_department && box != LCB_staffpos && box != LCB_roles) || angleDelta == 0)
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
