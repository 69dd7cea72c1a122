#include "product_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "list_support.h"
#include "messages.h"
#include "widgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

TForm7::TForm7(TDataModule6& dm, QWidget* parent)
    : QDialog(parent),
      item(dm.ADO_DB, QStringLiteral("item"),
           QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption")),
      dm_(dm),
      store_(dm)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Изделие"));
    resize(460, 160);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFrame(false);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setFrame(false);
    Edit2->setFixedWidth(49);
    Edit2->installEventFilter(this);
    cb_item = new QComboBox(this);
    cb_item->setObjectName(QStringLiteral("cb_item"));
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);

    QFormLayout* form = layOutDialog(this, QStringLiteral("Данные об изделии"), {Button1, Button2});
    addField(form, QStringLiteral("&Марка"), Edit1);
    addField(form, QStringLiteral("&Расценка"), Edit2);
    addField(form, QStringLiteral("&Номенклатурная группа"), cb_item);

    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm7::openItems()
{
    runAction(dm_.ADO_DB, [this] { item.open(); });
    fillLookup(cb_item, item);
}

void TForm7::closeItems() { item.close(); }

int TForm7::groupId() const { return lookupKey(cb_item); }

void TForm7::setGroupId(int id) { setLookupKey(cb_item, id); }

void TForm7::Button1Click()
{
    const QString mark = Edit1->text().trimmed();
    const QString factor = Edit2->text().trimmed();
    const int group = groupId();
    if (mark.isEmpty() || factor.isEmpty() || group == 0) {
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    bool saved = false;
    runAction(dm_.ADO_DB, [&] {
        saved = store_.save(Tag == 1 ? 0 : ProductId, mark, factor, group);
        if (saved)
            dm_.Izdel.reopen();
    });
    if (saved)
        accept();
}

void TForm7::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

bool TForm7::eventFilter(QObject* watched, QEvent* event)
{
    // The factor takes digits only, a comma or a point entering as a point.
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() != 1 || !text[0].isPrint())
            return false;  // editing and dialog keys work as usual
        const QChar c = text[0];
        if (c >= u'0' && c <= u'9')
            return false;
        if (c == u',' || c == u'.')
            Edit2->insert(QStringLiteral("."));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
