#pragma once

#include <QString>

// The data layer's own words, as the operator sees them, in one place.
namespace estaciones::data::texts {

// Provider names.
inline const QString proveedorSqlServer = QStringLiteral("SQLOLEDB");
inline const QString proveedorOracle = QStringLiteral("OraOLEDB.Oracle.1");
inline const QString proveedorJet40 = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
inline const QString proveedorJet35 = QStringLiteral("Microsoft.Jet.OLEDB.3.51");

// A connection failure and the question to try again.
inline const QString tituloErrorConexion = QStringLiteral(" Error de Conexion a Base de Datos");
inline const QString estadoSql = QStringLiteral(" Estado de Sql: ");
inline const QString numeroError = QStringLiteral("Numero de Error: ");
inline const QString descripcion = QStringLiteral("Descripcion: ");
inline const QString codigoNativo = QStringLiteral("Codigo Nativo: ");
inline const QString deseaReintentar = QStringLiteral(" - Desea Intentarlo Nuevamente??? ");

// The search of a local database file and its password.
inline const QString buscarBaseDatos = QStringLiteral("Buscar Base de Datos");
inline const QString filtroAccess = QStringLiteral("Base de Datos de Microsoft Access |*.MDB");
inline const QString ingresePassword = QStringLiteral("ingrese el password:");
inline const QString tituloPassword = QStringLiteral("Password Access");

// The error treatment's dialog and log line.
inline const QString errorOcurrido = QStringLiteral("Ha ocurrido el Siguiente Error (");
inline const QString avisoOperador = QStringLiteral(" Aviso al operador!!! - 5 ");
inline const QString logRutina = QStringLiteral(" Rutina: ");
inline const QString logMensaje = QStringLiteral(" Mensaje ");
inline const QString logRespondio = QStringLiteral(" Respondió : ");
inline const QString respuestaReintentar = QStringLiteral("Reintentar");
inline const QString respuestaIgnorar = QStringLiteral("Ignorar");
inline const QString respuestaAbortar = QStringLiteral("Abortar");
inline const QString respuestaCancelar = QStringLiteral("Cancelar");
inline const QString respuestaSi = QStringLiteral("Sí");
inline const QString respuestaNo = QStringLiteral("No");
inline const QString archivoErroresPorDefecto = QStringLiteral("TSERR.LOG");

// A lost link while a text that may write was running.
inline const QString resultadoDesconocido = QStringLiteral(
    "Se perdió la conexión con la base de datos mientras se ejecutaba una sentencia que puede "
    "modificar datos: no se sabe si llegó a aplicarse. Compruebe los datos antes de elegir "
    "Reintentar, que la ejecuta de nuevo. ");

// The table look-ups' own error dialog.
inline const QString avisoAlOperador = QStringLiteral("Aviso al Operador");

// The access dialog frmAcceso.
inline const QString tituloAcceso = QStringLiteral("Control de Acceso");
inline const QString plataformaSqlServer = QStringLiteral("SQL Server");
inline const QString plataformaOracle = QStringLiteral("ORACLE");
inline const QString etiquetaServidor = QStringLiteral("&Servidor");
inline const QString etiquetaBaseDatos = QStringLiteral("&Base de Datos");
inline const QString etiquetaUsuario = QStringLiteral("&Usuario");
inline const QString etiquetaContrasena = QStringLiteral("&Contraseña");
inline const QString botonAceptar = QStringLiteral("Aceptar");
inline const QString botonCancelar = QStringLiteral("Cancelar");

} // namespace estaciones::data::texts
