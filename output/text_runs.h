#pragma once
// One-line texts laid out once per font and drawn as glyph runs. A report written to PDF repeats
// its dates, names and figures on every page, and QPainter::drawText lays a text out anew at each
// call: for the thousand pages of a month's pay statements that layout was most of the writing.
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>
#include <vector>

class QPaintDevice;
class QPainter;
class QRectF;

class TextRuns {
public:
    // The layouts are made for `device`, the one painted on.
    explicit TextRuns(QPaintDevice* device) : device_(device) {}

    // Whether `text` is one line as drawText would show it (no line breaks, no tabs).
    static bool isOneLine(const QString& text);
    // Draws `text` as drawText(rect, align | Qt::AlignVCenter | Qt::TextDontClip, text) does:
    // the same glyphs at the same places.
    void draw(QPainter& painter, const QRectF& rect, Qt::Alignment align, const QFont& font, const QString& text);

private:
    struct Laid {
        QList<QGlyphRun> runs;
        double width = 0;
        double height = 0;
    };
    const Laid& laid(const QFont& font, const QString& text);

    QPaintDevice* device_;
    // A report has a handful of fonts: a short list, each with its texts.
    std::vector<std::pair<QFont, QHash<QString, Laid>>> fonts_;
};
