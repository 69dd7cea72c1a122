#include "widgets.h"

#include "dataset.h"

#include <QApplication>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QPushButton>
#include <QVBoxLayout>

QPushButton* makeButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QFormLayout* layOutDialog(QDialog* dialog, const QString& groupTitle, const QList<QPushButton*>& buttons)
{
    auto* box = new QGroupBox(groupTitle, dialog);
    auto* form = new QFormLayout(box);
    placeAboveButtons(dialog, box, buttons);
    return form;
}

QVBoxLayout* placeAboveButtons(QDialog* dialog, QWidget* group, const QList<QPushButton*>& buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(group);
    layout->addLayout(row);
    return layout;
}

void addField(QFormLayout* form, const QString& label, QWidget* field)
{
    auto* l = new QLabel(label, form->parentWidget());
    l->setBuddy(field);
    form->addRow(l, field);
}

namespace {

class SelectOnFocus : public QObject {
public:
    explicit SelectOnFocus(QLineEdit* field) : QObject(field), field_(field) { field->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // After the event: a click would otherwise put the cursor back where it landed.
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, field_, [field = field_] { field->selectAll(); });
        return QObject::eventFilter(watched, event);
    }

private:
    QLineEdit* field_;
};

} // namespace

void selectOnFocus(QLineEdit* field) { new SelectOnFocus(field); }

void showAsReadOnly(QLineEdit* field)
{
    field->setReadOnly(true);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
}

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

bool pickInto(const std::function<std::optional<Row>()>& picker, int& id, QLineEdit* field,
              const QString& captionField)
{
    if (!picker)
        return false;
    const std::optional<Row> row = picker();
    if (!row)
        return false;
    id = (*row)[QStringLiteral("id")].asInteger();
    field->setText((*row)[captionField].asString().trimmed());
    return true;
}
