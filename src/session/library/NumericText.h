#pragma once

#include "platform/core/Variant.h"

#include <QStringView>

#include <cstdint>
#include <optional>

namespace estaciones::library {

// The suite's numeric text conversions. Operators type numbers with a decimal
// comma, configuration values carry a decimal point or VB hexadecimal
// literals, so both readers are lenient about the form and strict about the
// value: what is not a number reads as nothing (the text helper turns that
// into 0, as the suite's library did).
//
// Decimal form: optional blanks, an optional sign, digits with "," and/or "."
// marks. With both marks present the last one is the decimal mark and the other
// groups thousands ("1.234,56", "1,234.56"); a single mark that appears once is
// the decimal mark ("12,7", "12.7"); a mark that repeats groups thousands
// ("1.234.567"). Grouped digits come in threes, so slips such as "1,,5" or
// "12.34.5" are not numbers. Rounding is half to even, as VB's CLng and CCur
// round.

// A 32-bit integer from decimal text or "&H" + 1 to 8 hex digits (+ optional
// "&"); hex digits are the 32 bits as they stand, so "&HFFFFFFFF&" is -1.
// Nothing for empty, malformed or out-of-range text.
std::optional<std::int32_t> parseInteger(QStringView text);

// A fixed-point number with four decimals (excess decimals rounded). Nothing
// for empty, malformed or out-of-range text.
std::optional<Currency> parseCurrency(QStringView text);

} // namespace estaciones::library
