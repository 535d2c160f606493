#include "data/DB_Dll.h"

#include "data/ConexionPerdida.h"
#include "data/DataTexts.h"
#include "data/SentenciaQueEscribe.h"

namespace estaciones::data {

void DB_Dll::ReintentaConectar() {
    gOpenFlag = false;
    // Closing an already closed connection (3704) is expected; a provider's
    // E_FAIL (the link is gone) ends the attempt without a dialog.
    HandledSteps pasos(
        [this](const Error& error) {
            gOpenFlag = false;
            if (error.number() == errnum::E_FAIL) {
                return 0;
            }
            return TratamientoErrores(error, std::nullopt, QStringLiteral("AbrirRecordset"));
        },
        {errnum::ObjectClosed});

    if (!pasos.run([&] { gCnn.setCommandTimeout(5); }) || !pasos.run([&] { gCnn.close(); })) {
        return;
    }
    // This object's own user and password: the original took the shared
    // object's, which logged a second connection (statistics) in as the main user.
    if (!pasos.run([&] {
            gCnn.open(gCnn.connectionString(), gUsuario, gUserPassWord, db::adOptionUnspecified);
        })) {
        return;
    }
    // An ignored failure of the open must not read as success.
    gOpenFlag = gCnn.state() == db::adStateOpen;
}

bool DB_Dll::reconectar() {
    ReintentaConectar();
    if (!gOpenFlag) {
        ReintentaConectar();
    }
    return gOpenFlag;
}

std::optional<int> DB_Dll::tratarConexionPerdida(const Error& error, const db::Errors& errores,
                                                 const QString& sentencia,
                                                 bool& reconexionSinPreguntar,
                                                 const QString& rutina) {
    if (!esConexionPerdida(error, errores)) {
        return std::nullopt;
    }
    if (!puedeModificarDatos(sentencia)) {
        if (!reconexionSinPreguntar) {
            reconexionSinPreguntar = true;
            if (reconectar()) {
                return answer::Retry;
            }
        }
        const int respuesta = TratamientoErrores(error, std::nullopt, rutina);
        if (respuesta == answer::Retry) {
            reconectar();
        }
        return respuesta;
    }
    // Reconnected first, so that the next statement does not meet the dead
    // link too, whatever the operator answers.
    reconectar();
    Error desconocido(error.number(), texts::resultadoDesconocido + error.description().trimmed(),
                      error.source());
    desconocido.withSqlState(error.sqlState(), error.nativeError());
    const int respuesta = TratamientoErrores(desconocido, std::nullopt, rutina);
    if (respuesta == answer::Retry && !gOpenFlag) {
        reconectar();
    }
    return respuesta;
}

} // namespace estaciones::data
