#include "decimal4.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {

template <class Int>
Int roundedDivision(Int numerator, Int denominator)
{
    const Int q = numerator / denominator;
    const Int r = numerator % denominator;
    const Int absR = r < 0 ? -r : r;
    const Int absD = denominator < 0 ? -denominator : denominator;
    if (2 * absR >= absD)
        return q + (((numerator < 0) != (denominator < 0)) ? -1 : 1);
    return q;
}

} // namespace

std::optional<Decimal4> Decimal4::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // Through the shortest decimal text of the double, so 10.3 is 10.3000 and not 10.2999.
    return fromText(QString::number(value, 'f', 6));
}

std::optional<DecimalText> DecimalText::split(QStringView text, bool comma)
{
    // Blanks as the C locale knows them; digits are ASCII digits only.
    const auto blank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype i = 0, n = text.size();
    while (i < n && blank(text[i]))
        ++i;
    while (n > i && blank(text[n - 1]))
        --n;
    DecimalText out;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        out.negative = text[i++] == u'-';
    const qsizetype wholeStart = i;
    while (i < n && digit(text[i]))
        ++i;
    out.whole = text.mid(wholeStart, i - wholeStart);
    if (i < n && (text[i] == u'.' || (comma && text[i] == u','))) {
        const qsizetype fractionStart = ++i;
        while (i < n && digit(text[i]))
            ++i;
        out.fraction = text.mid(fractionStart, i - fractionStart);
    }
    if (i != n || (out.whole.isEmpty() && out.fraction.isEmpty()))
        return std::nullopt;
    return out;
}

std::optional<Decimal4> Decimal4::fromText(const QString& text)
{
    const std::optional<DecimalText> parts = DecimalText::split(text, true);
    if (!parts || parts->whole.size() > 14)
        return std::nullopt;
    qint64 units = 0;
    for (QChar c : parts->whole)
        units = units * 10 + (c.unicode() - u'0');
    // Four places, rounded half away from zero.
    for (qsizetype k = 0; k < 4; ++k)
        units = units * 10 + (k < parts->fraction.size() ? parts->fraction[k].unicode() - u'0' : 0);
    if (parts->fraction.size() > 4 && parts->fraction[4] >= u'5')
        ++units;
    return fromUnits(parts->negative ? -units : units);
}

std::optional<Decimal4> Decimal4::scaled(qint64 numerator, qint64 denominator) const
{
    const __int128 result = roundedDivision<__int128>(__int128(units_) * numerator, denominator);
    if (result > std::numeric_limits<qint64>::max() || result < std::numeric_limits<qint64>::min())
        return std::nullopt;
    return fromUnits(qint64(result));
}

QString Decimal4::toString(int places) const
{
    places = std::clamp(places, 0, 4);
    qint64 divisor = 1;
    for (int i = places; i < 4; ++i)
        divisor *= 10;
    const qint64 shown = roundedDivision<qint64>(units_, divisor);
    // Written backwards into a buffer: reports format a number for every line.
    char buffer[32];
    char* p = buffer + sizeof buffer;
    quint64 a = shown < 0 ? quint64(0) - quint64(shown) : quint64(shown);
    for (int i = 0; i < places; ++i, a /= 10)
        *--p = char('0' + a % 10);
    if (places > 0)
        *--p = '.';
    do {
        *--p = char('0' + a % 10);
        a /= 10;
    } while (a > 0);
    if (shown < 0)
        *--p = '-';
    return QString::fromLatin1(p, buffer + sizeof buffer - p);
}

QString Decimal4::toString() const
{
    QString out = toString(4);
    while (out.endsWith(u'0'))
        out.chop(1);
    if (out.endsWith(u'.'))
        out.chop(1);
    return out;
}

QString Decimal4::toDisplayString() const
{
    QString text = toString();
    text.replace(u'.', QLocale().decimalPoint());
    return text;
}

std::optional<Decimal4> entryPrice(Decimal4 lowestNormPrice, bool dayOff, int shiftNo)
{
    std::optional<Decimal4> price = lowestNormPrice;
    if (dayOff)
        price = price->times(2);
    if (price && shiftNo == 3)
        price = price->scaled(12, 10);
    else if (price && shiftNo == 4)
        price = price->scaled(15, 10);
    return price;
}
