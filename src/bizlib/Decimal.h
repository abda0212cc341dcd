#pragma once

#include <QMetaType>
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace bizlib {

// Exact fixed-point number: an integer count of 10^-scale units.
// Values of DECIMAL(d,p) fields (d <= 18) fit; arithmetic widens to 128 bits and rounds
// half away from zero when a result is brought to a smaller scale. No binary floating
// point is used anywhere on the way from text to database and back.
class Decimal
{
public:
    Decimal() = default;
    Decimal(qint64 units, int scale);
    static Decimal fromInt(qint64 value) { return Decimal(value, 0); }

    // Parses "123", "-1.5", "+0.25", " 7.10 "; nullopt for anything else (including exponents).
    static std::optional<Decimal> parse(const QString &text);
    // Like parse(), but an empty or malformed text gives zero (the record layer's reading rule).
    static Decimal fromString(const QString &text);

    qint64 units() const { return m_units; }
    int scale() const { return m_scale; }
    bool isZero() const { return m_units == 0; }

    // Same value at another scale; rounding half away from zero when the scale shrinks.
    Decimal rescaled(int scale) const;
    // True when the value has at most `digits` digits in all at the given number of places.
    bool fits(int digits, int places) const;

    // Plain text with exactly scale() decimals ("12.50", "-0.0001", "7").
    QString toString() const;
    // Text with the given number of decimals (rounded).
    QString toString(int places) const { return rescaled(places).toString(); }
    // Whole part, truncated toward zero.
    qint64 toInteger() const;

    Decimal operator+(const Decimal &o) const;
    Decimal operator-(const Decimal &o) const;
    Decimal operator-() const { return Decimal(-m_units, m_scale); }
    // Product at the sum of both scales, capped at 18 places.
    Decimal operator*(const Decimal &o) const;
    // Quotient rounded to `scale` places; division by zero gives zero.
    Decimal divided(const Decimal &o, int scale) const;

    std::strong_ordering operator<=>(const Decimal &o) const;
    bool operator==(const Decimal &o) const { return (*this <=> o) == std::strong_ordering::equal; }

private:
    qint64 m_units = 0;
    int m_scale = 0;
};

} // namespace bizlib

Q_DECLARE_METATYPE(bizlib::Decimal)
