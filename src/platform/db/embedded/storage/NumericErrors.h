#pragma once

#include <QString>

namespace estaciones::db::tsql {

// The server's run-time errors of arithmetic and of conversions to numbers,
// thrown as ConversionError with its number and text.

// 8134.
[[noreturn]] void failDivideByZero();
// 8115: a result or a converted value does not fit `typeName` (int, bigint,
// money, numeric...).
[[noreturn]] void failOverflow(const QString& typeName);
// 8115 naming the converted value's type: "converting numeric to data type varchar".
[[noreturn]] void failConversionOverflow(const QString& fromType, const QString& typeName);
// 220: a whole number does not fit a tinyint or smallint.
[[noreturn]] void failSmallIntegerOverflow(const QString& typeName, const QString& value);
// 245: text that is no whole number, converted to an integer type.
[[noreturn]] void failIntegerConversion(const QString& text, const QString& typeName);
// 8114: text that is no number, converted to a decimal, money or float type.
[[noreturn]] void failNumberConversion(const QString& fromType, const QString& typeName);

// 40517 naming what this engine does not do (a conversion, an algorithm).
[[noreturn]] void failNotSupported(const QString& what);

// 40517: a money or decimal value of more significant digits than a database
// file keeps (a double's fifteen, FormatVersion.h), refused rather than kept rounded.
[[noreturn]] void failBeyondStoredDigits(const QString& typeName, const QString& value);

// Whether a whole number fits the integer type `typeName` (tinyint, smallint,
// int, bigint); throws 220 or 8115 as the server does when it does not.
void checkIntegerRange(qint64 value, const QString& typeName);

} // namespace estaciones::db::tsql
