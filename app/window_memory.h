#pragma once
// What every window of the program remembers between runs, per user of the computer: its size
// and position (kept on a visible screen) and the widths of its grids' columns. Installed once
// on the application, it watches each named window: at its first showing the window becomes
// resizable, never smaller than the size it was built with, and takes back what was remembered;
// whenever it is hidden, what it is now is remembered.
#include <QObject>
#include <QSet>
#include <QString>

class QSettings;
class QWidget;

class WindowMemory : public QObject {
    Q_OBJECT
public:
    // Remembers in `settingsFile` (an INI file); empty: the user's settings of the program.
    explicit WindowMemory(const QString& settingsFile = {}, QObject* parent = nullptr);
    ~WindowMemory() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restore(QWidget* window);
    void remember(QWidget* window);

    QSettings* settings_;
    QSet<QWidget*> prepared_;
};
