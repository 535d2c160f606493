#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <cstdint>
#include <optional>

namespace estaciones {

// An exact decimal number: a whole coefficient of up to 38 digits and a scale
// (how many of them follow the point, 0 to 38), as SQL Server's decimal and
// numeric keep it. The scale is part of the value's form ("1.0000" stays
// "1.0000") but not of its value: 1.0 and 1.00 compare equal.
//
// Operations that would need more than 38 digits give nothing; callers turn
// that into their own overflow error.
class Decimal {
public:
    static constexpr int maxDigits = 38;
    using Coefficient = __int128;

    Decimal() = default;
    Decimal(std::int64_t value) : m_coefficient(value) {}

    // coefficient / 10^scale; nothing when the coefficient has more than 38
    // digits or the scale is outside 0..38.
    static std::optional<Decimal> fromCoefficient(Coefficient coefficient, int scale);
    // "12", "-0.50", "+.5", "3.", "1.25e2", "1E-3" (blanks around allowed). The
    // scale is the one written (an exponent moves the point: 1.25e2 is 125,
    // 1E-3 is 0.001); nothing for anything else or beyond 38 digits.
    static std::optional<Decimal> parse(QStringView text);
    // The double rounded to `scale` decimals, half away from zero; nothing for
    // infinities, NaN or values beyond 38 digits.
    static std::optional<Decimal> fromDouble(double value, int scale);

    Coefficient coefficient() const { return m_coefficient; }
    int scale() const { return m_scale; }
    // Digits of the coefficient (at least 1, and at least the scale).
    int precision() const;
    bool isZero() const { return m_coefficient == 0; }
    bool isNegative() const { return m_coefficient < 0; }

    // "." as the decimal mark, every digit of the scale kept, "0" before the
    // point: "1.0000", "-0.50", "12".
    QString toString() const;
    double toDouble() const;
    // The whole part, dropping the fraction toward zero; nothing beyond 64 bits.
    std::optional<std::int64_t> truncatedToInt64() const;

    // The same value with `scale` decimals, rounded half away from zero (the
    // server's rounding); nothing when it does not fit 38 digits.
    std::optional<Decimal> rescaled(int scale) const;
    // With `scale` decimals, the rest dropped toward zero.
    std::optional<Decimal> truncated(int scale) const;
    Decimal negated() const;

    // Exact sums, differences and products at the larger (sum) or summed
    // (product) scale; nothing when the result needs more than 38 digits.
    static std::optional<Decimal> add(const Decimal& a, const Decimal& b);
    static std::optional<Decimal> subtract(const Decimal& a, const Decimal& b);
    static std::optional<Decimal> multiply(const Decimal& a, const Decimal& b);
    // a / b with `scale` decimals, rounded half away from zero; nothing when b
    // is zero or the quotient does not fit 38 digits.
    static std::optional<Decimal> divide(const Decimal& a, const Decimal& b, int scale);
    // The remainder of a / b with the sign of a (SQL Server's %); nothing when b is zero.
    static std::optional<Decimal> remainder(const Decimal& a, const Decimal& b);

    // By value, whatever the scales.
    friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);
    friend bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }

private:
    Decimal(Coefficient coefficient, int scale) : m_coefficient(coefficient), m_scale(scale) {}

    Coefficient m_coefficient = 0;
    int m_scale = 0;
};

} // namespace estaciones
