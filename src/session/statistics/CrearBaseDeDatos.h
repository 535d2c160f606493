#pragma once

#include <QString>

namespace estaciones::session::estadisticas {

// Creates database `nombre` on `servidor` with its login and roles: writes
// "CDB7.SQL" in the temporary folder and runs it on the main connection, then
// opens the statistics connection on the new database and runs the shipped
// "completotse.sql" of the program folder. Without that file the operator is
// told where it was looked for and nothing is created. False when it failed
// before the statistics connection could be opened. Errors other than 3704 go
// to MostrarError (retry, skip, or leave).
bool CrearBaseDeDatos(const QString& servidor, const QString& nombre);

// Where CrearBaseDeDatos looks for the creation script: the program folder
// (gCarpetaPrograma once the start-up has set it) + "completotse.sql".
QString rutaScriptCompleto();

} // namespace estaciones::session::estadisticas
