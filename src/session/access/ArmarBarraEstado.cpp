#include "session/access/ArmarBarraEstado.h"

#include "data/SharedDb.h"
#include "data/TextoSql.h"
#include "platform/core/ErrorHandling.h"
#include "session/SessionParameters.h"
#include "session/access/AccessTexts.h"
#include "session/library/SharedObjects.h"

#include <optional>

namespace estaciones::session {

namespace {

const QString mensajePanel = QStringLiteral("MENSAJE");
const QString servidorPanel = QStringLiteral("SERVER");
const QString usuarioPanel = QStringLiteral("USUARIO");
const QString baseDeDatosPanel = QStringLiteral("BASEDEDATOS");
const QString cajaPanel = QStringLiteral("CAJA");
const QString versionPanel = QStringLiteral("VERSION");

constexpr int anchoCodigoCaja = 4;
constexpr int tipoTexto = 8;

QString descripcionCaja(data::DB_Dll& db, const QString& tabla) {
    return db
        .DatosTabla(tabla, gCaja, QStringLiteral("Descripcion"), QStringLiteral("IdCajas"),
                    tipoTexto, QString(), true, true)
        .toString();
}

// Registers the session's till when the till table does not know it. Gives
// the description it found when the panel's read would ask the same again:
// for an administrator both names of the till table are the same table.
std::optional<QString> registrarCaja(data::DB_Dll& db) {
    const QString descripcion = descripcionCaja(db, QStringLiteral("@Admin_V_TA_Cajas"));
    if (!descripcion.trimmed().isEmpty()) {
        return db.gEsAdmin ? std::optional<QString>(descripcion) : std::nullopt;
    }
    // The till comes from the command line: its text goes in as a literal.
    const QString codigo = library::textHelper().pad(gCaja.trimmed(), anchoCodigoCaja);
    QString sentencia =
        QStringLiteral("INSERT INTO @Admin_V_TA_Cajas (IDCAJAS,DESCRIPCION) VALUES(") +
        data::literalSql(codigo) + QLatin1Char(',') +
        data::literalSql(texts::descripcionCajaNueva + gCaja) + QLatin1Char(')');
    std::int64_t filas = 0;
    db.EjecutaConsultaSQL(sentencia, filas);
    return std::nullopt;
}

} // namespace

QString textoVersion() {
    return texts::panelVersion + QStringLiteral(ESTACIONES_VERSION);
}

void ArmarBarraEstado(BarraEstado& barra, const QString& mensaje) {
    data::DB_Dll& db = data::sharedDb();

    ignoringErrors([&] { barra.ponerTexto(mensajePanel, mensaje); });
    bool llenaAntes = false;
    ignoringErrors([&] { llenaAntes = !barra.texto(servidorPanel).isEmpty(); });
    if (llenaAntes) {
        return;
    }
    ignoringErrors([&] { barra.ponerTexto(servidorPanel, texts::panelServidor + db.gServidor); });
    ignoringErrors([&] { barra.ponerTexto(usuarioPanel, texts::panelUsuario + db.gUsuario); });
    ignoringErrors([&] {
        const QString texto = texts::panelBaseDeDatos + db.gDBName;
        barra.ponerTexto(baseDeDatosPanel, texto);
        barra.ponerAyuda(baseDeDatosPanel, texto);
    });
    ignoringErrors([&] {
        if (gCaja.isEmpty()) {
            gCaja = QStringLiteral("1");
        }
    });
    std::optional<QString> descripcionLeida;
    ignoringErrors([&] { descripcionLeida = registrarCaja(db); });
    ignoringErrors([&] {
        barra.ponerTexto(cajaPanel,
                         gCaja + QLatin1Char(' ') +
                             (descripcionLeida ? *descripcionLeida
                                               : descripcionCaja(db, QStringLiteral("V_TA_Cajas"))));
    });
    ignoringErrors([&] { barra.ponerTexto(versionPanel, textoVersion()); });
    for (const QString& clave : {servidorPanel, usuarioPanel, baseDeDatosPanel, cajaPanel}) {
        ignoringErrors([&] { barra.ponerAyuda(clave, barra.texto(clave)); });
    }
}

} // namespace estaciones::session
