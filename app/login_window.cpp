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
#include <utility>

LoginWindow::LoginWindow(DataModule& dm, BuildStamp stamp, Hooks hooks, QWidget* parent)
    : QDialog(parent), dm_(dm), stamp_(stamp), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("TForm23"));
    setWindowTitle(QStringLiteral("Авторизация"));
    auto* label = new QLabel(QStringLiteral("&Пароль:"), this);
    wordEdit = new QLineEdit(this);
    wordEdit->setObjectName(QStringLiteral("Edit1"));
    wordEdit->setEchoMode(QLineEdit::Password);
    label->setBuddy(wordEdit);
    logInButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Вход"), this);
    logInButton->setDefault(true);
    cancelButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Отмена"), this);
    auto* row = new QHBoxLayout(this);
    row->addWidget(label);
    row->addWidget(wordEdit, 1);
    row->addWidget(logInButton);
    row->addWidget(cancelButton);
    resize(330, 44);

    endTimer.setObjectName(QStringLiteral("Timer1"));
    endTimer.setInterval(5000);
    endTimer.setSingleShot(true);
    connect(&endTimer, &QTimer::timeout, this, &LoginWindow::endProgram);
    connect(logInButton, &QPushButton::clicked, this, &LoginWindow::logIn);
    // Escape also rejects the dialog, which closes it and so ends the program.
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void LoginWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    activate();
}

bool LoginWindow::showAfterBuildCheck()
{
    runVersionCheck();
    if (ended_)
        return false;
    checkedBeforeShow_ = true;
    show();
    return true;
}

void LoginWindow::activate()
{
    if (!std::exchange(checkedBeforeShow_, false))
        runVersionCheck();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)").arg(stamp_.date).arg(stamp_.time));
    // Wide enough for the whole caption beside the title bar's buttons.
    setMinimumWidth(std::max(330, fontMetrics().horizontalAdvance(windowTitle()) + 140));
}

void LoginWindow::runVersionCheck()
{
    // The 30-second timer must not stack a second check (and its message) on one still open.
    if (checking_)
        return;
    checking_ = true;
    bool current = true;
    runAction(dm_.db, [&] { current = checkVersion(dm_, stamp_); });
    checking_ = false;
    if (current)
        return;
    endTimer.start();
    msg::error(QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."),
               QStringLiteral("Ошибка"));
    endProgram();
}

void LoginWindow::endProgram()
{
    if (ended_)
        return;
    ended_ = true;
    endTimer.stop();
    if (hooks_.endProgram) {
        hooks_.endProgram();
        return;
    }
    // Nothing may be used any more: the message still open, the register, this window. Exit
    // leaves every event loop that runs (at start-up only the message's), and main sees
    // showAfterBuildCheck() return false.
    hide();
    setEnabled(false);
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void LoginWindow::logIn()
{
    const auto role = roleForWord(wordEdit->text());
    if (!role) {
        msg::error(QStringLiteral("Введены неверные данные."), QStringLiteral("Ошибка"));
        return;
    }
    // Every store asks the connection what the login may write.
    dm_.db.loginRole = *role;
    if (hooks_.startSession)
        hooks_.startSession(*role);
    for (int shift = 1; shift <= 4; ++shift)
        dm_.shiftList(shift).setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    hide();
    if (hooks_.registerWindow)
        hooks_.registerWindow->exec();
    accept();
}
