#include "change_listener.h"

#include "actions.h"
#include "database.h"

#include <QDebug>
#include <QRegularExpression>

ChangeListener::ChangeListener(Database& db, QObject* parent) : QObject(parent), db_(db)
{
    qRegisterMetaType<ChangeNotice>();
    // Told after the reopening's command has ended, so that no window reads in its middle.
    db_.onReopened = [this] { QMetaObject::invokeMethod(this, &ChangeListener::reconnected, Qt::QueuedConnection); };
}

ChangeListener::~ChangeListener()
{
    db_.onReopened = nullptr;
    db_.stopListening();
}

bool ChangeListener::start()
{
    const bool live =
        db_.listen(QString::fromLatin1(kChangeChannel), [this](const QString& payload) { take(payload); });
    if (live)
        probe();
    return live;
}

namespace {
constexpr int kProbeWait = 10000;  // ms
QString probeOf(const QString& copy) { return QStringLiteral("{\"probe\":\"%1\"}").arg(copy); }
} // namespace

void ChangeListener::probe()
{
    probeArrived_ = false;
    runQuietly([this] {
        db_.exec(QStringLiteral("select pg_notify(:channel, :probe)"),
                 {{QStringLiteral("channel"), QString::fromLatin1(kChangeChannel)},
                  {QStringLiteral("probe"), probeOf(db_.copyId())}});
    });
    QTimer::singleShot(kProbeWait, this, [this] {
        if (!probeArrived_)
            qWarning().noquote() << "Live updates are off: the server took the subscription to" << kChangeChannel
                                 << "but delivered nothing within" << kProbeWait / 1000
                                 << "s (a connection pooler in transaction mode?)";
    });
}

bool ChangeListener::takeProbe(const QString& payload)
{
    static const QRegularExpression probe(QStringLiteral(R"(^\{"probe":"[0-9a-f-]{36}"\}$)"));
    if (!probe.match(payload).hasMatch())
        return false;
    if (payload == probeOf(db_.copyId()))
        probeArrived_ = true;
    return true;
}

bool ChangeListener::isLive() const { return db_.isListening(); }

void ChangeListener::take(const QString& payload)
{
    if (takeProbe(payload))
        return;
    QString why;
    const std::optional<ChangeNotice> notice = parseNotice(payload, &why);
    if (!notice) {
        qWarning().noquote() << "Ignored a notification on" << kChangeChannel << "(" + why + "):" << payload.left(200);
        return;
    }
    if (notice->copy != db_.copyId())
        emit changed(*notice);
}

Gathered::Gathered(std::function<void()> action, QObject* parent, int intervalMs)
    : QObject(parent), action_(std::move(action)), interval_(intervalMs)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &Gathered::run);
}

void Gathered::request()
{
    if (timer_.isActive())
        return;
    const qint64 since = lastRun_.isValid() ? lastRun_.elapsed() : interval_;
    if (since >= interval_)
        run();
    else
        timer_.start(int(interval_ - since));
}

void Gathered::run()
{
    lastRun_.start();
    action_();
}
