#pragma once
// What the window tests share: a fresh database with the program's data module on
// it, the message recorder, typing into fields and reading what a grid shows.
#include "data_module.h"
#include "message_recorder.h"
#include "russian.h"
#include "test_database.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <memory>

struct ProgramFixture {
    MessageRecorder messages;
    TestDatabase tdb;
    DataModule dm;

    ProgramFixture()
    {
        // As the program runs: Russian locale and Qt texts.
        useRussian();
        dm.db.open(tdb.settings());
        // As a login with full rights leaves it; a test of another role sets its own.
        dm.db.loginRole = Role::FullRights;
        dm.decimalSeparator = QStringLiteral(".");
        // As the login leaves them: the register lists every entry not marked "ta".
        for (int shift = 1; shift <= 4; ++shift)
            dm.shiftList(shift).setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    }
};

// The base of a window test class: a fresh ProgramFixture for every test function, its
// parts under short names. init() calls makeFixture(), cleanup() dropFixture().
class FixtureTest : public QObject {
protected:
    void makeFixture()
    {
        fixture_ = std::make_unique<ProgramFixture>();
        messages = &fixture_->messages;
        tdb = &fixture_->tdb;
        dm = &fixture_->dm;
    }
    void dropFixture()
    {
        messages = nullptr;
        tdb = nullptr;
        dm = nullptr;
        fixture_.reset();
    }

    MessageRecorder* messages = nullptr;
    TestDatabase* tdb = nullptr;
    DataModule* dm = nullptr;

private:
    std::unique_ptr<ProgramFixture> fixture_;
};

// One key event per character, the character as its text (keyClicks aborts on Cyrillic).
inline void typeText(QWidget* field, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.unicode() < 128 ? c.toUpper().unicode() : 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, c.unicode() < 128 ? c.toUpper().unicode() : 0, Qt::NoModifier,
                          QString(c));
        QApplication::sendEvent(field, &release);
    }
}

inline void pressKey(QWidget* field, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(field, &press);
}

// The texts a grid shows in one column, top to bottom, trimmed.
inline QStringList shownTexts(QTableView* grid, int column = 0)
{
    QStringList out;
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->index(row, column).data().toString().trimmed();
    return out;
}

// Closes every modal dialog still open, innermost first.
inline void closeModalDialogs()
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;  // it would not close
    }
}

// Runs `step` once the next modal dialog is running (a nested exec() in the action). When a
// check in the step fails, every modal dialog still open is closed, so that the test fails at
// once rather than waiting for CTest's timeout.
inline void whenShown(std::function<void()> step)
{
    QTimer::singleShot(0, [step = std::move(step)] {
        try {
            step();
        } catch (...) {
            QTest::qFail("the step threw an exception", __FILE__, __LINE__);
        }
        if (QTest::currentTestFailed())
            closeModalDialogs();
    });
}

// Runs `step` on the window of type W as soon as one is shown (for windows that the program
// opens itself, several levels deep); closes the modal dialogs as whenShown does on a failure.
template <class W>
void whenShown(std::function<void(W*)> step)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, step] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<W*>(w); window && window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                whenShown([step, window] { step(window); });
                return;
            }
    });
    poll->start();
}
