#pragma once

#include "session/access/BarraEstado.h"

#include <QString>

namespace estaciones::session {

// Fills a window's status bar with the session: the message, "Srv: ",
// "Uid: ", "Db: ", the till with its description and "V." + the program's
// version. A bar filled before gets only the new message. The till of the
// session (gCaja, "1" when empty) is registered in the till table as
// "CAJA " + number when the table lacks it. Every step runs with errors
// ignored: a missing panel or a failed statement skips that step only.
void ArmarBarraEstado(BarraEstado& barra, const QString& mensaje);

// "V." + major.minor.revision of the build.
QString textoVersion();

} // namespace estaciones::session
