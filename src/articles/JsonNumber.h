#pragma once

#include "platform/core/Variant.h"

#include <QStringView>

#include <optional>

namespace estaciones {

// The value of the characters of a JSON number, kept exact where the runtime's
// Decimal can hold it: a whole number written without point or exponent that
// fits 64 bits is an Integer; any other number of up to DecimalDigits
// significant digits is a Decimal with the scale written ("1.50" keeps two
// decimals); beyond that, a Double. Nothing when the characters make no number
// or it lies outside the Double's range.
inline constexpr int JsonDecimalDigits = 28;
std::optional<Variant> jsonNumber(QStringView text);

} // namespace estaciones
