#include "data/ScriptedAccesoDialogo.h"

#include <QDebug>

namespace estaciones::data {

ScriptedAccesoDialogo& ScriptedAccesoDialogo::aceptar(DatosAcceso datos) {
    m_respuestas.push_back({true, std::move(datos)});
    return *this;
}

ScriptedAccesoDialogo& ScriptedAccesoDialogo::cancelar() {
    m_respuestas.push_back({false, {}});
    return *this;
}

void ScriptedAccesoDialogo::setFailureHandler(std::function<void(const QString&)> handler) {
    m_failure = std::move(handler);
}

std::optional<DatosAcceso> ScriptedAccesoDialogo::pedirDatos(const DatosAcceso& datos) {
    m_mostrados.push_back(datos);
    if (m_respuestas.empty()) {
        const QString what =
            QStringLiteral("Unexpected access dialog (server \"%1\", database \"%2\")")
                .arg(datos.servidor, datos.baseDeDatos);
        if (m_failure) {
            m_failure(what);
        } else {
            qWarning().noquote() << what;
        }
        return std::nullopt;
    }
    const Respuesta respuesta = m_respuestas.front();
    m_respuestas.pop_front();
    if (!respuesta.aceptar) {
        return std::nullopt;
    }
    return respuesta.datos;
}

} // namespace estaciones::data
