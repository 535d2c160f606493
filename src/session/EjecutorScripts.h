#pragma once

#include "platform/core/ErrorHandling.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace estaciones::session {

// What the two script runners of the program (the calendar's VerVistas and
// the statistics provisioning's EjecutarScriptCreacion) do differently.
struct ReglasScript {
    // VerVistas ignores letter case in separators, markers, placeholders and
    // the unlock key; the provisioning runner compares them exactly.
    Qt::CaseSensitivity mayusculas = Qt::CaseInsensitive;
    // Lines that drop or truncate without asking for the key.
    QStringList exentasDeClave;
    // No closing message and no log opened for the operator.
    bool sinAvisoFinal = false;
    // Errors before the batches start running (the script or the log cannot
    // be opened): 4 retries the step, 5 skips it, anything else leaves.
    ErrorHandler errorPreparacion;
};

// What a run did, for callers and tests.
struct ResultadoScript {
    bool abortado = false;    // the unlock key was refused: nothing ran
    bool huboErrores = false; // something was logged
    QString archivoRegistro;  // the log path ("" when it could not be set up)
    int pasadas = 0;          // passes over the batches
    int lotes = 0;            // the batches the file holds (LotesScript reads them)
};

// The log file of a run starting now: "Script" + h + m + s + ".TXT" in the
// temporary folder ("TEMP", else the library's fallback).
QString archivoRegistroScript();

// Runs the script file `archivo` on the main data access object, its batches
// as LotesScript reads them (the file is read again at every pass): the key
// prompt for destructive lines (unless `permiteDrop`; set to true when the
// operator types the key), placeholders, the account-view rewrite, up to 20
// passes while objects are missing (208), errors logged except the "already
// exists"/"does not exist yet" numbers, and the final notice. Only batches
// that contain `solo` run when it is not empty. Pending window events run
// after every line and batch.
ResultadoScript ejecutarScript(const QString& archivo, const QString& solo, bool& permiteDrop,
                               const ReglasScript& reglas);

// The native numbers never logged: 208, 1779, 1781, 1913, 2714, 2729.
bool esErrorNoRegistrado(std::int32_t nativo);

// The placeholders <DATE>, <NOW>, <DATE+YEAR>, <DATE-YEAR>, <DATABASE>
// replaced in `lote`, in that order.
QString reemplazarMacros(const QString& lote, Qt::CaseSensitivity mayusculas);

} // namespace estaciones::session
