// The floor of the start-up benchmark: a bare Qt dialog with the login window's controls (a
// label, a password field, two buttons) in the login window's size, shown and painted, with
// nothing else: no database, no other window.
#include "first_paint_report.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Авторизация"));
    auto* label = new QLabel(QStringLiteral("&Пароль:"), &dialog);
    auto* field = new QLineEdit(&dialog);
    field->setEchoMode(QLineEdit::Password);
    label->setBuddy(field);
    auto* row = new QHBoxLayout(&dialog);
    row->addWidget(label);
    row->addWidget(field, 1);
    row->addWidget(new QPushButton(QStringLiteral("Вход"), &dialog));
    row->addWidget(new QPushButton(QStringLiteral("Отмена"), &dialog));
    dialog.resize(330, 44);
    reportFirstPaint(&dialog);
    dialog.show();
    return app.exec();
}
