#pragma once

#include <QString>

namespace estaciones::session {

// True when `ruta` can be opened for reading (a folder cannot).
bool ExisteArchivo(const QString& ruta);

// Opens `ruta` with the program the desktop associates with it: shown
// (minimised start, style 6) when `mostrar`, hidden (style 0) otherwise.
// Failures are not reported.
void AbrirArchivo(const QString& ruta, bool mostrar);

} // namespace estaciones::session
