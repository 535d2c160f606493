#include "lookup/ConsultasCompartidas.h"

#include "data/SharedDb.h"
#include "session/routines/CrearMascaraConsultas.h"

#include <memory>

namespace estaciones::lookup {

namespace {
std::unique_ptr<Lib_ClsCons3>& instancia() {
    static std::unique_ptr<Lib_ClsCons3> controlador;
    return controlador;
}
} // namespace

Lib_ClsCons3& consultas() {
    if (!instancia()) {
        instancia() = std::make_unique<Lib_ClsCons3>();
    }
    return *instancia();
}

void liberarConsultas() {
    instancia().reset();
}

void configurarConsultas(const QString& carpetaPrograma) {
    Lib_ClsCons3& controlador = consultas();
    controlador.gConnString = data::sharedDb().gConnString;
    controlador.gUsarMascarasConsultas = true;
    controlador.gRutaMascaraConsultas = session::rutaMascaraConsultas(carpetaPrograma);
    session::prepararMascaraConsultas(carpetaPrograma);
}

} // namespace estaciones::lookup
