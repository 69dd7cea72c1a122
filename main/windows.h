#pragma once
// The composition root: the data module, the connection and every window, created once at
// start-up in a fixed order and wired together.
#include "version_check.h"

#include <QStringList>
#include <memory>

class TDataModule6;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TForm23;
class TForm26;
class TForm22;
class TForm29;

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
    TForm5& workersList() { return *form5_; }
    TForm3& productsList() { return *form3_; }
    TForm8& kindsList() { return *form8_; }
    TForm4& operationsList() { return *form4_; }
    TForm11& entryDialog() { return *form11_; }
    TForm26& nomenclatureList() { return *form26_; }

private:
    void wireRegister();
    void wireEntryDialog();

    std::unique_ptr<TDataModule6> dm_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm23> form23_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm7> form7_;
    std::unique_ptr<TForm8> form8_;
    std::unique_ptr<TForm9> form9_;
    std::unique_ptr<TForm10> form10_;
    std::unique_ptr<TForm11> form11_;
    std::unique_ptr<TForm22> form22_;
    std::unique_ptr<TForm26> form26_;
    std::unique_ptr<TForm29> form29_;
};
