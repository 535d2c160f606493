#include "data/DB_Dll.h"

#include "data/DataTexts.h"
#include "data/RegistroErrores.h"
#include "platform/os/System.h"
#include "platform/ui/OperatorInterface.h"
#include "session/library/SharedObjects.h"

#include <QDateTime>

namespace estaciones::data {

QString DB_Dll::archivoErroresEfectivo() const {
    if (!gLogErr.isEmpty()) {
        return gLogErr;
    }
    // An installed program folder is not writable: the log then goes to the
    // per-user data folder.
    const QString carpeta = os::writableProgramFolder(os::programFolder());
    return library::textHelper().folder(carpeta) + texts::archivoErroresPorDefecto;
}

int DB_Dll::TratamientoErrores(const Error& CodErr, std::optional<int> Botones,
                               const Variant& Rutina) {
    constexpr int botonesPorDefecto = ui::style::AbortRetryIgnore | ui::style::Critical;
    if (CodErr.number() == 0) {
        return 0;
    }
    // Nothing here may raise: the callers are error handlers themselves.
    int respuesta = 0;
    ignoringErrors([&] {
        QString archivo;
        ignoringErrors([&] { archivo = archivoErroresEfectivo(); });
        const QString mensaje = texts::errorOcurrido + QString::number(CodErr.number()) +
                                QStringLiteral(") ") + CodErr.description().trimmed();
        const QString parteRutina =
            Rutina.isEmpty() ? QString() : QStringLiteral(" - ") + Rutina.toString();
        const QString titulo = CodErr.source() + parteRutina + texts::avisoOperador;
        respuesta = ui::operatorInterface().messageBox(mensaje, Botones.value_or(botonesPorDefecto),
                                                       titulo);
        if (!archivo.isEmpty()) {
            agregarLineaRegistro(archivo, lineaRegistroErrores(QDateTime::currentDateTime(),
                                                               parteRutina, mensaje, respuesta));
        }
    });
    return respuesta;
}

} // namespace estaciones::data
