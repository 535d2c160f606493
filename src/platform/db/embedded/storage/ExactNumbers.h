#pragma once

#include "platform/core/Decimal.h"
#include "platform/db/embedded/storage/SqlValue.h"

#include <cstdint>
#include <optional>

namespace estaciones::db::tsql {

// Money and decimal values as SQLite carries them between the file, the
// functions and the rows read back. A double holds every number of up to 15
// significant digits so that its shortest digits give the number back, so
// those travel as reals (whole decimals of scale 0 as integers) and keep
// SQLite's own arithmetic, comparisons and indexes; a number with more digits
// (money beyond 99,999,999,999.9999, decimal(38,s)) travels as its exact
// text, which the functions and the reading of rows take digit by digit.
// A database file keeps money and decimal values as doubles too, so a column
// refuses a value of more digits instead of keeping it rounded (its store
// trigger, StoredColumns.h, sees the text: the column has no affinity).

// The exact number a value carries, at the scale it has: an integer as it
// is, a real by its shortest digits (0.1 is 0.1), a text that is a decimal
// literal. Nothing for other values or beyond 38 digits.
std::optional<Decimal> exactNumber(const SqlValue& value);

// Below this magnitude a double holds money's ten-thousandths (15 digits).
inline constexpr double moneyWithinDouble = 1e11;
// Such a double in whole ten-thousandths, rounded half away from zero.
inline std::int64_t tenThousandthsWithinDouble(double value) {
    const double scaled = value * 10000.0;
    return static_cast<std::int64_t>(scaled + (scaled < 0 ? -0.5 : 0.5));
}

// How `value` travels: an integer when it has no decimals and fits 64 bits,
// a real when a double gives it back, else its text.
SqlValue carriedNumber(const Decimal& value, bool wholeAsInteger);

// Whether a decimal literal (digits, a point, no exponent) has more
// significant digits than a double keeps.
bool isWiderThanDouble(const QString& literal);

// money (64 bits of ten-thousandths) or smallmoney (32 bits) from an exact
// number: rounded to four decimals, 8115 when it does not fit.
Decimal moneyValue(const Decimal& value, bool small);

// decimal(precision, scale) from an exact number: rounded to the scale, 8115
// ("converting <sourceType> to data type numeric") when it does not fit.
Decimal decimalValue(const Decimal& value, int precision, int scale, const QString& sourceType);

// The money or decimal type a computed value is kept in.
struct ExactType {
    enum class Kind { Money, SmallMoney, Decimal };
    Kind kind = Kind::Decimal;
    int precision = 18;
    int scale = 0;

    // "money", "smallmoney", "decimal(p,s)", "numeric(p)", any case; nothing
    // for other types.
    static std::optional<ExactType> parse(QStringView declaration);
    // `value` rounded to the scale, half away from zero; 8115 ("converting
    // expression to data type money / numeric") when it does not fit.
    Decimal fitted(const Decimal& value) const;
    // As the server names it in its messages: money, smallmoney, numeric.
    QString name() const;
    // How such a value travels (carriedNumber): a whole decimal as an integer.
    SqlValue carried(const Decimal& value) const;
};

} // namespace estaciones::db::tsql
