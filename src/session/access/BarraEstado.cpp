#include "session/access/BarraEstado.h"

namespace estaciones::session {

Error panelInexistente(const QString& clave) {
    return Error(errorPanelInexistente, QStringLiteral("Element not found: ") + clave);
}

} // namespace estaciones::session
