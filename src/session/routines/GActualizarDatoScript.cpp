#include "session/routines/GActualizarDatoScript.h"

#include "data/SharedDb.h"
#include "platform/core/ErrorHandling.h"
#include "platform/os/System.h"
#include "platform/ui/OperatorInterface.h"
#include "session/MostrarError.h"
#include "session/routines/RoutinesTexts.h"

namespace estaciones::session {

namespace {

constexpr std::int32_t claveDuplicada = 2627;
constexpr std::int32_t conflictoRelacion = 547;

// The batch: each statement after a CR, opened by the transaction.
QString armarScript(const ColaSentencias& sentencias) {
    QString cuerpo;
    for (const QString& sentencia : sentencias) {
        if (!sentencia.trimmed().isEmpty()) {
            cuerpo += QLatin1Char('\r') + sentencia;
        }
    }
    if (cuerpo.isEmpty()) {
        return {};
    }
    return QStringLiteral("BEGIN TRANSACTION \r\r") + cuerpo + QLatin1Char('\r');
}

// One line per error; with several, the last one (the server's "statement
// terminated") is left out.
QString textoDeErrores(const db::Errors& errores) {
    const int lineas = errores.count() == 1 ? 1 : errores.count() - 1;
    QString texto;
    for (int i = 0; i < lineas; ++i) {
        texto += QString::number(errores.item(i).nativeError) + QStringLiteral(" : ") +
                 errores.item(i).description + QStringLiteral("\r\n");
    }
    return texto;
}

} // namespace

void GActualizarDatoScript(const ColaSentencias& sentencias, bool& hayError,
                           std::int32_t& numeroError, bool avisarDuplicado, bool avisarRelacion,
                           QString& script, QString& textoError, bool mostrarMensaje,
                           db::Recordset* resultado) {
    data::DB_Dll& db = data::sharedDb();
    HandledSteps pasos(
        [](const Error& e) { return MostrarError(e, QStringLiteral("GActualizarDatoScript")); });
    auto ejecutar = [&db](const QString& texto, db::Recordset* recibido = nullptr) {
        QString sentencia = texto;
        std::int64_t filas = 0;
        ignoringErrors([&] { db.EjecutaConsultaSQL(sentencia, filas, recibido); });
    };

    hayError = false;
    numeroError = 0;
    QString lote;
    if (!pasos.run([&] { lote = armarScript(sentencias); })) {
        return;
    }
    if (lote.isEmpty()) {
        return;
    }
    script = lote;

    // Errors left over from earlier statements would make a batch that worked
    // look failed, and it would be rolled back: only this batch's count.
    if (!pasos.run([&] { db.gCnn.errors().clear(); })) {
        return;
    }
    ejecutar(lote, resultado);

    std::int32_t nativo = 0;
    QString texto;
    if (!pasos.run([&] {
            const db::Errors& errores = db.gCnn.errors();
            if (errores.isEmpty()) {
                return;
            }
            hayError = true;
            nativo = errores.item(0).nativeError;
            texto = textoDeErrores(errores);
            textoError = texto;
            if ((avisarDuplicado && nativo == claveDuplicada) ||
                (avisarRelacion && nativo == conflictoRelacion)) {
                textoError = errores.item(0).description;
                texto.clear();
            }
            db.gCnn.errors().clear();
        })) {
        return;
    }

    if (hayError) {
        ejecutar(QStringLiteral("ROLLBACK TRANSACTION"));
        if (!pasos.run([&] { RegistrarErrorAux(lote, os::executableName(), nativo, texto); }) ||
            !pasos.run([&] {
                if (!texto.isEmpty() && mostrarMensaje) {
                    ui::operatorInterface().messageBox(texto, ui::style::Critical,
                                                       texts::avisoAlOperador);
                }
            })) {
            return;
        }
    } else {
        ejecutar(QStringLiteral("COMMIT TRANSACTION"));
    }
    numeroError = nativo;
}

} // namespace estaciones::session
