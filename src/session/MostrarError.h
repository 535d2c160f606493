#pragma once

#include "platform/core/Error.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace estaciones::session {

// The suite's general error dialog: shows the error with Abort/Retry/Ignore
// (or `botones`), appends a line to "TSERR.LOG" in the temporary folder and
// returns the pressed button (4 retry, 5 ignore, ...); 0 for error number 0,
// without dialog or log line. Never throws.
int MostrarError(const Error& errorObj, std::optional<int> botones = std::nullopt,
                 std::optional<QString> rutina = std::nullopt);
inline int MostrarError(const Error& errorObj, const QString& rutina) {
    return MostrarError(errorObj, std::nullopt, rutina);
}

// The log file MostrarError appends to.
QString archivoRegistroErrores();

// Records a failed statement script as a row of AUX_ERR (errors ignored).
void RegistrarErrorAux(const QString& sentencia, const QString& proceso, std::int32_t numeroError,
                       const QString& descripcion);

// The suite's date and time patterns, in its own notation (VB's: "mm" is the
// month in a date and the minutes after "hh").
QString FormatoFechaHora();
QString FormatoFecha();
QString FormatoHora();

// One of the suite's patterns as a Qt date/time format ("dd/mm/yy hh:mm"
// becomes "dd/MM/yy HH:mm").
QString formatoQt(const QString& patronVb);

} // namespace estaciones::session
