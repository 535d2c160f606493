#include "session/ArranquePrograma.h"

#include "platform/db/AdoConstants.h"
#include "session/ProcessCommandLine.h"

namespace estaciones::session {

ResultadoInicio arrancarPrograma(const QStringList& argumentosConPrograma) {
    establecerLineaComandosProceso(unirArgumentos(argumentosConPrograma));
    QString cadenaConexion;
    return IniciarSesion(false, QString(), cadenaConexion, db::adUseClient);
}

} // namespace estaciones::session
