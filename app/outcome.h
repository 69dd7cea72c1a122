#pragma once
// What a store's command came to: done, or refused with the message the user is to see (a
// duplicate, an entry another user changed). A store returns the refusal instead of showing
// it, so that no message box opens while its transaction and locks are held; the window
// shows it once the command has ended (runCommand).
#include <QString>
#include <optional>

class Outcome {
public:
    static Outcome done() { return Outcome(); }
    static Outcome refused(const QString& message)
    {
        Outcome o;
        o.refusal_ = message;
        return o;
    }

    bool isDone() const { return !refusal_; }
    explicit operator bool() const { return isDone(); }
    // The message of a refusal; empty when done.
    QString refusal() const { return refusal_.value_or(QString()); }

private:
    std::optional<QString> refusal_;
};
