#include "lookup/MascaraConsultas.h"

#include "platform/core/Error.h"
#include "session/library/Windows1252.h"

#include <QFile>

namespace estaciones::lookup {

namespace {
struct Campo {
    int inicio;
    int ancho;
};
constexpr Campo campoNombre{0, 100};
constexpr Campo campoTabla{100, 100};
constexpr Campo campoColumnas{200, 500};
constexpr Campo campoFiltro{700, 500};

QString leerCampo(const QByteArray& registro, Campo campo) {
    return library::fromWindows1252(registro.mid(campo.inicio, campo.ancho));
}
} // namespace

QString limpiarCampoMascara(const QString& campo) {
    QString limpio = campo;
    limpio.remove(QChar(0));
    limpio.remove(QChar(0xFF));
    return limpio.trimmed();
}

RegistroMascara decodificarRegistroMascara(const QByteArray& bytes) {
    return {leerCampo(bytes, campoNombre), leerCampo(bytes, campoTabla),
            leerCampo(bytes, campoColumnas), leerCampo(bytes, campoFiltro)};
}

std::optional<RegistroMascara> buscarRegistroMascara(const QString& archivo, const QString& tabla) {
    QFile file(archivo);
    if (!file.open(QIODevice::ReadOnly)) {
        throw standardError(errnum::FileNotFound, archivo);
    }
    const QString buscada = tabla.trimmed();
    while (true) {
        const QByteArray bytes = file.read(LargoRegistroMascara);
        if (bytes.isEmpty()) {
            return std::nullopt;
        }
        RegistroMascara registro = decodificarRegistroMascara(bytes);
        if (limpiarCampoMascara(registro.tabla).compare(buscada, Qt::CaseInsensitive) == 0) {
            return registro;
        }
    }
}

} // namespace estaciones::lookup
