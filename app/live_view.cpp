#include "live_view.h"

#include "actions.h"
#include "change_listener.h"
#include "database.h"
#include "dataset.h"

#include <QScrollBar>
#include <QShortcut>
#include <QTableView>

void followChanges(QWidget* window, ChangeListener& changes, std::function<bool(const ChangeNotice&)> concerns,
                   std::function<void()> reread)
{
    Database& db = changes.database();
    auto* gathered = new Gathered({}, window);
    gathered->setAction([gathered, &db, reread = std::move(reread)] {
        if (db.inTransaction())
            gathered->request();  // a moment later
        else
            runQuietly(reread);
    });
    QObject::connect(&changes, &ChangeListener::changed, gathered,
                     [window, gathered, concerns = std::move(concerns)](const ChangeNotice& notice) {
                         if (window->isVisible() && concerns(notice))
                             gathered->request();
                     });
    QObject::connect(&changes, &ChangeListener::reconnected, gathered, [window, gathered] {
        if (window->isVisible())
            gathered->request();
    });
}

void keepingPlace(QTableView* grid, Dataset& list, const QString& keyField, const std::function<void()>& read)
{
    const QVariant key = list.isEmpty() || !list.hasField(keyField) ? QVariant() : list.field(keyField).value();
    const int recNo = list.recNo();
    QScrollBar* vertical = grid->verticalScrollBar();
    QScrollBar* horizontal = grid->horizontalScrollBar();
    const int top = vertical->value(), left = horizontal->value();
    grid->setUpdatesEnabled(false);
    runQuietly(read);
    if (!key.isValid() || !list.locate(keyField, key))
        list.setRecNo(recNo);
    vertical->setValue(top);
    horizontal->setValue(left);
    grid->setUpdatesEnabled(true);
}

ChangedElsewhereLine::ChangedElsewhereLine(QWidget* window, ChangeListener& changes,
                                           std::function<bool(const ChangeNotice&)> concerns,
                                           std::function<void()> refresh)
    : QLabel(QStringLiteral("Данные изменены другим пользователем — Обновить (F5)"), window)
{
    setObjectName(QStringLiteral("changedElsewhereLine"));
    setStyleSheet(QStringLiteral("QLabel { color: #505050; }"));
    hide();
    connect(&changes, &ChangeListener::changed, this, [this, window, concerns = std::move(concerns)](const ChangeNotice& n) {
        if (window->isVisible() && concerns(n))
            show();
    });
    connect(&changes, &ChangeListener::reconnected, this, [this, window] {
        if (window->isVisible())
            show();
    });
    auto* key = new QShortcut(QKeySequence(Qt::Key_F5), window);
    connect(key, &QShortcut::activated, this, [this, refresh = std::move(refresh)] {
        refresh();
        hide();
    });
}
