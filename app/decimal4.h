#pragma once
// An exact decimal with four places, for the prices and amounts the program computes
// itself (a norm price × 2 × 1.2 must not pick up binary fractions).
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// A plain decimal text split into its parts: blanks around it, an optional sign, digits, and
// after a point (or, when `comma` is set, a comma) more digits, at least one digit in all.
// Nullopt for any other text. The views point into `text`.
struct DecimalText {
    bool negative = false;
    QStringView whole;
    QStringView fraction;
    static std::optional<DecimalText> split(QStringView text, bool comma);
};

class Decimal4 {
public:
    Decimal4() = default;
    static Decimal4 fromUnits(qint64 units) { Decimal4 d; d.units_ = units; return d; }
    // Rounded half away from zero to four places; the value as the database sent it. Nullopt
    // for infinity, NaN and values of more than 14 whole digits.
    static std::optional<Decimal4> fromDouble(double value);
    // "12,5", "12.5", "-3", "0.12345"; a comma or a point separates decimals. Nullopt when
    // the text is not such a number.
    static std::optional<Decimal4> fromText(const QString& text);

    qint64 units() const { return units_; }  // ten-thousandths
    double toDouble() const { return double(units_) / 10000.0; }
    // Multiplied by numerator/denominator, rounded half away from zero to four places; nullopt
    // when the result does not fit (about ±922 trillion).
    std::optional<Decimal4> scaled(qint64 numerator, qint64 denominator) const;
    // Sums of money (a report's totals stay far below the limit).
    Decimal4 operator+(const Decimal4& other) const { return fromUnits(units_ + other.units_); }
    Decimal4& operator+=(const Decimal4& other) { units_ += other.units_; return *this; }
    std::optional<Decimal4> times(qint64 factor) const { return scaled(factor, 1); }
    std::optional<Decimal4> times(const Decimal4& other) const { return scaled(other.units_, 10000); }
    bool isNegative() const { return units_ < 0; }
    bool operator==(const Decimal4& other) const { return units_ == other.units_; }

    // With a point and no trailing zeros ("12.5", "8", "2.4").
    QString toString() const;
    // With a point and exactly `places` decimals (at most 4).
    QString toString(int places) const;
    // As toString(), with the locale's decimal separator: what a form shows ("12,5").
    QString toDisplayString() const;

private:
    qint64 units_ = 0;
};

// The unit price of an entry: the operation's lowest norm price, doubled on a day off,
// then × 1.2 in the third shift or × 1.5 in overtime (shift 4). Nullopt when it does not fit.
std::optional<Decimal4> entryPrice(Decimal4 lowestNormPrice, bool dayOff, int shiftNo);
