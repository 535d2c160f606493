#pragma once

#include <QString>

namespace estaciones::db::tsql {

// float and real as the server keeps and writes them. A real is four bytes
// (float(1) to float(24)): the engine carries it as the double of its single
// precision value, so that every later step (arithmetic, CAST to float, the
// file) sees the value the server keeps.

// `value` rounded to single precision; 232 when it is beyond real's range
// (3.40E+38).
double singlePrecision(double value);

// A float or real as CAST and CONVERT write it in `style`: 0 (the default,
// and every style the server reads as 0) at most 6 significant digits,
// scientific when the exponent is below -4 or from 6 on; 1 always 8 digits
// and 2 always 16, both scientific; 3 the 17 digits that give the value back,
// scientific from an exponent of 17 on. Exponents carry their sign and three
// digits at least (1e+006). 126, 128 and 129, kept by the server for old
// programs, are refused as not supported.
QString floatText(double value, int style = 0);

// 232: a float or real does not fit `typeName` (a character type too short
// for its text, an integer type); the value is written with six decimals.
[[noreturn]] void failFloatOverflow(const QString& typeName, double value);

} // namespace estaciones::db::tsql
