#include "session/IniFallback.h"

#include "session/CommandLine.h"
#include "session/StationKey.h"
#include "session/library/SharedObjects.h"

namespace estaciones::session {

QString lineaComandosDesdeIni(const library::IniFile& ini, const QString& claveEstacionCompleta) {
    const QString seccion = claveEstacionCompleta + QStringLiteral("BaseDeDatos");
    const auto& texto = library::textHelper();
    const auto leer = [&](const char* clave, const QString& porDefecto) {
        return ini.read(archivoIniEstacion, seccion, QString::fromLatin1(clave), porDefecto);
    };
    // User and password are kept encoded; so is the default handed to the read.
    const auto leerCodificado = [&](const char* clave, const char* porDefecto) {
        return texto.decode(leer(clave, texto.encode(QString::fromLatin1(porDefecto))));
    };
    return lineaComandosPorDefecto(leer("Servidor", {}), leer("DbName", {}),
                                   leerCodificado("Usuario", "Tessera"),
                                   leerCodificado("UserPassWord", "quendar"));
}

} // namespace estaciones::session
