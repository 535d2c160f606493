#pragma once

#include <QString>

namespace estaciones::session {

// The help pages installed with the program, in its "ayuda" folder: the
// operator's page (the session's gArchivoAyuda, which start-up sets) and the
// administration guide beside it.
QString archivoAyudaOperador();
QString archivoGuiaAdministracion();

// Where start-up puts the operator's page for a program folder ending in "/".
QString archivoAyudaEn(const QString& carpetaPrograma);

// Opens `archivo` in the system's browser or viewer. A missing file, or a
// desktop that opens nothing, is told to the operator; false then.
bool AbrirAyuda(const QString& archivo);

} // namespace estaciones::session
