#include "session/Archivos.h"

#include "platform/core/ErrorHandling.h"
#include "platform/os/Desktop.h"
#include "session/library/SharedObjects.h"

#include <QFile>

namespace estaciones::session {

bool ExisteArchivo(const QString& ruta) {
    if (ruta.isEmpty()) {
        return false;
    }
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        return false;
    }
    archivo.close();
    return true;
}

void AbrirArchivo(const QString& ruta, bool mostrar) {
    // The Windows shell wanted a path with blanks in quotes; the desktop call
    // here takes the path as one argument, where quotes would become part of
    // the name, so the path goes as it is.
    ignoringErrors([&] {
        library::systemInfo().openDocument(ruta, mostrar ? os::windowstyle::Minimized
                                                         : os::windowstyle::Hidden);
    });
}

} // namespace estaciones::session
