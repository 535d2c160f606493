#pragma once

namespace estaciones::session {

// The session's end, when the main window unloads: the access log row gets
// its exit time, then the shared library objects and the shared DB_Dll are
// released. The statistics connection stays until the program ends.
void FinalizarSesion();

} // namespace estaciones::session
