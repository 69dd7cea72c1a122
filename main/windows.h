#pragma once
// The composition root: the data module, the connection and every window, created once at
// start-up in a fixed order and wired together.
#include "version_check.h"

#include <QStringList>
#include <memory>

class TDataModule6;
class TForm1;
class TForm23;

class Windows {
public:
    Windows();
    ~Windows();

    // Connects with the command-line arguments and creates the windows. On a failed
    // connection tells the user and returns false; no window is shown then.
    bool start(const QStringList& arguments, BuildStamp stamp);

    TDataModule6& dataModule() { return *dm_; }
    TForm1& registerWindow() { return *form1_; }
    TForm23& loginWindow() { return *form23_; }

private:
    void wireRegister();

    std::unique_ptr<TDataModule6> dm_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm23> form23_;
};
