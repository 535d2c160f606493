#pragma once

#include "session/EjecutorScripts.h"

#include <QString>

namespace estaciones::session::estadisticas {

// Runs a creation script on the main data access object with the script
// runner's rules for provisioning: exact letter case in separators, markers
// and the unlock key; the suite's own TRUNCATE/DROP lines need no key; no
// closing notice or log opened when gParametroAdicional is "Automatica";
// errors before the run go to MostrarError ("Ejecutar"). Only batches that
// contain `filtro` run when it is not empty. `autorizado` becomes true when
// the operator types the unlock key. No progress is drawn: this program has
// no window for it.
ResultadoScript EjecutarScriptCreacion(const QString& archivo, const QString& filtro,
                                       bool& autorizado);

// The runner's rules above, for callers and tests.
ReglasScript reglasScriptCreacion();

} // namespace estaciones::session::estadisticas
