#include "session/NormalizarServidor.h"

namespace estaciones::session {

QString NormalizarServidor(const QString& servidor) {
    QString nombre = servidor;
    const qsizetype barra = nombre.indexOf(u'/');
    if (barra >= 0) {
        nombre = nombre.mid(barra + 1);
    }
    const qsizetype puerto = nombre.indexOf(u':');
    if (puerto >= 0) {
        nombre = nombre.left(puerto);
    }
    return nombre;
}

} // namespace estaciones::session
