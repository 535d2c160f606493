#pragma once

#include <QString>

#include <cstdint>

namespace estaciones::session {

// The session's command line as the suite's programs read it, handed to a
// program started from this one: server, database, user and password of the
// shared DB_Dll, `parametroAdicional`, the launch token, the logged user and
// the till, each field ended by ";".
QString colaComandoSesion(const QString& parametroAdicional);

// Starts another program of the suite with the session's command line.
// `programa` is a path, started as it is, or a name in the program folder;
// either may carry a leading "SHELL:" (any case), which is cut. `proceso` receives the process id;
// 0 (it could not start) tells the operator "Opcion no Implementada!". Unexpected errors go to
// MostrarError.
void MenuExes(const QString& programa, const QString& parametroAdicional, std::int32_t& proceso);

} // namespace estaciones::session
