#include "list_support.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

SearchKeys::SearchKeys(QLineEdit* field, Dataset& ds, bool swallowOthers)
    : QObject(field), ds_(ds), swallowOthers_(swallowOthers)
{
    field->installEventFilter(this);
}

bool SearchKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Up:
        ds_.prior();
        return true;
    case Qt::Key_Down:
        ds_.next();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Backspace:
        return false;
    case Qt::Key_Delete:
        return swallowOthers_;
    default:
        // Keys that type a character still reach the field; cursor keys do not.
        return swallowOthers_ && key->text().isEmpty();
    }
}

void fillLookup(QComboBox* box, Dataset& ds, const QString& captionField, const QString& idField)
{
    const int kept = lookupKey(box);
    box->clear();
    if (ds.isActive()) {
        const int captionIdx = ds.fieldIndex(captionField);
        const int idIdx = ds.fieldIndex(idField);
        for (int rec = 0; rec < ds.recordCount(); ++rec)
            box->addItem(ds.valueAt(rec, captionIdx).toString().trimmed(),
                         FieldValue(ds.valueAt(rec, idIdx)).asInteger());
    }
    setLookupKey(box, kept);
}

int lookupKey(const QComboBox* box) { return box->currentIndex() < 0 ? 0 : box->currentData().toInt(); }

void setLookupKey(QComboBox* box, int key)
{
    box->setCurrentIndex(key == 0 ? -1 : box->findData(key));
}
