#include "data/RegistroErrores.h"

#include "data/DataTexts.h"
#include "platform/ui/OperatorInterface.h"
#include "session/library/Windows1252.h"

#include <QFile>

namespace estaciones::data {

QString palabraRespuesta(int respuesta) {
    switch (respuesta) {
    case ui::reply::Retry:
        return texts::respuestaReintentar;
    case ui::reply::Ignore:
        return texts::respuestaIgnorar;
    case ui::reply::Abort:
        return texts::respuestaAbortar;
    case ui::reply::Cancel:
        return texts::respuestaCancelar;
    case ui::reply::Yes:
        return texts::respuestaSi;
    case ui::reply::No:
        return texts::respuestaNo;
    default:
        return {};
    }
}

QString lineaRegistroErrores(const QDateTime& momento, const QString& parteRutina,
                             const QString& mensaje, int respuesta) {
    return momento.toString(QStringLiteral("MM-dd-yyyy")) + u' ' +
           momento.toString(QStringLiteral("HH:mm:ss")) + texts::logRutina + parteRutina.trimmed() +
           texts::logMensaje + mensaje.trimmed() + texts::logRespondio +
           palabraRespuesta(respuesta);
}

bool agregarLineaRegistro(const QString& archivo, const QString& linea) {
    QFile file(archivo);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return false;
    }
    const QByteArray bytes = library::toWindows1252(linea) + "\r\n";
    return file.write(bytes) == bytes.size();
}

} // namespace estaciones::data
