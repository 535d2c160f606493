#include "session/StationKey.h"

namespace estaciones::session {

QString claveEstacionCompleta(const QString& maquina, const QString& identidad) {
    return maquina.toUpper() + u'|' + identidad.toUpper();
}

QString claveEstacion(const QString& maquina, const QString& identidad) {
    constexpr qsizetype largoMaximo = 50;
    const QString clave = claveEstacionCompleta(maquina, identidad);
    return clave.trimmed().size() > largoMaximo ? clave.left(largoMaximo) : clave;
}

} // namespace estaciones::session
