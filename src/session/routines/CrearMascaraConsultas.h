#pragma once

#include <QByteArray>
#include <QString>

namespace estaciones::session {

// One record of the lookup mask file (1202 bytes, Windows-1252): display name
// (100), table or view (100), "|"-framed column list (500), filter without
// WHERE (500), CR LF. Fields are left-aligned, padded with blanks and cut to
// their width; the table is padded as it is, the others trimmed first.
inline constexpr qsizetype largoRegistroMascara = 1202;
QByteArray registroMascara(const QString& nombre, const QString& tabla, const QString& columnas,
                           const QString& filtro);

// Appends the eleven default lookup records to the mask file `ruta` (created
// when missing), after its last record. Errors are not reported.
void CrearMascaraConsultas(const QString& ruta);

// Where the program keeps its mask file: `carpetaPrograma` + "consultas.tsf",
// or the per-user data folder when the program folder is not writable.
QString rutaMascaraConsultas(const QString& carpetaPrograma);

// Start-up's step for the mask file: writes it with the default records when
// it does not exist yet.
void prepararMascaraConsultas(const QString& carpetaPrograma);

} // namespace estaciones::session
