#pragma once
// Replaces the message boxes for a test: records what would have been shown and answers
// questions from a script (No, or a cancelled text question, when the script is empty).
#include "messages.h"

#include <QList>
#include <QString>
#include <QStringList>

class MessageRecorder : public msg::MessageService {
public:
    struct Shown {
        QString text;
        QString caption;
        msg::Icon icon;
        bool question = false;
    };

    MessageRecorder() { msg::install(this); }
    ~MessageRecorder() override { msg::install(nullptr); }

    void show(const QString& text, const QString& caption, msg::Icon icon) override
    {
        shown.append({text, caption, icon, false});
    }
    bool ask(const QString& text, const QString& caption) override
    {
        shown.append({text, caption, msg::Icon::Question, true});
        return answers.isEmpty() ? false : answers.takeFirst();
    }

    std::optional<QString> askText(const QString& text, const QString& caption) override
    {
        shown.append({text, caption, msg::Icon::Question, true});
        if (textAnswers.isEmpty())
            return std::nullopt;
        return textAnswers.takeFirst();
    }

    QStringList texts() const
    {
        QStringList out;
        for (const auto& s : shown)
            out << s.text;
        return out;
    }
    QString last() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear() { shown.clear(); }

    QList<Shown> shown;
    QList<bool> answers;      // answers to the next Yes/No questions, in order
    QStringList textAnswers;  // answers to the next text questions, in order
};
