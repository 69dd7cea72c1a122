#include "login_window.h"

#include "actions.h"
#include "data_module.h"
#include "messages.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm23::TForm23(TDataModule6& dm, BuildStamp stamp, Hooks hooks, QWidget* parent)
    : QDialog(parent), dm_(dm), stamp_(stamp), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("Form23"));
    setWindowTitle(QStringLiteral("Авторизация"));
    auto* label = new QLabel(QStringLiteral("&Пароль:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    label->setBuddy(Edit1);
    Button1 = new QPushButton(QStringLiteral("Вход"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto* row = new QHBoxLayout(this);
    row->addWidget(label);
    row->addWidget(Edit1, 1);
    row->addWidget(Button1);
    row->addWidget(Button2);
    resize(330, 44);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(5000);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TForm23::endProgram);
    connect(Button1, &QPushButton::clicked, this, &TForm23::Button1Click);
    // Escape also rejects the dialog, which closes it and so ends the program.
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm23::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TForm23::FormActivate()
{
    VersionCheck();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)").arg(stamp_.date).arg(stamp_.time));
}

void TForm23::VersionCheck()
{
    // The 30-second timer must not stack a second check (and its message) on one still open.
    if (checking_)
        return;
    checking_ = true;
    bool current = true;
    runAction(dm_.ADO_DB, [&] { current = checkVersion(dm_, stamp_); });
    checking_ = false;
    if (current)
        return;
    Timer1.start();
    msg::error(QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."),
               QStringLiteral("Ошибка"));
    endProgram();
}

void TForm23::endProgram()
{
    if (ended_)
        return;
    ended_ = true;
    Timer1.stop();
    if (hooks_.endProgram)
        hooks_.endProgram();
    else
        QCoreApplication::exit(0);
}

void TForm23::Button1Click()
{
    const QString word = Edit1->text().trimmed();
    if (hooks_.rememberWord)
        hooks_.rememberWord(word);
    const auto role = roleForWord(word);
    if (!role) {
        msg::error(QStringLiteral("Введены неверные данные."), QStringLiteral("Ошибка"));
        return;
    }
    if (hooks_.restrict)
        hooks_.restrict(*role);
    for (int shift = 1; shift <= 4; ++shift)
        dm_.smena(shift).setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    hide();
    if (hooks_.registerWindow)
        hooks_.registerWindow->exec();
    accept();
}
