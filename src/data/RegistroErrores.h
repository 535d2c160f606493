#pragma once

#include <QDateTime>
#include <QString>

namespace estaciones::data {

// The word the error log writes for a message box answer: "Reintentar" (4),
// "Ignorar" (5), "Abortar" (3), "Cancelar" (2), "Sí" (6), "No" (7); empty for
// any other answer (OK among them).
QString palabraRespuesta(int respuesta);

// One line of the data layer's error log (without its line end):
// "12-08-2026 18:50:07 Rutina: - AbrirRecordset Mensaje <message> Respondió : Reintentar".
// `parteRutina` is " - " + routine, or empty; it is written trimmed, so a
// line without routine has two blanks between "Rutina:" and "Mensaje".
QString lineaRegistroErrores(const QDateTime& momento, const QString& parteRutina,
                             const QString& mensaje, int respuesta);

// Appends `linea` and CR LF to `archivo` in Windows-1252, the code page of
// the log the suite's Windows programs share. False when it cannot be written.
bool agregarLineaRegistro(const QString& archivo, const QString& linea);

} // namespace estaciones::data
