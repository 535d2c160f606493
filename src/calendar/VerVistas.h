#pragma once

#include "session/EjecutorScripts.h"

#include <QString>

namespace estaciones::calendar {

// The calendar's SQL script runner: runs the script file `Archivo` on the
// main connection with the suite's rules (letter case ignored; errors before
// the batches run go to the library's error dialog as "Ejecutar"). Only the
// batches that contain `Solo` run when it is not empty. `PermiteDrop` lets
// destructive lines pass; it becomes true when the operator types the key.
session::ResultadoScript VerVistas(const QString& Archivo, const QString& Solo, bool& PermiteDrop);

} // namespace estaciones::calendar
