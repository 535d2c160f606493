#include "session/statistics/CrearBaseDeDatos.h"

#include "data/SharedDb.h"
#include "platform/db/AdoConstants.h"
#include "platform/os/System.h"
#include "platform/ui/OperatorInterface.h"
#include "session/ConexionEstadisticas.h"
#include "session/MostrarError.h"
#include "session/NormalizarServidor.h"
#include "session/SessionParameters.h"
#include "session/library/SharedObjects.h"
#include "session/statistics/EjecutarScriptCreacion.h"
#include "session/statistics/SentenciasLogin.h"
#include "session/statistics/TextosEstadisticas.h"

#include <QFile>
#include <QFileInfo>

namespace estaciones::session::estadisticas {

namespace {

QString carpetaTemporal() {
    QString carpeta = os::environmentVariable(QStringLiteral("TEMP")).trimmed();
    if (carpeta.isEmpty()) {
        carpeta = library::systemInfo().temporaryFolder();
    }
    return library::textHelper().folder(carpeta);
}

void escribirArchivo(const QString& ruta, const QByteArray& contenido) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        archivo.write(contenido) != contenido.size()) {
        throw Error(errnum::PathFileAccessError,
                    standardDescription(errnum::PathFileAccessError) + QStringLiteral(": ") + ruta);
    }
}

} // namespace

QString rutaScriptCompleto() {
    const QString carpeta = gCarpetaPrograma.isEmpty() ? os::programFolder() : gCarpetaPrograma;
    return library::textHelper().folder(carpeta) + texts::archivoScriptCompleto;
}

bool CrearBaseDeDatos(const QString& servidor, const QString& nombre) {
    HandledSteps pasos([](const Error& error) { return MostrarError(error, texts::rutinaBase); },
                       {errnum::ObjectClosed});
    ui::OperatorInterface& ui = ui::operatorInterface();

    // Looked for once, and the message names the path looked at.
    QString scriptCompleto;
    bool existe = false;
    if (!pasos.run([&] {
            scriptCompleto = rutaScriptCompleto();
            existe = QFileInfo(scriptCompleto).isFile();
        })) {
        return false;
    }
    if (!existe) {
        ui.messageBox(texts::noSeEncuentraArchivo + scriptCompleto + texts::ingreseRuta);
        return false;
    }

    const QString base = nombre.trimmed();
    QString creacionBase;
    bool autorizado = false;
    if (!pasos.run([&] {
            creacionBase = carpetaTemporal() + texts::archivoCreacionBase;
            escribirArchivo(creacionBase, contenidoCreacionBase(base));
        }) ||
        !pasos.run([&] { EjecutarScriptCreacion(creacionBase, QString(), autorizado); })) {
        return false;
    }

    data::DB_Dll& estadisticas = gDBEstadisticas();
    if (!pasos.run([&] {
            if (estadisticas.gCnn.state() != db::adStateClosed) {
                estadisticas.gCnn.close();
            }
        }) ||
        !pasos.run([&] {
            estadisticas.gOpenFlag = false;
            estadisticas.gUsuario = base;
            estadisticas.gDBName = base;
            estadisticas.gUserPassWord = base;
            estadisticas.gServidor = NormalizarServidor(servidor);
        }) ||
        !pasos.run([&] {
            estadisticas.OpenServerADODB(false, db::adUseClient, QString(), false, true);
        })) {
        return false;
    }
    if (!estadisticas.gOpenFlag) {
        return false;
    }
    // The main connection stands in the new database since CDB7's USE: the
    // objects of the creation script land there.
    if (pasos.run([&] { estadisticas.gCnn.setDefaultDatabase(base); })) {
        pasos.run([&] { EjecutarScriptCreacion(scriptCompleto, QString(), autorizado); });
    }
    return true;
}

} // namespace estaciones::session::estadisticas
