#include "session/statistics/EjecutarScriptCreacion.h"

#include "session/MostrarError.h"
#include "session/SessionParameters.h"
#include "session/statistics/TextosEstadisticas.h"

namespace estaciones::session::estadisticas {

ReglasScript reglasScriptCreacion() {
    ReglasScript reglas;
    reglas.mayusculas = Qt::CaseSensitive;
    reglas.exentasDeClave = {QStringLiteral("TRUNCATE TABLE AC_VentasFormTStock"),
                             QStringLiteral("TRUNCATE TABLE MA_CUENTAS_SALDOS"),
                             QStringLiteral("DROP TABLE #TTEmp")};
    reglas.sinAvisoFinal = gParametroAdicional == QLatin1String("Automatica");
    reglas.errorPreparacion = [](const Error& error) {
        return MostrarError(error, texts::rutinaEjecutar);
    };
    return reglas;
}

ResultadoScript EjecutarScriptCreacion(const QString& archivo, const QString& filtro,
                                       bool& autorizado) {
    // The key is asked for on every run: `autorizado` only reports it.
    bool permiteDrop = false;
    ResultadoScript resultado =
        ejecutarScript(archivo, filtro, permiteDrop, reglasScriptCreacion());
    if (permiteDrop) {
        autorizado = true;
    }
    return resultado;
}

} // namespace estaciones::session::estadisticas
