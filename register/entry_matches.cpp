#include "entry_matches.h"

#include <QRegularExpression>
#include <algorithm>

QString searchKey(const QString& text)
{
    QString key = text.toLower();
    key.replace(QChar(u'ё'), QChar(u'е'));
    // "СФ-20", "сф20" and "СФ 20." are one mark to a user.
    static const QRegularExpression joiners(QStringLiteral("[-./]"));
    key.remove(joiners);
    return key.simplified();
}

namespace {

// 0: the key starts with the word, 1: one of its words does, 2: it only holds it.
int rank(const QString& key, const QString& word)
{
    if (key.startsWith(word))
        return 0;
    static const QRegularExpression wordStart(QStringLiteral("[\\s·;,\"'()]"));
    for (qsizetype at = key.indexOf(word); at > 0; at = key.indexOf(word, at + 1))
        if (wordStart.match(key.mid(at - 1, 1)).hasMatch())
            return 1;
    return 2;
}

} // namespace

QVector<int> matchingItems(const QVector<MatchItem>& items, const QString& typed, int limit)
{
    const QStringList words = searchKey(typed).split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    QVector<std::pair<int, int>> found;  // rank, index
    for (int i = 0; i < items.size(); ++i) {
        const QString& key = items[i].key;
        if (std::all_of(words.begin(), words.end(), [&](const QString& w) { return key.contains(w); }))
            found.push_back({rank(key, words.first()), i});
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QVector<int> out;
    for (int i = 0; i < found.size() && i < limit; ++i)
        out << found[i].second;
    return out;
}
