#include "session/SessionParameters.h"

namespace estaciones::session {

void reiniciarParametrosSesion() {
    gParametroAdicional.clear();
    gMenu.clear();
    gUsuarioLogeado.clear();
    gCaja = QStringLiteral("1");
    gClaveEstacion.clear();
    gFlatToolbars = 1;
    gDsnConexion.clear();
    gColorFondo = 0xFFFFFF;
    gColorLetra = 0;
    gTimeOut = 360;
    gCarpetaPrograma.clear();
    gArchivoAyuda.clear();
}

} // namespace estaciones::session
