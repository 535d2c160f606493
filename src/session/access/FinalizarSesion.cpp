#include "session/access/FinalizarSesion.h"

#include "data/SharedDb.h"
#include "platform/core/ErrorHandling.h"
#include "session/access/RegistrarAcceso.h"
#include "session/library/SharedObjects.h"

namespace estaciones::session {

void FinalizarSesion() {
    RegistrarEgreso();
    ignoringErrors([] { library::releaseSharedObjects(); });
    ignoringErrors([] { data::releaseSharedDb(); });
}

} // namespace estaciones::session
