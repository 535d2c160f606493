#pragma once

#include <QString>

namespace estaciones::articulos {

// Article codes are stored right-aligned in 25 characters when they are
// numbers ("12" is 23 blanks and "12"); other codes are kept as typed, without
// surrounding blanks. This is the form every IDARTICULO comparison uses.
inline constexpr int LargoCodigoArticulo = 25;
QString codigoArticulo(const QString& codigo);

// Whether the trimmed text is a plain decimal number: an optional sign,
// digits, and at most one "." or "," followed by digits.
bool esNumerico(const QString& texto);

// Whether the text is made of decimal digits only (and is not empty).
bool soloDigitos(const QString& texto);

} // namespace estaciones::articulos
