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
      groups(dm.db, QStringLiteral("item"),
             QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption")),
      dm_(dm),
      store_(dm)
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Изделие"));
    resize(460, 160);

    markEdit = new QLineEdit(this);
    markEdit->setObjectName(QStringLiteral("Edit1"));
    markEdit->setFrame(false);
    markEdit->setMaxLength(254);
    factorEdit = new QLineEdit(this);
    factorEdit->setObjectName(QStringLiteral("Edit2"));
    factorEdit->setFrame(false);
    factorEdit->setFixedWidth(49);
    factorEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*[.,]?\\d*")), factorEdit));
    selectOnFocus(factorEdit);
    factorEdit->installEventFilter(this);
    nomenclatureBox = new QComboBox(this);
    nomenclatureBox->setObjectName(QStringLiteral("cb_item"));
    saveButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Записать"), this);
    saveButton->setDefault(true);
    cancelButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);

    QFormLayout* form = layOutDialog(this, QStringLiteral("Данные об изделии"), {saveButton, cancelButton});
    addField(form, QStringLiteral("&Марка"), markEdit);
    addField(form, QStringLiteral("&Расценка"), factorEdit);
    addField(form, QStringLiteral("&Номенклатурная группа"), nomenclatureBox);

    connect(saveButton, &QPushButton::clicked, this, &ProductDialog::save);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool ProductDialog::openForAdd()
{
    mode_ = DialogMode::Add;
    productId_ = 0;
    setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    markEdit->clear();
    factorEdit->clear();
    return showWithGroups(groupId());
}

bool ProductDialog::openForChange(const Row& product)
{
    mode_ = DialogMode::Change;
    productId_ = product[QStringLiteral("id")].asInteger();
    setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
    markEdit->setText(product[QStringLiteral("marka")].asString().trimmed());
    factorEdit->setText(product[QStringLiteral("massa")].asString().trimmed());
    return showWithGroups(product[QStringLiteral("id_class_item")].asInteger());
}

bool ProductDialog::showWithGroups(int groupId)
{
    runAction(dm_.db, [this] { groups.open(); });
    fillLookup(nomenclatureBox, groups);
    setGroupId(groupId);
    const bool saved = exec() == QDialog::Accepted;
    groups.close();
    return saved;
}

int ProductDialog::groupId() const { return lookupKey(nomenclatureBox); }

void ProductDialog::setGroupId(int id) { setLookupKey(nomenclatureBox, id); }

void ProductDialog::save()
{
    const ProductValues product{markEdit->text().trimmed(), factorEdit->text().trimmed(), groupId()};
    if (product.mark.isEmpty() || product.factor.isEmpty() || product.groupId == 0) {
        msg::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    const auto factor = Decimal4::fromText(product.factor);
    if (!factor || factor->isNegative()) {
        msg::error(QStringLiteral("Расценка должна быть числом, например 1,5."), QStringLiteral("Ошибка"));
        factorEdit->setFocus();
        return;
    }
    if (runCommand(dm_.db, [&] { return store_.save(mode_ == DialogMode::Add ? 0 : productId_, product); }))
        accept();
}

void ProductDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    markEdit->setFocus();
}

bool ProductDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The factor takes digits only, a comma or a point entering as a point.
    if (watched == factorEdit && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() != 1 || !text[0].isPrint())
            return false;  // editing and dialog keys work as usual
        const QChar c = text[0];
        if (c >= u'0' && c <= u'9')
            return false;
        if (c == u',' || c == u'.')
            factorEdit->insert(QStringLiteral("."));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
