#include "session/ConexionEstadisticas.h"

#include "platform/core/ErrorHandling.h"

#include <memory>

namespace estaciones::session {

namespace {
std::unique_ptr<data::DB_Dll>& instancia() {
    static std::unique_ptr<data::DB_Dll> db;
    return db;
}
} // namespace

data::DB_Dll& gDBEstadisticas() {
    if (!instancia()) {
        instancia() = std::make_unique<data::DB_Dll>();
    }
    return *instancia();
}

void liberarConexionEstadisticas() {
    if (instancia()) {
        ignoringErrors([] {
            if (instancia()->gCnn.state() != db::adStateClosed) {
                instancia()->gCnn.close();
            }
        });
        instancia().reset();
    }
}

} // namespace estaciones::session
