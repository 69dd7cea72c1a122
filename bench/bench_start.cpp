// Start-up: the program's process from its start to the painted login window, against a bare
// Qt dialog of the same size; and the login to the painted register with its four lists
// filled, against the one statement for the four lists and a bare dialog of the register's size.
#include "bench_data.h"
#include "bench_support.h"
#include "data_module.h"
#include "login_window.h"
#include "register_window.h"
#include "windows.h"

#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

namespace bench {

namespace {

// Starts the process, stops the clock when it reports its first paint, and waits for its end.
void startUntilShown(const QString& path, const QStringList& arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TABEL_REPORT_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(path, arguments);
    if (!p.waitForStarted(10000))
        throw std::runtime_error(("cannot start " + path).toStdString());
    QByteArray out;
    while (!out.contains("shown")) {
        if (!p.waitForReadyRead(30000)) {
            p.kill();
            p.waitForFinished();
            throw std::runtime_error(
                QStringLiteral("%1 did not report its window: %2").arg(path, QString::fromLocal8Bit(p.readAllStandardError())).toStdString());
        }
        out += p.readAllStandardOutput();
    }
    stopClock();
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
    }
}

// Stops the clock when the dialog, run modally by `open`, has been painted, and closes it.
void untilPainted(QDialog* dialog, const std::function<void()>& open)
{
    bool closing = false;
    struct Watch : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && onPaint)
                onPaint();
            return false;
        }
    } watch;
    watch.onPaint = [&] {
        if (closing)
            return;
        closing = true;
        QTimer::singleShot(0, dialog, [dialog] {
            stopClock();
            dialog->reject();
        });
    };
    dialog->installEventFilter(&watch);
    open();
    dialog->removeEventFilter(&watch);
    if (!closing)
        throw std::runtime_error("the window was not painted");
}

} // namespace

void startSuite(Context& c)
{
    Measure start;
    start.group = QStringLiteral("start");
    start.name = QStringLiteral("start to login window (process)");
    start.limit = QStringLiteral("bare Qt dialog");
    start.target = 2;
    start.runs = 11;
    start.program = [&](int) { startUntilShown(c.programPath, c.arguments); };
    start.reference = [&](int) { startUntilShown(c.bareDialogPath, {}); };
    c.runner.run(start);

    // The register opens on today: today gets its day of entries if it has none.
    Measure login;
    login.group = QStringLiteral("start");
    login.name = QStringLiteral("login to a filled register");
    login.limit = QStringLiteral("one statement + bare dialog");
    login.runs = 11;
    QDialog bare;
    login.setup = [&] {
        data::addDays(c.dm().db, QDate::currentDate(), QDate::currentDate());
        bare.resize(c.windows().registerWindow().size());
        auto* layout = new QVBoxLayout(&bare);
        layout->addWidget(new QTableView(&bare));
        login.rows = 0;
        login.traced = &c.dm().db;
    };
    login.check = [&]() -> QString {
        LoginWindow& w = c.windows().loginWindow();
        w.wordEdit->setText(QStringLiteral("7391"));
        untilPainted(&c.windows().registerWindow(), [&] { w.logIn(); });
        for (int shift = 1; shift <= 4; ++shift)
            login.rows += c.dm().shiftList(shift).recordCount();
        return login.rows > 0 ? QString() : QStringLiteral("the register of today is empty");
    };
    login.program = [&](int) {
        LoginWindow& w = c.windows().loginWindow();
        untilPainted(&c.windows().registerWindow(), [&] { w.logIn(); });
    };
    login.reference = [&](int) {
        fetchAll(c.dm().db, DataModule::allShiftsStatement(),
                 {{QStringLiteral("data"), QDate::currentDate()}, {QStringLiteral("ok"), QStringLiteral("ta")}});
        untilPainted(&bare, [&] { bare.exec(); });
    };
    c.runner.run(login);
}

} // namespace bench
