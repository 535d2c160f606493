#include "session/access/RegistrarAcceso.h"

#include "data/SharedDb.h"
#include "data/TextoSql.h"
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
    // The blank after the user is the suite's: the comparison ignores
    // trailing blanks.
    QString consulta = QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , "
                                      "TA_MENU.Nombre ") +
                       QStringLiteral(" FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON "
                                      "TA_TAREAS.TAREA = TA_MENU.Clave ") +
                       QStringLiteral(" WHERE (TA_TAREAS.USUARIO = '") +
                       data::textoSql(gUsuarioLogeado) +
                       QStringLiteral(" ') AND (TA_MENU.Proceso LIKE '%") + data::textoSql(nombre) +
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

std::int32_t comoId(const Variant& valor) {
    return valor.isNull() || valor.isEmpty() ? 0 : valor.toInt32();
}

// Servers that speak T-SQL (SQL Server, the embedded engine) tell the
// identity of the row a batch inserted with SCOPE_IDENTITY(), in that batch:
// @@IDENTITY, asked later, names whatever row a trigger on Control_Acceso
// wrote elsewhere (audit tables are common).
bool leeIdentidadEnElLote(const db::Connection& conexion) {
    const QString proveedor = conexion.provider();
    for (const char* tsql : {"SQLOLEDB", "SQLNCLI", "MSOLEDBSQL"}) {
        if (proveedor.startsWith(QLatin1String(tsql), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

const QString consultaIdentidad = QStringLiteral("SELECT SCOPE_IDENTITY() AS Id");

// The Id of the row just inserted: the one the batch read back, or, where
// the server cannot say (Oracle, other ODBC sources), the newest open row
// with these very values.
std::int32_t idFilaInsertada(data::DB_Dll& db, const FilaAcceso& fila,
                             const db::Recordset& identidad) {
    std::int32_t id = 0;
    ignoringErrors([&] {
        if (identidad.state() == db::adStateOpen && !identidad.eof()) {
            id = comoId(identidad.fields(0).value());
        }
    });
    if (id != 0) {
        return id;
    }
    ignoringErrors([&] {
        db::Recordset rs =
            db.gCnn.execute(QStringLiteral("SELECT MAX(Id) FROM Control_Acceso WHERE Maquina = ") +
                            data::literalSql(fila.maquina) + QStringLiteral(" AND Usuario = ") +
                            data::literalSql(fila.usuario) + QStringLiteral(" AND Formulario = ") +
                            data::literalSql(fila.formulario) + QStringLiteral(" AND Ingreso = ") +
                            data::literalSql(fila.ingreso) + QStringLiteral(" AND EGRESO IS NULL"));
        if (rs.state() == db::adStateOpen && !rs.eof()) {
            id = comoId(rs.fields(0).value());
        }
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
    db::Recordset identidad;
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
        if (leeIdentidadEnElLote(db.gCnn)) {
            gSentencias << consultaIdentidad;
        }
        std::int32_t numero = 0;
        QString script;
        QString texto;
        GActualizarDatoScript(gSentencias, hayError, numero, false, false, script, texto, true,
                              &identidad);
    });
    // The row just inserted, not whichever row a TOP 1 read would return:
    // each program must close its own row at the end.
    gIdControlAcceso = 0;
    if (!hayError) {
        gIdControlAcceso = idFilaInsertada(db, fila, identidad);
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
