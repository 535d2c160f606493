#pragma once

#include "data/AccesoDialogo.h"

#include <deque>
#include <functional>
#include <vector>

namespace estaciones::data {

// The access dialog of the tests: records what it was shown and answers from
// a queue (an answer of nothing is a cancel). A request with no queued answer
// goes to the failure callback and counts as cancelled.
class ScriptedAccesoDialogo : public AccesoDialogo {
public:
    ScriptedAccesoDialogo& aceptar(DatosAcceso datos);
    ScriptedAccesoDialogo& cancelar();

    const std::vector<DatosAcceso>& mostrados() const { return m_mostrados; }
    bool respuestasAgotadas() const { return m_respuestas.empty(); }
    void setFailureHandler(std::function<void(const QString&)> handler);

    std::optional<DatosAcceso> pedirDatos(const DatosAcceso& datos) override;

private:
    struct Respuesta {
        bool aceptar = false;
        DatosAcceso datos;
    };
    std::deque<Respuesta> m_respuestas;
    std::vector<DatosAcceso> m_mostrados;
    std::function<void(const QString&)> m_failure;
};

} // namespace estaciones::data
