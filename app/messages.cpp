#include "messages.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace msg {
namespace {

class BoxService final : public MessageService {
public:
    void show(const QString& text, const QString& caption, Icon icon) override
    {
        QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
    bool ask(const QString& text, const QString& caption) override
    {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }
    std::optional<QString> askText(const QString& text, const QString& caption) override
    {
        bool ok = false;
        const QString answer = QInputDialog::getText(QApplication::activeWindow(), caption, text, QLineEdit::Normal,
                                                     QString(), &ok);
        return ok ? std::optional<QString>(answer) : std::nullopt;
    }

private:
    static QMessageBox::Icon toQt(Icon icon)
    {
        switch (icon) {
        case Icon::Error: return QMessageBox::Critical;
        case Icon::Warning: return QMessageBox::Warning;
        case Icon::Information: return QMessageBox::Information;
        case Icon::Question: return QMessageBox::Question;
        }
        return QMessageBox::NoIcon;
    }
};

BoxService boxes;
MessageService* current = &boxes;

} // namespace

MessageService& service() { return *current; }
void install(MessageService* replacement) { current = replacement ? replacement : &boxes; }

void error(const QString& text, const QString& caption) { current->show(text, caption, Icon::Error); }
void info(const QString& text, const QString& caption) { current->show(text, caption, Icon::Information); }
bool askYesNo(const QString& text, const QString& caption) { return current->ask(text, caption); }
std::optional<QString> askText(const QString& text, const QString& caption) { return current->askText(text, caption); }

} // namespace msg
