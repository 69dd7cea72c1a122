#include "mask_format.h"

#include "decimal4.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Reads a literal part of a mask; quoted text is taken as it is.
QString literal(const QString& part)
{
    QString out;
    QChar quote;
    for (QChar c : part) {
        if (quote.isNull() && (c == QLatin1Char('\'') || c == QLatin1Char('"'))) {
            quote = c;
            continue;
        }
        if (c == quote) {
            quote = QChar();
            continue;
        }
        out += c;
    }
    return out;
}

bool isMaskChar(QChar c)
{
    return c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char('.') || c == QLatin1Char(',');
}

// Rounds the digits `d` of a number whose first `intLen` digits stand before the point (leading
// zeros allowed; intLen may be 0 or negative for a number below 0.1) half away from zero to
// `decimals` places: the integer part (no leading zeros) and exactly `decimals` fraction digits.
void roundDigits(std::string d, int intLen, int decimals, std::string& intPart, std::string& fracPart)
{
    const int keep = intLen + decimals;
    if (keep < 0) {
        d.clear();
        intLen = -decimals;
    } else if (keep < int(d.size())) {
        const bool up = d[keep] >= '5';
        d.resize(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && d[i] == '9')
                d[i--] = '0';
            if (i < 0) {
                d.insert(d.begin(), '1');
                ++intLen;
            } else {
                ++d[i];
            }
        }
    } else {
        d.append(keep - d.size(), '0');
    }
    if (intLen > 0) {
        intPart = d.substr(0, intLen);
        fracPart = d.substr(intLen);
    } else {
        intPart.clear();
        fracPart = std::string(-intLen, '0') + d;
    }
    const size_t nonZero = intPart.find_first_not_of('0');
    intPart = nonZero == std::string::npos ? std::string() : intPart.substr(nonZero);
    fracPart.resize(decimals, '0');
}

// The digits of |value| on its 15 significant digits, so 1.005 rounds to 1.01 as written,
// not as stored in binary.
void doubleDigits(double value, std::string& d, int& intLen)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    d.assign(1, buf[0]);
    const char* p = buf + 2;
    while (*p && *p != 'e')
        d += *p++;
    intLen = std::atoi(p + 1) + 1;
}

} // namespace

MaskFormat MaskFormat::parse(const QString& mask)
{
    MaskFormat format;
    qsizetype start = 0;
    QChar quote;
    while (start < mask.size()) {
        const QChar c = mask[start];
        if (quote.isNull() && (c == QLatin1Char('\'') || c == QLatin1Char('"')))
            quote = c;
        else if (c == quote)
            quote = QChar();
        else if (quote.isNull() && (c == QLatin1Char('#') || c == QLatin1Char('0')))
            break;
        ++start;
    }
    qsizetype end = start;
    bool point = false;
    for (; end < mask.size() && isMaskChar(mask[end]); ++end) {
        const QChar c = mask[end];
        if (c == QLatin1Char('.')) {
            point = true;
        } else if (c == QLatin1Char(',')) {
            format.grouped = format.grouped || !point;
        } else if (!point) {
            format.minInt += c == QLatin1Char('0');
        } else {
            format.maxFrac++;
            format.minFrac += c == QLatin1Char('0') ? 1 : 0;
        }
    }
    // "0#" after the point keeps the zeros that come first only.
    format.prefix = literal(mask.left(start));
    format.suffix = literal(mask.mid(end));
    return format;
}

QString MaskFormat::apply(double value, QChar separator) const
{
    if (!std::isfinite(value))
        return {};
    std::string digits;
    int intLen = 0;
    doubleDigits(value, digits, intLen);
    return applyDigits(value < 0, digits, intLen, separator);
}

QString MaskFormat::applyDecimal(const QString& text, QChar separator) const
{
    const std::optional<DecimalText> parts = DecimalText::split(text, false);
    if (!parts)
        return {};
    std::string digits;
    digits.reserve(size_t(parts->whole.size() + parts->fraction.size()));
    for (QChar c : parts->whole)
        digits += char(c.unicode());
    for (QChar c : parts->fraction)
        digits += char(c.unicode());
    return applyDigits(parts->negative, digits, int(parts->whole.size()), separator);
}

QString MaskFormat::applyDigits(bool negative, const std::string& digits, int intLen, QChar separator) const
{
    std::string intPart, fracPart;
    roundDigits(digits, intLen, maxFrac, intPart, fracPart);
    const bool zero = intPart.empty() && fracPart.find_first_not_of('0') == std::string::npos;
    if (int(intPart.size()) < minInt)
        intPart.insert(0, minInt - intPart.size(), '0');
    while (int(fracPart.size()) > minFrac && fracPart.back() == '0')
        fracPart.pop_back();
    QString out = prefix;
    if (negative && !zero)
        out += QLatin1Char('-');
    if (grouped) {
        for (size_t i = 0; i < intPart.size(); ++i) {
            if (i > 0 && (intPart.size() - i) % 3 == 0)
                out += QLatin1Char(' ');
            out += QLatin1Char(intPart[i]);
        }
    } else {
        out += QLatin1String(intPart.data(), qsizetype(intPart.size()));
    }
    if (!fracPart.empty()) {
        out += separator;
        out += QLatin1String(fracPart.data(), qsizetype(fracPart.size()));
    }
    return out + suffix;
}
