#pragma once
// What a store's command came to: done, or refused with the message the user is to see (a
// duplicate, a number out of range), or refused because the row it was to change is no longer
// what the user's list showed (another copy of the program changed or deleted it: the window
// re-reads). A store returns the refusal instead of showing it, so that no message box opens
// while its transaction and locks are held; the window shows it once the command has ended
// (runCommand).
#include <QString>

class Outcome {
public:
    static Outcome done() { return Outcome(State::Done, {}); }
    static Outcome refused(const QString& message) { return Outcome(State::Refused, message); }
    static Outcome changedMeanwhile(const QString& message) { return Outcome(State::Stale, message); }
    // A command that failed with an error, which has been shown already.
    static Outcome failed() { return Outcome(State::Failed, {}); }

    bool isDone() const { return state_ == State::Done; }
    explicit operator bool() const { return isDone(); }
    // The row the user worked on changed meanwhile: the user's list is out of date.
    bool isStale() const { return state_ == State::Stale; }
    // The message of a refusal; empty when done or failed.
    const QString& refusal() const { return message_; }

private:
    enum class State { Done, Refused, Stale, Failed };
    Outcome(State state, QString message) : state_(state), message_(std::move(message)) {}

    State state_;
    QString message_;
};
