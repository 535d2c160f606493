#include "data/RegistroErrores.h"

#include "data/DataTexts.h"
#include "platform/ui/OperatorInterface.h"
#include "session/library/Windows1252.h"

#include <QFile>
#include <QHash>

namespace estaciones::data {

namespace {

// Windows-1252 bytes of `texto`; a character the code page lacks becomes "?".
// The 0x80..0x9F table is the library's decoder read backwards, so the two
// directions cannot disagree.
QByteArray aWindows1252(const QString& texto) {
    static const QHash<char16_t, char> altos = [] {
        QHash<char16_t, char> tabla;
        for (int byte = 0x80; byte <= 0x9F; ++byte) {
            const QString c = library::fromWindows1252(QByteArray(1, static_cast<char>(byte)));
            tabla.insert(c.at(0).unicode(), static_cast<char>(byte));
        }
        return tabla;
    }();
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
        } else {
            bytes.append(altos.value(u, '?'));
        }
    }
    return bytes;
}

} // namespace

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
    const QByteArray bytes = aWindows1252(linea) + "\r\n";
    return file.write(bytes) == bytes.size();
}

} // namespace estaciones::data
