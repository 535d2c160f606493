#include "articles/AjustesBusquedaArticulo.h"

#include "platform/os/System.h"
#include "session/library/SharedObjects.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace estaciones::articulos {

namespace {
const QString ArchivoIni = QStringLiteral("CN000pr.INI");

const QStringList programasVentaPorDefecto{QStringLiteral("ventas"), QStringLiteral("ventasfiscal"),
                                           QStringLiteral("ventasfiscal2"),
                                           QStringLiteral("facturacionremitos")};

QString nombreBase(const QString& programa) {
    // Names written on Windows may come with a folder and ".exe".
    QString nombre = programa.trimmed();
    nombre = nombre.mid(nombre.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\]"))) + 1);
    return QFileInfo(nombre).completeBaseName();
}
} // namespace

AjustesBusquedaArticulo& ajustesBusquedaArticulo() {
    static AjustesBusquedaArticulo ajustes;
    return ajustes;
}

void CargarAjustesBalanza() {
    library::IniFile& ini = library::iniFile();
    AjustesBusquedaArticulo& ajustes = ajustesBusquedaArticulo();
    const QString patron =
        ini.read(ArchivoIni, QStringLiteral("Balanza"), QStringLiteral("Patron"), QString());
    if (!patron.trimmed().isEmpty()) {
        ajustes.patronBalanza = patron.trimmed();
    }
    const QString decimales =
        ini.read(ArchivoIni, QStringLiteral("Balanza"), QStringLiteral("Decimales"), QString());
    if (!decimales.trimmed().isEmpty()) {
        ajustes.decimalesBalanza = library::textHelper().toInteger(decimales);
    }
}

QString programaEnCurso() {
    const AjustesBusquedaArticulo& ajustes = ajustesBusquedaArticulo();
    return nombreBase(ajustes.programa ? *ajustes.programa : os::executableName());
}

QStringList programasVentaConUnidadNegocio() {
    if (const auto& lista = ajustesBusquedaArticulo().programasVenta) {
        return *lista;
    }
    const QString texto = library::iniFile().read(ArchivoIni, QStringLiteral("Programas"),
                                                  QStringLiteral("VentasUnidadNegocio"), QString());
    if (texto.trimmed().isEmpty()) {
        return programasVentaPorDefecto;
    }
    return texto.split(u';', Qt::SkipEmptyParts);
}

bool esPrograma(const QString& programa, const QStringList& lista) {
    const QString nombre = nombreBase(programa);
    for (const QString& candidato : lista) {
        if (nombreBase(candidato).compare(nombre, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace estaciones::articulos
