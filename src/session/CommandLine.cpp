#include "session/CommandLine.h"

#include "session/library/SharedObjects.h"

namespace estaciones::session {

QString valorClave(const QString& linea, const QString& clave) {
    const qsizetype inicio = linea.indexOf(clave, 0, Qt::CaseInsensitive);
    if (inicio < 0) {
        return {};
    }
    const qsizetype desde = inicio + clave.size();
    // The original cut a key without a later ";" to the key's own length;
    // such a field runs to the end of the line instead.
    const qsizetype fin = linea.indexOf(u';', desde);
    const QString crudo = fin < 0 ? linea.mid(desde) : linea.mid(desde, fin - desde);
    return library::textHelper().removeCharacter(crudo, u'=').trimmed();
}

LineaComandos analizarLineaComandos(const QString& linea) {
    LineaComandos campos;
    campos.parametroAdicional = valorClave(linea, QStringLiteral("@ParametroAdicional"));
    campos.menu = valorClave(linea, QStringLiteral("@Menu"));
    campos.servidor = valorClave(linea, QStringLiteral("@Server"));
    campos.baseDeDatos = valorClave(linea, QStringLiteral("@DbName"));
    campos.usuario = valorClave(linea, QStringLiteral("@Usuario"));
    campos.password = valorClave(linea, QStringLiteral("@Password"));
    campos.usuarioLogeado = valorClave(linea, QStringLiteral("@UsuarioLogeado"));
    if (linea.contains(QStringLiteral("@Caja"), Qt::CaseInsensitive)) {
        campos.caja = valorClave(linea, QStringLiteral("@Caja"));
    }
    return campos;
}

QString lineaComandosPorDefecto(const QString& servidor, const QString& baseDeDatos,
                                const QString& usuario, const QString& password) {
    const auto sinBarras = [](const QString& valor) {
        return library::textHelper().removeCharacter(valor, u'|');
    };
    return QStringLiteral("@server=") + sinBarras(servidor) + QStringLiteral("; @dbname= ") +
           sinBarras(baseDeDatos) + QStringLiteral("; @usuario= ") + sinBarras(usuario) +
           QStringLiteral("; @Password= ") + sinBarras(password) +
           QStringLiteral("; @ParametroAdicional=; @Caja=1;kelp@");
}

} // namespace estaciones::session
