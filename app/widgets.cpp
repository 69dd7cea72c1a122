#include "widgets.h"

#include <QApplication>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
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

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }
