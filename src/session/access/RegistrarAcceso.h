#pragma once

#include <QString>

#include <cstdint>

namespace estaciones::session {

// The Id of this program's row of Control_Acceso; 0 while none was written.
inline std::int32_t gIdControlAcceso = 0;

// Writes this program's access log row: machine, user, program (after the
// naming rules of NombresProgramas.h; empty `formulario` means the program's
// own executable name), the menu task through which the user reached it and
// the entry time "dd/mm/yy hh:mm". Keeps the row's Id in gIdControlAcceso.
// Errors are ignored step by step; a failed insertion is shown and recorded
// by GActualizarDatoScript.
void RegistrarAcceso(const QString& formulario);

// Writes the exit time into the row of gIdControlAcceso while it has none.
// An error is shown to the operator and the row stays open.
void RegistrarEgreso();

// The access log's "dd/mm/yy hh:mm" of now.
QString momentoRegistro();

} // namespace estaciones::session
