#include "session/access/RegistrarAcceso.h"

#include "data/SharedDb.h"
#include "platform/core/ErrorHandling.h"
#include "platform/os/System.h"
#include "platform/ui/OperatorInterface.h"
#include "session/MostrarError.h"
#include "session/SessionParameters.h"
#include "session/access/AccessTexts.h"
#include "session/access/NombresProgramas.h"
#include "session/library/SharedObjects.h"
#include "session/routines/ArmarSentencia.h"
#include "session/routines/GActualizarDatoScript.h"

#include <QDateTime>

namespace estaciones::session {

namespace {

const QString programaMenuPrincipal = QStringLiteral("CN000PR");
const QString usuarioSupervisor = QStringLiteral("SUPERVISOR TESSERA MC");

bool mismoNombre(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The menu task through which the logged user reaches `nombre`.
QString tareaDelMenu(data::DB_Dll& db, const QString& nombre) {
    // An apostrophe in a name must not end its literal.
    auto literal = [](QString texto) {
        return texto.replace(QLatin1Char('\''), QStringLiteral("''"));
    };
    // The blank after the user is the suite's: the comparison ignores
    // trailing blanks.
    QString consulta = QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , "
                                      "TA_MENU.Nombre ") +
                       QStringLiteral(" FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON "
                                      "TA_TAREAS.TAREA = TA_MENU.Clave ") +
                       QStringLiteral(" WHERE (TA_TAREAS.USUARIO = '") + literal(gUsuarioLogeado) +
                       QStringLiteral(" ') AND (TA_MENU.Proceso LIKE '%") + literal(nombre) +
                       QStringLiteral("%')");
    db::Recordset rs;
    QString tarea;
    ignoringErrors([&] { db.AbrirRecordset(consulta, rs); });
    ignoringErrors([&] {
        if (!rs.bof() && !rs.eof()) {
            tarea = library::textHelper().nullToEmpty(rs["Nombre"].value()).toString();
            return;
        }
        const QString ejecutable = os::executableName();
        if (mismoNombre(ejecutable, programaMenuPrincipal)) {
            tarea = texts::tareaMenuPrincipal;
        } else if (mismoNombre(db.gUsuario, db.gDBName) ||
                   mismoNombre(db.gUsuario, usuarioSupervisor)) {
            tarea = ejecutable;
        }
    });
    ignoringErrors([&] { db.CierraRecordset(rs); });
    return tarea;
}

struct FilaAcceso {
    QString maquina;
    QString usuario;
    QString formulario;
    QString tarea;
    QString ingreso;
    QString nombreUsuario;
};

std::int32_t maximoId(data::DB_Dll& db, const QString& consulta) {
    db::Recordset rs = db.gCnn.execute(consulta);
    if (rs.state() != db::adStateOpen || rs.eof()) {
        return 0;
    }
    const Variant id = rs.fields(0).value();
    return id.isNull() ? 0 : id.toInt32();
}

// The Id the database gave the row just inserted on this connection. Where
// the identity cannot be asked for (Oracle), the newest open row with these
// very values.
std::int32_t idFilaInsertada(data::DB_Dll& db, const FilaAcceso& fila) {
    std::int32_t id = 0;
    const std::optional<Error> error =
        ignoringErrors([&] { id = maximoId(db, QStringLiteral("SELECT @@IDENTITY")); });
    if (!error && id != 0) {
        return id;
    }
    ignoringErrors([&] { db.gCnn.errors().clear(); });
    auto literal = [](const QString& valor) {
        return QLatin1Char('\'') + valor + QLatin1Char('\'');
    };
    ignoringErrors([&] {
        id = maximoId(db, QStringLiteral("SELECT MAX(Id) FROM Control_Acceso WHERE Maquina = ") +
                              literal(fila.maquina) + QStringLiteral(" AND Usuario = ") +
                              literal(fila.usuario) + QStringLiteral(" AND Formulario = ") +
                              literal(fila.formulario) + QStringLiteral(" AND Ingreso = ") +
                              literal(fila.ingreso) + QStringLiteral(" AND EGRESO IS NULL"));
    });
    ignoringErrors([&] { db.gCnn.errors().clear(); });
    return id;
}

} // namespace

QString momentoRegistro() {
    return QDateTime::currentDateTime().toString(formatoQt(FormatoFecha()) + QLatin1Char(' ') +
                                                 formatoQt(FormatoHora()));
}

void RegistrarAcceso(const QString& formulario) {
    data::DB_Dll& db = data::sharedDb();
    const ReglasNombresProgramas& reglas = reglasNombresProgramas();

    QString nombre;
    ignoringErrors([&] {
        nombre = formulario.isEmpty() ? os::executableName() : formulario;
        gUsuarioLogeado = db.gUsuario;
    });
    ignoringErrors([&] { nombre = nombreRegistrado(reglas, nombre); });
    if (mismoNombre(nombre, reglas.silencioso)) {
        return;
    }
    FilaAcceso fila;
    if (!reglas.sinBusquedaDeTarea.contains(nombre, Qt::CaseInsensitive)) {
        fila.tarea = tareaDelMenu(db, nombre);
    }

    ignoringErrors([&] {
        fila.maquina = library::systemInfo().machineName().trimmed().toUpper();
        fila.usuario = gUsuarioLogeado.trimmed().toUpper();
        fila.formulario = nombre.trimmed().toUpper();
        fila.tarea = fila.tarea.trimmed().toUpper();
        fila.ingreso = momentoRegistro();
        fila.nombreUsuario = gUsuarioLogeado;
    });
    bool hayError = true;
    ignoringErrors([&] {
        gSentencias.clear();
        const QString comilla = QStringLiteral("'");
        AgregarCampo(QStringLiteral("Maquina"), fila.maquina, comilla, true);
        AgregarCampo(QStringLiteral("Usuario"), fila.usuario, comilla, false);
        AgregarCampo(QStringLiteral("Formulario"), fila.formulario, comilla, false);
        AgregarCampo(QStringLiteral("Tarea"), fila.tarea, comilla, false);
        AgregarCampo(QStringLiteral("Ingreso"), fila.ingreso, comilla, false);
        AgregarCampo(QStringLiteral("NombreUsuario"), fila.nombreUsuario, comilla, false);
        QString condicion;
        ArmarSentencia(gCampos, gSentencias, QStringLiteral("Control_Acceso"), false, condicion,
                       false);
        std::int32_t numero = 0;
        QString script;
        QString texto;
        GActualizarDatoScript(gSentencias, hayError, numero, false, false, script, texto, true);
    });
    // The row just inserted, not whichever row a TOP 1 read would return:
    // each program must close its own row at the end.
    gIdControlAcceso = 0;
    if (!hayError) {
        gIdControlAcceso = idFilaInsertada(db, fila);
    }
}

void RegistrarEgreso() {
    data::DB_Dll& db = data::sharedDb();
    guarded(
        [&] {
            QString sentencia = QStringLiteral("UPDATE CONTROL_ACCESO ") +
                                QStringLiteral(" SET EGRESO = '") + momentoRegistro() +
                                QStringLiteral("'") + QStringLiteral(" WHERE EGRESO IS NULL AND ") +
                                QStringLiteral(" ID = ") + QString::number(gIdControlAcceso);
            std::int64_t filas = 0;
            db.EjecutaConsultaSQL(sentencia, filas);
        },
        [](const Error& error) {
            ignoringErrors([&] {
                ui::operatorInterface().messageBox(error.description(), ui::style::OKOnly);
            });
        });
}

} // namespace estaciones::session
