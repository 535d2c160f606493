#include "session/IniciarSesion.h"

#include "data/SharedDb.h"
#include "data/ValorNumerico.h"
#include "platform/core/ErrorHandling.h"
#include "platform/os/System.h"
#include "session/Ayuda.h"
#include "session/CommandLine.h"
#include "session/Configuracion.h"
#include "session/IniFallback.h"
#include "session/NormalizarServidor.h"
#include "session/OpcionesSesion.h"
#include "session/ProcessCommandLine.h"
#include "session/SessionParameters.h"
#include "session/StationKey.h"
#include "session/library/SharedObjects.h"

namespace estaciones::session {

ExtensionesInicio& extensionesInicio() {
    static ExtensionesInicio extensiones = [] {
        ExtensionesInicio e;
        e.cargarConfiguracion = CargarConfiguracion;
        return e;
    }();
    return extensiones;
}

ResultadoInicio IniciarSesion(bool usarIni, const QString& lineaComandos, QString& cadenaConexion,
                              std::int32_t cursor) {
    data::DB_Dll& db = data::sharedDb();
    // The data layer's synonym rewrite reads "SS_CONFIDENCIALIDAD" through this.
    db.setLectorConfiguracion([](const QString& clave) { return Cfg(clave); });
    const library::TextHelper& texto = library::textHelper();
    const library::SystemInfo& sistema = library::systemInfo();
    const ExtensionesInicio& extensiones = extensionesInicio();

    // Error 5 skips the failing step; any other error leaves, silently.
    HandledSteps pasos([](const Error&) { return 0; }, {errnum::InvalidProcedureCall});
    constexpr auto seguir = ResultadoInicio::Continuar;

    if (!pasos.run([&] {
            gCarpetaPrograma = texto.folder(os::programFolder());
            // The help pages installed with the program, which F1 opens.
            gArchivoAyuda = archivoAyudaEn(gCarpetaPrograma);
        }) ||
        !pasos.run([&] {
            gColorLetra = 0;
            gColorFondo = 0xFFFFFF;
        })) {
        return seguir;
    }

    QString linea;
    if (!pasos.run(
            [&] { linea = lineaComandos.isEmpty() ? lineaComandosProceso() : lineaComandos; }) ||
        !pasos.run([&] {
            if (linea.trimmed().isEmpty() && usarIni) {
                linea = lineaComandosDesdeIni(
                    library::iniFile(),
                    claveEstacionCompleta(sistema.machineName(), sistema.workstationIdentity()));
            }
        }) ||
        !pasos.run([&] {
            gClaveEstacion = claveEstacion(sistema.machineName(), sistema.workstationIdentity());
        }) ||
        !pasos.run([&] {
            gFlatToolbars = data::valorNumerico(
                library::iniFile().read(archivoIniEstacion, gClaveEstacion,
                                        QStringLiteral("FlatToolbars"), QStringLiteral("1")));
        })) {
        return seguir;
    }

    // A second call with the connection open skips parsing and connecting.
    if (!db.gOpenFlag) {
        LineaComandos campos;
        if (!pasos.run([&] { campos = analizarLineaComandos(linea); }) || !pasos.run([&] {
                gParametroAdicional = campos.parametroAdicional;
                gMenu = campos.menu;
                gUsuarioLogeado = campos.usuarioLogeado;
                gCaja = campos.caja;
            }) ||
            !pasos.run([&] {
                db.gUsuario = campos.usuario;
                db.gDBName = campos.baseDeDatos;
                db.gUserPassWord = campos.password;
                db.gServidor = NormalizarServidor(campos.servidor);
            })) {
            return seguir;
        }
        if (!pasos.run([&] {
                const bool pedirDatos =
                    campos.servidor.trimmed().isEmpty() || campos.usuario.trimmed().isEmpty();
                db.OpenServerADODB(pedirDatos, cursor, cadenaConexion, true, true);
            })) {
            return seguir;
        }
        if (!db.gOpenFlag) {
            // The data layer has told the operator already.
            return ResultadoInicio::TerminarPrograma;
        }
        if ((extensiones.prepararEstadisticas && !pasos.run(extensiones.prepararEstadisticas)) ||
            !pasos.run([&] { gUsuarioLogeado = db.gUsuario; }) ||
            !pasos.run([&] { db.gCnn.setCommandTimeout(gTimeOut); }) ||
            !pasos.run([&] { db.gCnn.setIsolationLevel(db::adXactReadUncommitted); })) {
            return seguir;
        }
    }

    if (!db.gDBName.isEmpty()) {
        if (!pasos.run([&] {
                gDsnConexion = QStringLiteral("DSN=") + db.gDBName + QStringLiteral("; UID=") +
                               db.gUsuario + QStringLiteral("; PWD=") + db.gUserPassWord;
            }) ||
            !pasos.run([&] { db.gCnn.setDefaultDatabase(db.gDBName); })) {
            return seguir;
        }
        if (extensiones.configurarConsultas &&
            !pasos.run([&] { extensiones.configurarConsultas(gCarpetaPrograma); })) {
            return seguir;
        }
        if (extensiones.cargarConfiguracion &&
            !pasos.run([&] { extensiones.cargarConfiguracion(gCarpetaPrograma); })) {
            return seguir;
        }
    }
    if (extensiones.registrarAcceso) {
        pasos.run([&] { extensiones.registrarAcceso(QString()); });
    }
    return seguir;
}

} // namespace estaciones::session
