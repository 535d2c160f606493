#pragma once

#include "platform/db/Field.h"

// How much a search box may hold: what its column can hold, so that a pasted
// text never grows the search statement beyond anything the column can match.
namespace estaciones::lookup {

// A text column's own length; other columns show no value longer than
// LargoValorNoTexto characters (a number, a date, a code).
int largoBusqueda(const db::Field& campo);

inline constexpr int LargoValorNoTexto = 40;

} // namespace estaciones::lookup
