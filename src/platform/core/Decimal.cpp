#include "platform/core/Decimal.h"

#include <QLocale>

#include <boost/multiprecision/cpp_int.hpp>

#include <array>
#include <cmath>

namespace estaciones {

namespace {

using Coefficient = Decimal::Coefficient;
// Products of two coefficients need 256 bits; a dividend scaled for a
// quotient of 38 decimals needs more, hence 512.
using Wide = boost::multiprecision::int512_t;

constexpr std::array<Coefficient, Decimal::maxDigits + 1> powersOfTen = [] {
    std::array<Coefficient, Decimal::maxDigits + 1> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) {
        powers[i] = powers[i - 1] * 10;
    }
    return powers;
}();

const Coefficient limit = powersOfTen[Decimal::maxDigits]; // 10^38, the first that does not fit

Wide wide(Coefficient value) {
    // cpp_int has no __int128 constructor in Boost 1.74: build it from two halves.
    const bool negative = value < 0;
    const unsigned __int128 magnitude = negative ? static_cast<unsigned __int128>(-(value + 1)) + 1
                                                 : static_cast<unsigned __int128>(value);
    Wide result = static_cast<std::uint64_t>(magnitude >> 64);
    result <<= 64;
    result += static_cast<std::uint64_t>(magnitude);
    return negative ? Wide(-result) : result;
}

Wide widePowerOfTen(int exponent) {
    Wide result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= 10;
    }
    return result;
}

std::optional<Coefficient> narrow(const Wide& value) {
    if (value >= wide(limit) || value <= -wide(limit)) {
        return std::nullopt;
    }
    const bool negative = value < 0;
    const Wide magnitude = negative ? Wide(-value) : value;
    const auto high = static_cast<std::uint64_t>(magnitude >> 64);
    const auto low = static_cast<std::uint64_t>(magnitude & Wide(UINT64_MAX));
    const Coefficient result = (static_cast<Coefficient>(high) << 64) | low;
    return negative ? -result : result;
}

// numerator / denominator rounded half away from zero.
Wide roundedQuotient(const Wide& numerator, const Wide& denominator) {
    Wide quotient = numerator / denominator;
    const Wide rest = numerator % denominator;
    if (rest != 0 && abs(rest) * 2 >= abs(denominator)) {
        quotient += (numerator < 0) == (denominator < 0) ? 1 : -1;
    }
    return quotient;
}

// value * 10^(to - from) for to >= from, in wide arithmetic.
Wide scaledUp(Coefficient value, int from, int to) {
    return wide(value) * widePowerOfTen(to - from);
}

QString magnitudeDigits(Coefficient value) {
    unsigned __int128 magnitude = value < 0 ? static_cast<unsigned __int128>(-(value + 1)) + 1
                                            : static_cast<unsigned __int128>(value);
    if (magnitude == 0) {
        return QStringLiteral("0");
    }
    char buffer[40];
    int at = 40;
    while (magnitude != 0) {
        buffer[--at] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    }
    return QString::fromLatin1(buffer + at, 40 - at);
}

} // namespace

std::optional<Decimal> Decimal::fromCoefficient(Coefficient coefficient, int scale) {
    if (scale < 0 || scale > maxDigits || coefficient >= limit || coefficient <= -limit) {
        return std::nullopt;
    }
    return Decimal(coefficient, scale);
}

std::optional<Decimal> Decimal::parse(QStringView text) {
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    Coefficient coefficient = 0;
    int significant = 0;
    int fractionDigits = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (c < u'0' || c > u'9') {
            break;
        }
        anyDigit = true;
        if (afterPoint) {
            ++fractionDigits;
        }
        if (coefficient == 0 && c == u'0') {
            continue; // leading zeros are not digits of the coefficient
        }
        if (++significant > maxDigits) {
            return std::nullopt;
        }
        coefficient = coefficient * 10 + (c.unicode() - u'0');
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    int exponent = 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
            negativeExponent = text[i] == u'-';
            ++i;
        }
        const qsizetype digitsFrom = i;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            exponent = std::min(exponent * 10 + (text[i].unicode() - u'0'), 10000);
        }
        if (i == digitsFrom) {
            return std::nullopt;
        }
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    int scale = fractionDigits - exponent;
    if (scale < 0) {
        if (coefficient != 0 && significant - scale > maxDigits) {
            return std::nullopt;
        }
        coefficient = coefficient == 0 ? 0 : coefficient * powersOfTen[-scale];
        scale = 0;
    }
    if (scale > maxDigits) {
        return std::nullopt;
    }
    return Decimal(negative ? -coefficient : coefficient, scale);
}

std::optional<Decimal> Decimal::fromDouble(double value, int scale) {
    if (!std::isfinite(value) || scale < 0 || scale > maxDigits) {
        return std::nullopt;
    }
    // The shortest digits that read back as the same double, so that 0.1 is
    // 0.1 and not its binary expansion; then the server's rounding to the scale.
    const auto source = parse(QString::number(value, 'g', QLocale::FloatingPointShortest));
    if (!source) {
        return std::nullopt;
    }
    return source->rescaled(scale);
}

