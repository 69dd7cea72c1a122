#include "product_dialog.h"

#include "actions.h"
#include "data_module.h"
#include "decimal4.h"
#include "list_support.h"
#include "messages.h"

#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

ProductDialog::ProductDialog(DataModule& dm, QWidget* parent)
    : QDialog(parent),
      item(dm.db, QStringLiteral("item"),
           QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption")),
      dm_(dm),
      store_(dm)
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Изделие"));
    resize(460, 160);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFrame(false);
    Edit1->setMaxLength(254);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setFrame(false);
    Edit2->setFixedWidth(49);
    Edit2->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*[.,]?\\d*")), Edit2));
    selectOnFocus(Edit2);
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

    connect(Button1, &QPushButton::clicked, this, &ProductDialog::save);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

bool ProductDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    productId_ = 0;
    setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    Edit1->clear();
    Edit2->clear();
    return showWithGroups(groupId());
}

bool ProductDialog::openForChange(const Row& product)
{
    mode_ = DialogMode::Change;
    productId_ = product[QStringLiteral("id")].asInteger();
    setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
    Edit1->setText(product[QStringLiteral("marka")].asString().trimmed());
    Edit2->setText(product[QStringLiteral("massa")].asString().trimmed());
    return showWithGroups(product[QStringLiteral("id_class_item")].asInteger());
}

bool ProductDialog::showWithGroups(int groupId)
{
    runAction(dm_.db, [this] { item.open(); });
    fillLookup(cb_item, item);
    setGroupId(groupId);
    const bool saved = exec() == QDialog::Accepted;
    item.close();
    return saved;
}

int ProductDialog::groupId() const { return lookupKey(cb_item); }

void ProductDialog::setGroupId(int id) { setLookupKey(cb_item, id); }

void ProductDialog::save()
{
    const ProductValues product{Edit1->text().trimmed(), Edit2->text().trimmed(), groupId()};
    if (product.mark.isEmpty() || product.factor.isEmpty() || product.groupId == 0) {
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    const auto factor = Decimal4::fromText(product.factor);
    if (!factor || factor->isNegative()) {
        msg::error(QStringLiteral("Расценка должна быть числом, например 1,5."), QStringLiteral("Ошибка"));
        Edit2->setFocus();
        return;
    }
    if (runCommand(dm_.db, [&] { return store_.save(mode_ == DialogMode::Add ? 0 : productId_, product); }))
        accept();
}

void ProductDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

bool ProductDialog::eventFilter(QObject* watched, QEvent* event)
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
