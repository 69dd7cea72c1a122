#pragma once
// The one place every message box and Yes/No question of the program goes through.
// Tests install a recorder instead of the modal boxes.
#include <QString>
#include <optional>

namespace msg {

enum class Icon { Error, Warning, Information, Question };

class MessageService {
public:
    virtual ~MessageService() = default;
    // A box with one OK button.
    virtual void show(const QString& text, const QString& caption, Icon icon) = 0;
    // A Yes/No question; true means Yes.
    virtual bool ask(const QString& text, const QString& caption) = 0;
    // A question answered with a line of text; nullopt when the user cancels.
    virtual std::optional<QString> askText(const QString& text, const QString& caption) = 0;
};

// The service in use; a QMessageBox-based one unless replaced.
MessageService& service();
// Replace the service (nullptr restores the boxes). The caller keeps ownership.
void install(MessageService* replacement);

void error(const QString& text, const QString& caption = QStringLiteral("Ошибка"));
void info(const QString& text, const QString& caption);
bool askYesNo(const QString& text, const QString& caption);
std::optional<QString> askText(const QString& text, const QString& caption);

} // namespace msg