int Decimal::precision() const {
    Coefficient magnitude = m_coefficient < 0 ? -m_coefficient : m_coefficient;
    int digits = 1;
    while (digits < maxDigits && magnitude >= powersOfTen[digits]) {
        ++digits;
    }
    return std::max(digits, m_scale);
}

QString Decimal::toString() const {
    QString digits = magnitudeDigits(m_coefficient);
    if (m_scale > 0) {
        if (digits.size() <= m_scale) {
            digits.prepend(QString(m_scale - digits.size() + 1, QLatin1Char('0')));
        }
        digits.insert(digits.size() - m_scale, QLatin1Char('.'));
    }
    return m_coefficient < 0 ? QLatin1Char('-') + digits : digits;
}

double Decimal::toDouble() const {
    // Through the text, so that the conversion is correctly rounded.
    return toString().toDouble();
}

std::optional<std::int64_t> Decimal::truncatedToInt64() const {
    const Coefficient whole = m_coefficient / powersOfTen[m_scale];
    if (whole > INT64_MAX || whole < INT64_MIN) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(whole);
}

std::optional<Decimal> Decimal::rescaled(int scale) const {
    if (scale < 0 || scale > maxDigits) {
        return std::nullopt;
    }
    if (scale >= m_scale) {
        const auto coefficient = narrow(scaledUp(m_coefficient, m_scale, scale));
        return coefficient ? std::optional(Decimal(*coefficient, scale)) : std::nullopt;
    }
    const Wide quotient = roundedQuotient(wide(m_coefficient), widePowerOfTen(m_scale - scale));
    const auto coefficient = narrow(quotient);
    return coefficient ? std::optional(Decimal(*coefficient, scale)) : std::nullopt;
}

std::optional<Decimal> Decimal::truncated(int scale) const {
    if (scale < 0 || scale > maxDigits) {
        return std::nullopt;
    }
    if (scale >= m_scale) {
        return rescaled(scale);
    }
    return Decimal(m_coefficient / powersOfTen[m_scale - scale], scale);
}

Decimal Decimal::negated() const {
    return Decimal(-m_coefficient, m_scale);
}

std::optional<Decimal> Decimal::add(const Decimal& a, const Decimal& b) {
    const int scale = std::max(a.m_scale, b.m_scale);
    const auto sum = narrow(scaledUp(a.m_coefficient, a.m_scale, scale) +
                            scaledUp(b.m_coefficient, b.m_scale, scale));
    return sum ? std::optional(Decimal(*sum, scale)) : std::nullopt;
}

std::optional<Decimal> Decimal::subtract(const Decimal& a, const Decimal& b) {
    return add(a, b.negated());
}

std::optional<Decimal> Decimal::multiply(const Decimal& a, const Decimal& b) {
    const int scale = a.m_scale + b.m_scale;
    if (scale > maxDigits) {
        return std::nullopt;
    }
    const auto product = narrow(wide(a.m_coefficient) * wide(b.m_coefficient));
    return product ? std::optional(Decimal(*product, scale)) : std::nullopt;
}

std::optional<Decimal> Decimal::divide(const Decimal& a, const Decimal& b, int scale) {
    if (b.isZero() || scale < 0 || scale > maxDigits) {
        return std::nullopt;
    }
    // a.c / 10^as / (b.c / 10^bs) * 10^scale = a.c * 10^(scale + bs - as) / b.c
    const int exponent = scale + b.m_scale - a.m_scale;
    Wide numerator = wide(a.m_coefficient);
    Wide denominator = wide(b.m_coefficient);
    if (exponent >= 0) {
        numerator *= widePowerOfTen(exponent);
    } else {
        denominator *= widePowerOfTen(-exponent);
    }
    const auto quotient = narrow(roundedQuotient(numerator, denominator));
    return quotient ? std::optional(Decimal(*quotient, scale)) : std::nullopt;
}

std::optional<Decimal> Decimal::remainder(const Decimal& a, const Decimal& b) {
    if (b.isZero()) {
        return std::nullopt;
    }
    const int scale = std::max(a.m_scale, b.m_scale);
    const Wide left = scaledUp(a.m_coefficient, a.m_scale, scale);
    const Wide right = scaledUp(b.m_coefficient, b.m_scale, scale);
    const auto rest = narrow(left % right); // C++ % keeps the dividend's sign
    return rest ? std::optional(Decimal(*rest, scale)) : std::nullopt;
}

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
    if (a.m_scale == b.m_scale) {
        return a.m_coefficient <=> b.m_coefficient;
    }
    const int scale = std::max(a.m_scale, b.m_scale);
    const Wide left = scaledUp(a.m_coefficient, a.m_scale, scale);
    const Wide right = scaledUp(b.m_coefficient, b.m_scale, scale);
    return left < right   ? std::strong_ordering::less
           : left > right ? std::strong_ordering::greater
                          : std::strong_ordering::equal;
}

} // namespace estaciones
