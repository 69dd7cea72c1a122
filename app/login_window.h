#pragma once
// LoginWindow (TForm23) "Авторизация": asks for the login word, chooses the role, shows the
// register, and runs the build check that stops older builds of the program.
#include "role.h"
#include "version_check.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QLineEdit;
class QPushButton;
class DataModule;

class LoginWindow : public QDialog {
    Q_OBJECT
public:
    struct Hooks {
        // The register, shown modally after a correct word.
        QDialog* registerWindow = nullptr;
        // Starts the register's session for the role (called before the register is shown).
        std::function<void(Role)> startSession;
        // Ends the program: closes every window and leaves the event loops, unless replaced.
        std::function<void()> endProgram;
    };

    LoginWindow(DataModule& dm, BuildStamp stamp, Hooks hooks, QWidget* parent = nullptr);

    // Reads and records the build stamp; on a newer build in the database starts the
    // 5-second end, shows the message and ends the program.
    void runVersionCheck();
    // The login decision of "Вход".
    void logIn();
    // Start-up: the build check, then the window. A newer build ends the program before the
    // window is shown (false), so the end never runs inside the window's own show().
    bool showAfterBuildCheck();

    QLineEdit* wordEdit;
    QPushButton* logInButton;
    QPushButton* cancelButton;
    QTimer endTimer;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void activate();
    void endProgram();

    DataModule& dm_;
    BuildStamp stamp_;
    Hooks hooks_;
    bool ended_ = false;
    bool checking_ = false;
    bool checkedBeforeShow_ = false;
};
