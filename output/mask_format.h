#pragma once
// Number masks of printed reports and grids: "#0", "#0.00", "#0.000", "#0.00#" (two to three
// decimals), "#,##0.00" (thousands apart by a space), with literal text around the digits.
#include <QChar>
#include <QString>
#include <string>

struct MaskFormat {
    QString prefix;
    QString suffix;
    int minInt = 0;
    bool grouped = false;
    int minFrac = 0;
    int maxFrac = 0;

    static MaskFormat parse(const QString& mask);
    // The value rounded half away from zero as the mask shows it; empty for inf and nan.
    QString apply(double value, QChar separator) const;
    // The same for a plain decimal text ("-12.345", "0.5", "120"), rounded exactly on its own
    // digits; empty when the text is not such a number.
    QString applyDecimal(const QString& text, QChar separator) const;

private:
    QString applyDigits(bool negative, const std::string& digits, int intLen, QChar separator) const;
};
