#include "session/Ayuda.h"

#include "platform/os/Desktop.h"
#include "platform/ui/OperatorInterface.h"
#include "session/SessionParameters.h"
#include "session/SessionTexts.h"

#include <QDir>
#include <QFileInfo>

namespace estaciones::session {

QString archivoAyudaEn(const QString& carpetaPrograma) {
    return carpetaPrograma + QStringLiteral("ayuda/operador.html");
}

QString archivoAyudaOperador() {
    return gArchivoAyuda;
}

QString archivoGuiaAdministracion() {
    return QFileInfo(gArchivoAyuda).dir().filePath(QStringLiteral("administracion.html"));
}

bool AbrirAyuda(const QString& archivo) {
    if (archivo.isEmpty() || !QFileInfo(archivo).isFile()) {
        ui::operatorInterface().messageBox(texts::ayudaNoEncontrada(archivo),
                                           ui::style::OKOnly | ui::style::Exclamation,
                                           texts::tituloAyuda);
        return false;
    }
    if (!os::desktop().openDocument(QFileInfo(archivo).absoluteFilePath(),
                                    os::windowstyle::Normal)) {
        ui::operatorInterface().messageBox(texts::ayudaSinVisor(archivo),
                                           ui::style::OKOnly | ui::style::Exclamation,
                                           texts::tituloAyuda);
        return false;
    }
    return true;
}

} // namespace estaciones::session
