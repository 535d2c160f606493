#pragma once

#include <QString>

namespace estaciones::articulos {

// What the registration window collects.
struct DatosAltaArticulo {
    QString codigoBarra;
    QString descripcion;
    QString precio;  // as typed: "12,5" and "12.5" are both accepted
    QString idLista; // price list for the price row; empty: no price row
};

// Registers a new article on the shared connection and returns its number
// (the code without leading blanks), or "" when nothing was registered.
//
// Asks before registering a barcode that another article already has; needs
// the configuration value "ClasePrecioVenta". The new code is the highest
// right-aligned numeric code + 1, right-aligned in 25 characters, checked
// with the article lookup by code (when that finds it as another article's
// barcode, the operator is told which and decides). Success is judged by
// the connection's Errors, never by a row count. The article
// row and its price row are written in one transaction: a failure shows the
// database's message and writes neither. With a price list, the barcode and
// description are then reported to the master service; a failure there is
// shown but keeps the article. Operator texts reach the statements with
// apostrophes doubled.
QString registrarArticulo(const DatosAltaArticulo& datos);

// The number the next right-aligned numeric article code gets (1 for the
// first article).
qint64 proximoNumeroArticulo();

} // namespace estaciones::articulos
