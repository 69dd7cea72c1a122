#include "text_runs.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {
// At most this many texts are kept for one font (the runs of one take a few hundred bytes).
constexpr qsizetype kMostTexts = 50000;
} // namespace

bool TextRuns::isOneLine(const QString& text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')
               || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
}

const TextRuns::Laid& TextRuns::laid(const QFont& font, const QString& text)
{
    auto texts = std::find_if(fonts_.begin(), fonts_.end(), [&](const auto& entry) { return entry.first == font; });
    if (texts == fonts_.end())
        texts = fonts_.insert(fonts_.end(), {font, {}});
    auto found = texts->second.constFind(text);
    if (found != texts->second.constEnd())
        return *found;
    // Amounts are mostly unique: the memory stays bounded, the common texts are laid out again.
    if (texts->second.size() >= kMostTexts)
        texts->second.clear();
    QTextLayout layout(text, font, device_);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e9);
    layout.endLayout();
    return *texts->second.insert(text, Laid{layout.glyphRuns(), line.naturalTextWidth(), line.height()});
}

void TextRuns::draw(QPainter& painter, const QRectF& rect, Qt::Alignment align, const QFont& font, const QString& text)
{
    const Laid& l = laid(font, text);
    double x = rect.left();
    if (align & Qt::AlignRight)
        x = rect.right() - l.width;
    else if (align & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - l.width) / 2;
    const QPointF at(x, rect.top() + (rect.height() - l.height) / 2);
    for (const QGlyphRun& run : l.runs)
        painter.drawGlyphRun(at, run);
}
