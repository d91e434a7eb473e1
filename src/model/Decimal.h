#pragma once

#include <QChar>
#include <QString>
#include <QtGlobal>

#include <optional>

// A decimal number held exactly: a whole number of units of 10^-Scale(). Money,
// stocks and rates travel through it between texts and the register's whole
// numbers, so "2.675" stays 2.675 and never meets binary rounding.
class Decimal
{
public:
    // The most digits a number may have: units and scales up to this many
    // digits fit a signed 64-bit whole number.
    static constexpr int kMaxDigits = 18;

    Decimal() = default;
    Decimal(qint64 units, int scale);

    // A plain decimal number: blanks around it, an optional sign, digits with
    // at most one separator (at least one digit). Exponents, grouping and any
    // other character make it no number; so do more than kMaxDigits digits
    // (zeros before the first digit or after the last decimal do not count).
    // The decimals are kept as written: 1.50 has scale 2.
    static std::optional<Decimal> Parse(const QString& text, QChar separator);

    qint64 Units() const { return m_units; }
    int Scale() const { return m_scale; }
    bool IsNegative() const { return m_units < 0; }

    // Decimals without the zeros at the end: 1.50 has one.
    int SignificantDecimals() const;
    // The same number without the zeros at the end of its decimals.
    Decimal Trimmed() const;

    // The number as units of 10^-scale; nothing when digits would be lost or
    // the result does not fit 64 bits.
    std::optional<qint64> ExactUnits(int scale) const;

    // The units at the given scale rounded to the nearest, ties to the even
    // neighbour, as their lowest 32 bits in two's complement (what the
    // register's 32-bit fields keep of a larger number).
    quint32 RoundedLow32(int scale) const;

    // The number with its own decimals, at least minDecimals of them, written
    // with the given separator: 1.5 with 2 is "1.50", 1.230 with 2 is
    // "1.230", -0 is "0.00".
    QString Text(int minDecimals, QChar separator) const;

    friend bool operator==(const Decimal& left, const Decimal& right) { return left.Compare(right) == 0; }
    int Compare(const Decimal& other) const;

private:
    // Compare for scales at most kMaxDigits apart.
    int CompareNear(const Decimal& other) const;

    qint64 m_units = 0;
    int m_scale = 0;
};
