#include "data/DB_Dll.h"

#include "data/AccesoDialogo.h"
#include "data/DataTexts.h"
#include "platform/ui/OperatorInterface.h"

namespace estaciones::data {

namespace {
// A typed value as the connection string carries it: in braces when it holds
// a ";" (a password may), starts with a brace or has outer blanks, which the
// string's reader would otherwise take as the value's end or drop. Braces
// inside must pair up, as the reader counts them.
QString valorDeCadena(const QString& valor) {
    if (valor.contains(u';') || valor.startsWith(u'{') || valor != valor.trimmed()) {
        return u'{' + valor + u'}';
    }
    return valor;
}
} // namespace

QString DB_Dll::cadenaConexionServidor() const {
    const QString base = valorDeCadena(gDBName);
    const QString usuario = valorDeCadena(gUsuario);
    const QString clave = valorDeCadena(gUserPassWord);
    if (gServidor.contains(u'#')) {
        // Oracle: the data source names the database; the server is not part of it.
        return QStringLiteral("Provider=") + texts::proveedorOracle +
               QStringLiteral(";Data Source=") + base + QStringLiteral(";User Id=") + usuario +
               QStringLiteral(";Password=") + clave + u';';
    }
    // Always SQLOLEDB, whatever gProveedor holds. "Database =" with its blank
    // is the suite's own spelling.
    return QStringLiteral("PROVIDER=") + pSQLOLEDB() + QStringLiteral(";Server=") +
           valorDeCadena(gServidor) + QStringLiteral(";Database =") + base +
           QStringLiteral(";UId=") + usuario + QStringLiteral(";Pwd=") + clave + u';' + gExtended;
}

bool DB_Dll::pedirDatosAcceso() {
    const DatosAcceso actuales{gServidor, gDBName, gUsuario, gUserPassWord, 0};
    const std::optional<DatosAcceso> datos = accesoDialogo().pedirDatos(actuales);
    if (!datos) {
        gOpenFlag = false;
        return false;
    }
    gOpenFlag = true;
    gDBName = datos->baseDeDatos;
    gServidor = datos->servidor;
    gUsuario = datos->usuario;
    gUserPassWord = datos->contrasena;
    if (datos->plataforma > 0) {
        gProveedor = texts::proveedorOracle;
        if (!gServidor.contains(u'#')) {
            gServidor += u'#';
        }
    } else {
        gProveedor = pSQLOLEDB();
    }
    return true;
}

int DB_Dll::tratarErrorApertura(const Error& error, bool MuestraError, bool& yaCerrada) {
    const auto dejar = [this] {
        gOpenFlag = false;
        return 0;
    };
    // "Already open" once per call: close and run the failed statement again.
    const auto cerrarSiYaAbierta = [&] {
        if (error.number() != errnum::ObjectOpen || yaCerrada) {
            return false;
        }
        yaCerrada = true;
        ignoringErrors([&] { gCnn.close(); });
        return true;
    };

    if (!MuestraError) {
        return cerrarSiYaAbierta() ? answer::Retry : dejar();
    }
    if (gCnn.errors().count() > 0) {
        const db::ProviderError& primero = gCnn.errors().item(0);
        const QString texto = texts::estadoSql + primero.sqlState + u'\r' + texts::numeroError +
                              QString::number(primero.number) + u'\r' + texts::descripcion +
                              primero.description + u'\r' + texts::codigoNativo +
                              QString::number(primero.nativeError) + u'\r' + texts::deseaReintentar;
        const int respuesta = ui::operatorInterface().messageBox(
            texto, ui::style::YesNo | ui::style::Critical, texts::tituloErrorConexion);
        if (respuesta != ui::reply::Yes) {
            return dejar();
        }
        gCnn.errors().clear();
        if (!pedirDatosAcceso()) {
            return dejar();
        }
        gConnString = cadenaConexionServidor();
        return answer::Retry;
    }
    if (cerrarSiYaAbierta()) {
        return answer::Retry;
    }
    ui::operatorInterface().messageBox(error.description(), ui::style::OKOnly);
    return dejar();
}

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, std::int32_t lCursor,
                             const QString& ConnString, bool ValidaAdmin, bool MuestraError) {
    gOpenFlag = true;
    if (gProveedor.isEmpty()) {
        gProveedor = pSQLOLEDB();
    }
    bool yaCerrada = false;
    HandledSteps pasos(
        [&](const Error& error) { return tratarErrorApertura(error, MuestraError, yaCerrada); });

    if (!pasos.run([&] {
            gConnString = ConnString.trimmed().isEmpty() ? cadenaConexionServidor() : ConnString;
        })) {
        return;
    }
    if (PideParametrosSQL) {
        bool aceptado = false;
        if (!pasos.run([&] { aceptado = pedirDatosAcceso(); }) || !aceptado) {
            return;
        }
        // The typed data replaces a given connection string.
        if (!pasos.run([&] { gConnString = cadenaConexionServidor(); })) {
            return;
        }
    }
    if (!pasos.run([&] { gCnn.setCursorLocation(lCursor); })) {
        return;
    }
    if (!pasos.run([&] { gCnn.open(gConnString, {}, {}, db::adOptionUnspecified); })) {
        return;
    }
    validarAdministrador(pasos, ValidaAdmin, MuestraError);
}

} // namespace estaciones::data
