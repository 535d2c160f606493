#include "session/statistics/PrepararEstadisticas.h"

#include "data/SharedDb.h"
#include "data/ValorNumerico.h"
#include "platform/db/AdoConstants.h"
#include "session/ConexionEstadisticas.h"
#include "session/Configuracion.h"
#include "session/SessionParameters.h"
#include "session/statistics/CrearLoginsYRoles.h"
#include "session/statistics/TextosEstadisticas.h"

#include <cmath>
#include <limits>

namespace estaciones::session::estadisticas {

namespace {

constexpr std::int16_t timeOutPredeterminado = 360;

// A number stored into a 16-bit integer, as the suite's code does it:
// rounded half to even, error 6 when it does not fit.
std::int16_t aEntero16(double valor) {
    const double redondeado = std::nearbyint(valor);
    if (!(redondeado >= std::numeric_limits<std::int16_t>::min() &&
          redondeado <= std::numeric_limits<std::int16_t>::max())) {
        throw standardError(errnum::Overflow);
    }
    return static_cast<std::int16_t>(redondeado);
}

} // namespace

void PrepararEstadisticas() {
    const QString& base = texts::baseEstadisticas;
    data::DB_Dll& estadisticas = gDBEstadisticas();

    ignoringErrors([] { gTimeOut = timeOutPredeterminado; });
    ignoringErrors([&] {
        if (estadisticas.gCnn.state() != db::adStateClosed) {
            estadisticas.gCnn.close();
        }
    });
    ignoringErrors([&] { CrearLoginsYRoles(base, base, base, nullptr); });
    ignoringErrors([&] { estadisticas.gProveedor = estadisticas.pSQLOLEDB(); });
    ignoringErrors([&] { estadisticas.gServidor = data::sharedDb().gServidor; });
    ignoringErrors([&] {
        estadisticas.gDBName = base;
        estadisticas.gUsuario = base;
        estadisticas.gUserPassWord = base;
    });
    ignoringErrors(
        [&] { estadisticas.OpenServerADODB(false, db::adUseClient, QString(), true, false); });
    if (estadisticas.gOpenFlag && estadisticas.gCnn.state() == db::adStateOpen) {
        ignoringErrors([&] { estadisticas.gCnn.setDefaultDatabase(base); });
        ignoringErrors(
            [] { gTimeOut = aEntero16(data::valorNumerico(CfgTS(texts::claveTimeOut))); });
        ignoringErrors([] {
            if (gTimeOut == 0) {
                GrabaCfgTS(texts::claveTimeOut, Variant(0), QString(), false,
                           texts::grupoBaseDeDatos, true);
            }
        });
    }
    ignoringErrors([] {
        if (gTimeOut == 0) {
            gTimeOut = timeOutPredeterminado;
        }
    });
}

} // namespace estaciones::session::estadisticas
