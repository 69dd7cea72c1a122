#pragma once
// The matches of the quick-entry row's drop-downs, searched in memory over the workers and the
// operations read once: a keystroke filters a few thousand rows in well under a millisecond,
// where a statement per keystroke would cost a round trip and a scan of the persons' names.
#include <QString>
#include <QStringList>
#include <QVector>

// A text as the searches compare it: lower case, "ё" read as "е", without hyphens, points and
// slashes, blanks collapsed.
QString searchKey(const QString& text);

struct MatchItem {
    int id = 0;
    QString shown;  // the line of the drop-down
    QString key;    // searchKey of what is searched
};

// The items whose key holds every word of `typed` (in any order), best first: those whose key
// starts with the first word, then those with a word starting with it, then the rest; in their
// own order within each. At most `limit`.
QVector<int> matchingItems(const QVector<MatchItem>& items, const QString& typed, int limit);
