#include "platform/db/embedded/storage/ExactNumbers.h"

#include "platform/db/embedded/storage/NumericErrors.h"

#include <QLocale>

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

bool fitsInt64(Decimal::Coefficient coefficient) {
    return coefficient >= std::numeric_limits<qint64>::min() &&
           coefficient <= std::numeric_limits<qint64>::max();
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
        if (const auto shortest =
                Decimal::parse(QString::number(value.real, 'g', QLocale::FloatingPointShortest)))
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
        throw ConversionError(8115, QStringLiteral("Arithmetic overflow error converting %1 to "
                                                   "data type numeric.")
                                        .arg(sourceType));
    return *rounded;
}

} // namespace estaciones::db::tsql
