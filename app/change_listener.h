#pragma once
// What the other copies of the program change, as it happens: the connection listens on the
// change channel (app/change_notice.h), and each notification of another copy's committed
// write becomes a `changed` signal that the windows showing its data connect to. This copy's
// own writes are left out (its windows show them already), and so is anything on the channel
// that is not a notification of this program (logged).
#include "change_notice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class Database;

class ChangeListener : public QObject {
    Q_OBJECT
public:
    explicit ChangeListener(Database& db, QObject* parent = nullptr);
    ~ChangeListener() override;

    // Listens from now on, and again after every reopening of the connection. False when the
    // server cannot deliver (logged once): the program then works without live updates. A
    // server that takes the subscription but delivers nothing (a pooler in transaction mode) is
    // found by a probe sent to itself, and logged once too.
    bool start();
    bool isLive() const;
    Database& database() { return db_; }

    // Handles one payload as if it had arrived on the channel (the connection's delivery).
    void take(const QString& payload);

signals:
    // Another copy committed the change.
    void changed(const ChangeNotice& notice);
    // The connection was lost and is open again: what was sent meanwhile never arrived, so
    // whatever a window shows is to be read again.
    void reconnected();

private:
    void probe();
    // This copy's probe, or another copy's (not a change).
    bool takeProbe(const QString& payload);

    Database& db_;
    bool probeArrived_ = false;
};

// At most one run of an action per interval, however often it is asked for: the first request
// after a quiet interval runs at once, later ones are gathered into one run at the interval's
// end. The gathering of a burst of notifications into one re-read of a list.
class Gathered : public QObject {
    Q_OBJECT
public:
    static constexpr int kInterval = 300;  // ms

    Gathered(std::function<void()> action, QObject* parent, int intervalMs = kInterval);
    void setAction(std::function<void()> action) { action_ = std::move(action); }
    void request();
    bool isPending() const { return timer_.isActive(); }

private:
    void run();

    std::function<void()> action_;
    int interval_;
    QTimer timer_;
    QElapsedTimer lastRun_;
};
