#include "decimal4.h"

#include <QRegularExpression>
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

std::optional<Decimal4> Decimal4::fromText(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([+-]?)(\\d*)(?:[.,](\\d*))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return std::nullopt;
    const QString whole = m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2);
    QString fraction = m.captured(3);
    if (whole.size() > 14)
        return std::nullopt;
    // Round the fraction to four places, half away from zero.
    const bool roundUp = fraction.size() > 4 && fraction.at(4) >= u'5';
    fraction = fraction.left(4).leftJustified(4, u'0');
    qint64 units = whole.toLongLong() * 10000 + fraction.toLongLong() + (roundUp ? 1 : 0);
    if (m.captured(1) == QLatin1String("-"))
        units = -units;
    return fromUnits(units);
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
    qint64 scale = 1;
    for (int i = 0; i < places; ++i)
        scale *= 10;
    const QString sign = shown < 0 ? QStringLiteral("-") : QString();
    const qint64 a = std::llabs(shown);
    QString out = sign + QString::number(a / scale);
    if (places > 0)
        out += u'.' + QString::number(a % scale).rightJustified(places, u'0');
    return out;
}

QString Decimal4::toString() const
{
    QString out = toString(4);
    if (out.contains(u'.')) {
        while (out.endsWith(u'0'))
            out.chop(1);
        if (out.endsWith(u'.'))
            out.chop(1);
    }
    return out;
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
