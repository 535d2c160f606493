#pragma once

#include "platform/db/Recordset.h"
#include "session/routines/ArmarSentencia.h"

#include <QString>

#include <cstdint>

namespace estaciones::session {

// Runs the non-empty statements of `sentencias` as one transaction on the
// shared connection and commits it, or rolls it back when the server reported
// errors. On failure `hayError` is set, `numeroError` gets the first native
// number, `textoError` the errors one per line ("n : text" + CR LF; all but the
// server's closing one), the script goes to AUX_ERR and, with
// `mostrarMensaje`, the text is shown under "Aviso al Operador!". A duplicate
// key (2627, with `avisarDuplicado`) or a constraint conflict (547, with
// `avisarRelacion`) is the caller's to tell: `textoError` is then the
// server's description alone and nothing is shown. `script` receives the
// batch as run. The queue is left as it is. `resultado`, when given, receives
// the first result the batch returned (a value the batch read back, such as
// the identity of the row it inserted).
void GActualizarDatoScript(const ColaSentencias& sentencias, bool& hayError,
                           std::int32_t& numeroError, bool avisarDuplicado, bool avisarRelacion,
                           QString& script, QString& textoError, bool mostrarMensaje,
                           db::Recordset* resultado = nullptr);

} // namespace estaciones::session
