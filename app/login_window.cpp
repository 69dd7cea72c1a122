#include "login_window.h"

#include "actions.h"
#include "data_module.h"
#include "messages.h"
#include "widgets.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

LoginWindow::LoginWindow(TDataModule6& dm, BuildStamp stamp, Hooks hooks, QWidget* parent)
    : QDialog(parent), dm_(dm), stamp_(stamp), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("TForm23"));
    setWindowTitle(QStringLiteral("Авторизация"));
    auto* label = new QLabel(QStringLiteral("&Пароль:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    label->setBuddy(Edit1);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Вход"), this);
    Button1->setDefault(true);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);
    auto* row = new QHBoxLayout(this);
    row->addWidget(label);
    row->addWidget(Edit1, 1);
    row->addWidget(Button1);
    row->addWidget(Button2);
    resize(330, 44);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(5000);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &LoginWindow::endProgram);
    connect(Button1, &QPushButton::clicked, this, &LoginWindow::logIn);
    // Escape also rejects the dialog, which closes it and so ends the program.
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void LoginWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    activate();
}

void LoginWindow::activate()
{
    VersionCheck();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)").arg(stamp_.date).arg(stamp_.time));
}

void LoginWindow::VersionCheck()
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

void LoginWindow::endProgram()
{
    if (ended_)
        return;
    ended_ = true;
    Timer1.stop();
    if (hooks_.endProgram) {
        hooks_.endProgram();
        return;
    }
    // Nothing may be used any more: the message still open, the register, this window. Exit
    // leaves every event loop that runs; at start-up none runs yet, and main sees hasEnded().
    hide();
    setEnabled(false);
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void LoginWindow::logIn()
{
    const auto role = roleForWord(Edit1->text());
    if (!role) {
        msg::error(QStringLiteral("Введены неверные данные."), QStringLiteral("Ошибка"));
        return;
    }
    if (hooks_.startSession)
        hooks_.startSession(*role);
    for (int shift = 1; shift <= 4; ++shift)
        dm_.smena(shift).setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    hide();
    if (hooks_.registerWindow)
        hooks_.registerWindow->exec();
    accept();
}
