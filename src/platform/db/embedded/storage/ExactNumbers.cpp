#include "platform/db/embedded/storage/ExactNumbers.h"

#include "platform/db/embedded/storage/NumericErrors.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>

namespace estaciones::db::tsql {

namespace {

// The digits a double gives back exactly, whatever the number's magnitude.
constexpr int doubleDigits = 15;

// Significant digits of a coefficient, its trailing zeros not counted.
int significantDigits(Decimal::Coefficient coefficient) {
    if (coefficient < 0)
        coefficient = -coefficient;
    while (coefficient != 0 && coefficient % 10 == 0)
        coefficient /= 10;
    int digits = 0;
    for (; coefficient != 0; coefficient /= 10)
        ++digits;
    return digits;
}

// Above it ten times a coefficient has more than 38 digits.
constexpr Decimal::Coefficient maxCoefficientForTimesTen =
    (static_cast<Decimal::Coefficient>(10000000000000000000ULL) * 10000000000000000000ULL - 1) /
    10;

bool fitsInt64(Decimal::Coefficient coefficient) {
    return coefficient >= std::numeric_limits<qint64>::min() &&
           coefficient <= std::numeric_limits<qint64>::max();
}

// The shortest digits that read back as the same double (0.1 is 0.1), as a
// decimal; written without allocating, as it runs once per row of a total.
std::optional<Decimal> shortestDecimal(double value) {
    char buffer[40];
    const auto [end, failure] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (failure != std::errc())
        return std::nullopt;
    const char* at = buffer;
    const bool negative = *at == '-';
    if (negative)
        ++at;
    Decimal::Coefficient coefficient = 0;
    int scale = 0;
    bool fraction = false;
    for (; at < end && *at != 'e'; ++at) {
        if (*at == '.') {
            fraction = true;
            continue;
        }
        coefficient = coefficient * 10 + (*at - '0'); // 17 digits at most
        scale += fraction ? 1 : 0;
    }
    if (at < end) {
        int exponent = 0;
        std::from_chars(at + 1 + (at[1] == '+' ? 1 : 0), end, exponent);
        scale -= exponent;
    }
    for (; scale < 0; ++scale) {
        if (coefficient > maxCoefficientForTimesTen)
            return std::nullopt;
        coefficient *= 10;
    }
    return Decimal::fromCoefficient(negative ? -coefficient : coefficient, scale);
}

} // namespace

std::optional<Decimal> exactNumber(const SqlValue& value) {
    switch (value.kind) {
    case SqlValue::Kind::Integer:
        return Decimal(static_cast<std::int64_t>(value.integer));
    case SqlValue::Kind::Real: {
        if (!std::isfinite(value.real))
            return std::nullopt;
        // The shortest digits that read back as the same double (0.1 is 0.1);
        // a number too small for them at 38 decimals by its first 38.
        if (const auto shortest = shortestDecimal(value.real))
            return shortest;
        if (std::fabs(value.real) < 1)
            return Decimal::parse(QString::number(value.real, 'f', Decimal::maxDigits));
        return std::nullopt;
    }
    case SqlValue::Kind::Text:
        return Decimal::parse(value.text);
    default:
        return std::nullopt;
    }
}

SqlValue carriedNumber(const Decimal& value, bool wholeAsInteger) {
    if (wholeAsInteger && value.scale() == 0 && fitsInt64(value.coefficient()))
        return SqlValue::of(static_cast<qint64>(value.coefficient()));
    if (significantDigits(value.coefficient()) <= doubleDigits)
        return SqlValue::of(value.toDouble());
    return SqlValue::of(value.toString());
}

bool isWiderThanDouble(const QString& literal) {
    int digits = 0;
    bool leading = true;
    for (const QChar c : literal) {
        if (c == u'e' || c == u'E')
            return false;
        if (!c.isDigit() || (leading && c == u'0'))
            continue;
        leading = false;
        ++digits;
    }
    return digits > doubleDigits;
}

Decimal moneyValue(const Decimal& value, bool small) {
    const auto money = value.rescaled(4);
    const Decimal::Coefficient lowest =
        small ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint64>::min();
    const Decimal::Coefficient highest =
        small ? std::numeric_limits<qint32>::max() : std::numeric_limits<qint64>::max();
    if (!money || money->coefficient() < lowest || money->coefficient() > highest)
        failOverflow(small ? QStringLiteral("smallmoney") : QStringLiteral("money"));
    return *money;
}

Decimal decimalValue(const Decimal& value, int precision, int scale, const QString& sourceType) {
    const auto rounded = value.rescaled(scale);
    if (!rounded || rounded->precision() > precision)
        failConversionOverflow(sourceType, QStringLiteral("numeric"));
    return *rounded;
}

namespace {

// Digits from `at` as a number within 0..99; nothing when there are none.
std::optional<int> smallNumberAt(QStringView text, qsizetype& at) {
    int value = 0;
    const qsizetype start = at;
    while (at < text.size() && text[at].isDigit() && at - start < 3)
        value = value * 10 + text[at++].digitValue();
    return at > start ? std::optional<int>(value) : std::nullopt;
}

void skipBlanks(QStringView text, qsizetype& at) {
    while (at < text.size() && text[at].isSpace())
        ++at;
}

} // namespace

std::optional<ExactType> ExactType::parse(QStringView declaration) {
    const QStringView text = declaration.trimmed();
    if (text.compare(u"money", Qt::CaseInsensitive) == 0)
        return ExactType{Kind::Money, 19, 4};
    if (text.compare(u"smallmoney", Qt::CaseInsensitive) == 0)
        return ExactType{Kind::SmallMoney, 10, 4};
    qsizetype at = 0;
    while (at < text.size() && text[at].isLetter())
        ++at;
    const QStringView name = text.left(at);
    if (name.compare(u"decimal", Qt::CaseInsensitive) != 0 &&
        name.compare(u"numeric", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    ExactType type;
    skipBlanks(text, at);
    if (at == text.size())
        return type;
    if (text[at] != u'(')
        return std::nullopt;
    ++at;
    skipBlanks(text, at);
    const auto precision = smallNumberAt(text, at);
    skipBlanks(text, at);
    std::optional<int> scale = 0;
    if (at < text.size() && text[at] == u',') {
        ++at;
        skipBlanks(text, at);
        scale = smallNumberAt(text, at);
        skipBlanks(text, at);
    }
    if (!precision || !scale || at + 1 != text.size() || text[at] != u')' || *precision < 1 ||
        *precision > Decimal::maxDigits || *scale > *precision)
        return std::nullopt;
    type.precision = *precision;
    type.scale = *scale;
    return type;
}

QString ExactType::name() const {
    switch (kind) {
    case Kind::Money:
        return QStringLiteral("money");
    case Kind::SmallMoney:
        return QStringLiteral("smallmoney");
    case Kind::Decimal:
        break;
    }
    return QStringLiteral("numeric");
}

Decimal ExactType::fitted(const Decimal& value) const {
    if (kind != Kind::Decimal)
        return moneyValue(value, kind == Kind::SmallMoney);
    const auto rounded = value.rescaled(scale);
    if (!rounded || rounded->precision() > precision)
        failOverflow(name());
    return *rounded;
}

SqlValue ExactType::carried(const Decimal& value) const {
    return carriedNumber(value, kind == Kind::Decimal && scale == 0);
}

} // namespace estaciones::db::tsql
