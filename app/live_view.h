#pragma once
// How a window follows the other copies' changes (app/change_listener.h): it re-reads what it
// shows, gathered, while it is open; or, where the data must not change under the user's eyes,
// it says that it changed and waits for "Обновить".
#include "change_notice.h"

#include <QLabel>
#include <functional>

class ChangeListener;
class Dataset;
class QTableView;
class QWidget;

// Runs `reread` (gathered: at most once per Gathered::kInterval) when another copy commits a
// change that `concerns` the window while it is visible, and when the connection came back.
// Never in the middle of a command of this copy; a failure is logged, not shown.
void followChanges(QWidget* window, ChangeListener& changes, std::function<bool(const ChangeNotice&)> concerns,
                   std::function<void()> reread);

// Runs `read` (which re-reads `list`) keeping the current row (found again by `keyField`, or the
// row in its place when it is gone) and the grid's scroll position, without painting between.
void keepingPlace(QTableView* grid, Dataset& list, const QString& keyField, const std::function<void()>& read);

// The quiet line of a window whose data another copy changed: "Данные изменены другим
// пользователем — Обновить (F5)". Hidden until then; F5 in the window runs `refresh`, which
// hides it again (as any refresh of the window does through hide()).
class ChangedElsewhereLine : public QLabel {
    Q_OBJECT
public:
    ChangedElsewhereLine(QWidget* window, ChangeListener& changes, std::function<bool(const ChangeNotice&)> concerns,
                         std::function<void()> refresh);
};
