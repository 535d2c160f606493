#pragma once

#include <QString>

namespace estaciones::data {

// Whether running `sentencia` may have changed data or the database: true for
// anything but a plain query (a text that starts with SELECT or WITH and
// names none of the words that write, call or open a transaction, nor INTO,
// outside literals, quoted names and comments). When the link is lost while
// such a text runs, nobody knows whether it was applied, so it must not run
// again unasked. An empty text changes nothing.
bool puedeModificarDatos(const QString& sentencia);

} // namespace estaciones::data
