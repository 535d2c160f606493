#pragma once

#include <QString>

namespace estaciones::data {

// The numeric value of a text as the suite's code reads it (VB's Val): the
// number at the start of the text, blanks anywhere ignored, "." as decimal
// mark, an optional exponent, "&H"/"&O" prefixes for hexadecimal and octal;
// reading stops at the first character that cannot continue the number, and
// a text that does not start with one is 0. "1" and " 1.0" are 1, "12abc" is
// 12, "True" is 0.
double valorNumerico(const QString& texto);

} // namespace estaciones::data
