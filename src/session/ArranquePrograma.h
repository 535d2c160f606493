#pragma once

#include "session/IniciarSesion.h"

#include <QStringList>

namespace estaciones::session {

// The program's start-up as main() runs it: the process arguments (after the
// program's name, joined with blanks) become the command line, then
// IniciarSesion runs as the calendar window does (no INI fallback, no
// connection string, client-side cursors). Tests call it in-process.
ResultadoInicio arrancarPrograma(const QStringList& argumentosConPrograma);

} // namespace estaciones::session
