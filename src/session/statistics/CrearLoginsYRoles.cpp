#include "session/statistics/CrearLoginsYRoles.h"

#include "data/SharedDb.h"
#include "platform/ui/OperatorInterface.h"
#include "session/MostrarError.h"
#include "session/statistics/CrearBaseDeDatos.h"
#include "session/statistics/SentenciasLogin.h"
#include "session/statistics/TextosEstadisticas.h"

#include <optional>

namespace estaciones::session::estadisticas {

namespace {

// SQL Server's answers to sp_addlogin that the routine acts upon.
namespace nativo {
constexpr std::int32_t basePredeterminadaInexistente = 15010;
constexpr std::int32_t loginExistente = 15025;
constexpr std::int32_t contrasenaFueraDePolitica = 15116;
} // namespace nativo

bool esOracle() {
    return data::sharedDb().gProveedor.contains(QLatin1String("ORACLE"), Qt::CaseInsensitive);
}

void ejecutar(data::DB_Dll& db, const QString& sentencia) {
    QString texto = sentencia;
    std::int64_t filas = 0;
    db.EjecutaConsultaSQL(texto, filas);
}

} // namespace

void CrearLoginsYRoles(const QString& baseDeDatos, const QString& login, const QString& clave,
                       data::DB_Dll* conexion) {
    data::DB_Dll& db = conexion ? *conexion : data::sharedDb();
    HandledSteps pasos([](const Error& error) { return MostrarError(error, texts::rutinaLogins); },
                       {errnum::CommandError});

    if (esOracle()) {
        pasos.run([&] { ejecutar(data::sharedDb(), guionLoginOracle(login, clave)); });
        return;
    }

    // Only sp_addlogin's own answer decides below, not one left by an
    // earlier statement.
    if (!pasos.run([&] { db.gCnn.errors().clear(); }) ||
        !pasos.run([&] { ejecutar(db, sentenciaAltaLogin(login, clave, baseDeDatos)); })) {
        return;
    }
    // sp_addlogin's answer, taken out of the collection: later routines that
    // read "the first error still held" must not see it.
    std::optional<db::ProviderError> respuesta;
    if (!pasos.run([&] {
            if (db.gCnn.errors().count() > 0) {
                respuesta = db.gCnn.errors().item(0);
                db.gCnn.errors().clear();
            }
        })) {
        return;
    }
    bool terminar = false;
    if (respuesta && !pasos.run([&] {
            switch (respuesta->nativeError) {
            case nativo::contrasenaFueraDePolitica:
                ui::operatorInterface().messageBox(respuesta->description + QStringLiteral("\r\n") +
                                                   texts::debeCambiarContrasena + login +
                                                   texts::directivasWindows);
                break;
            case nativo::basePredeterminadaInexistente:
                CrearBaseDeDatos(data::sharedDb().gServidor, baseDeDatos);
                break;
            case nativo::loginExistente:
                terminar = true;
                break;
            default:
                break;
            }
        })) {
        return;
    }
    if (terminar) {
        return;
    }
    if (!pasos.run([&] { ejecutar(db, sentenciaRolesServidor(login)); }) ||
        !pasos.run([&] { ejecutar(db, sentenciaAccesoBase(login)); })) {
        return;
    }
    pasos.run([&] { ejecutar(db, sentenciaRolesBase(login)); });
}

} // namespace estaciones::session::estadisticas
