#pragma once

#include <QString>

namespace estaciones::calendar {

// What "Crear Calendario" did, for the window and for tests.
struct ResultadoCreacion {
    bool scriptEjecutado = false; // TS_CREACALENDARIO.sql was run first
    bool creado = false;          // the procedure call left no error
};

// Creates the MA_CALENDARIO rows of the year `año` (a year the window
// validated) through ts_CreaCalendario (installing
// it first from "TS_CREACALENDARIO.sql" in the program folder when the
// database's "FECHAUPDATE" is not after "21/03/2006" in text order) and marks
// the year's Sundays as non-working. Tells the operator the outcome.
ResultadoCreacion CrearCalendario(int año);

// The cut-over rule: whether the installation script must run for this
// "FECHAUPDATE" value (a text comparison, not a date comparison).
bool requiereScriptCalendario(const QString& fechaUpdate);

} // namespace estaciones::calendar
