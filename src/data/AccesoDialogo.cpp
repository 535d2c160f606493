#include "data/AccesoDialogo.h"

#include <QDebug>

namespace estaciones::data {

namespace {

class AccesoSinInstalar : public AccesoDialogo {
public:
    std::optional<DatosAcceso> pedirDatos(const DatosAcceso&) override {
        qWarning("No access dialog installed: the access data request counts as cancelled");
        return std::nullopt;
    }
};

AccesoSinInstalar porDefecto;
AccesoDialogo* instalado = nullptr;

} // namespace

AccesoDialogo& accesoDialogo() {
    return instalado != nullptr ? *instalado : porDefecto;
}

AccesoDialogo* setAccesoDialogo(AccesoDialogo* dialogo) {
    AccesoDialogo* anterior = instalado;
    instalado = dialogo;
    return anterior;
}

} // namespace estaciones::data
