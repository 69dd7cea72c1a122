#include "window_memory.h"

#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QSettings>
#include <QTableView>
#include <QWidget>

namespace {

// The program's own windows: named dialogs, not the message boxes and file choosers of Qt.
bool remembers(QObject* watched)
{
    auto* dialog = qobject_cast<QDialog*>(watched);
    return dialog && dialog->isWindow() && !dialog->objectName().isEmpty()
        && !dialog->objectName().startsWith(QLatin1String("qt_")) && !qobject_cast<QMessageBox*>(dialog)
        && !qobject_cast<QFileDialog*>(dialog);
}

QString columnKey(const QTableView* grid, int column)
{
    const QString title = grid->model()->headerData(column, Qt::Horizontal).toString();
    return QStringLiteral("%1/%2").arg(grid->objectName(), title.isEmpty() ? QString::number(column) : title);
}

// The named grids of the window that have columns.
QList<QTableView*> gridsOf(QWidget* window)
{
    QList<QTableView*> out;
    for (QTableView* grid : window->findChildren<QTableView*>())
        if (!grid->objectName().isEmpty() && grid->model())
            out << grid;
    return out;
}

} // namespace

WindowMemory::WindowMemory(const QString& settingsFile, QObject* parent)
    : QObject(parent),
      settings_(settingsFile.isEmpty()
                    ? new QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tabel"),
                                    QStringLiteral("windows"), this)
                    : new QSettings(settingsFile, QSettings::IniFormat, this))
{
}

WindowMemory::~WindowMemory() { settings_->sync(); }

bool WindowMemory::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && remembers(watched)) {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show)
            restore(window);
        else
            remember(window);
    }
    return QObject::eventFilter(watched, event);
}

void WindowMemory::restore(QWidget* window)
{
    settings_->beginGroup(window->objectName());
    if (!prepared_.contains(window)) {
        prepared_.insert(window);
        connect(window, &QObject::destroyed, this, [this, window] { prepared_.remove(window); });
        // Larger when the user wants it, never smaller than it was built.
        window->setMinimumSize(window->size());
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->setSizeGripEnabled(true);
        const QByteArray geometry = settings_->value(QStringLiteral("geometry")).toByteArray();
        // restoreGeometry brings a window remembered on a screen that is gone back onto one.
        if (!geometry.isEmpty())
            window->restoreGeometry(geometry);
    }
    for (QTableView* grid : gridsOf(window))
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
            const int width = settings_->value(columnKey(grid, column), 0).toInt();
            if (width > 0 && !grid->isColumnHidden(column))
                grid->setColumnWidth(column, width);
        }
    settings_->endGroup();
}

void WindowMemory::remember(QWidget* window)
{
    if (!prepared_.contains(window))
        return;
    settings_->beginGroup(window->objectName());
    settings_->setValue(QStringLiteral("geometry"), window->saveGeometry());
    for (QTableView* grid : gridsOf(window))
        for (int column = 0; column < grid->model()->columnCount(); ++column)
            if (!grid->isColumnHidden(column))
                settings_->setValue(columnKey(grid, column), grid->columnWidth(column));
    settings_->endGroup();
    settings_->sync();
}
