#pragma once

#include <QString>

// The statistics provisioning's own words and fixed names, in one place.
namespace estaciones::session::estadisticas::texts {

// Database, login and password of the statistics database are all this name.
inline const QString baseEstadisticas = QStringLiteral("TS_ESTADISTICAS");

// Files: the generated database script (temporary folder) and the shipped
// creation script (program folder).
inline const QString archivoCreacionBase = QStringLiteral("CDB7.SQL");
inline const QString archivoScriptCompleto = QStringLiteral("completotse.sql");

inline const QString noSeEncuentraArchivo = QStringLiteral("No se encuentra el archivo ");
inline const QString ingreseRuta =
    QStringLiteral(", Por favor, ingrese la ruta donde se encuentra! ");
inline const QString debeCambiarContrasena =
    QStringLiteral("Debe cambiar la contraseña del Usuario ");
inline const QString directivasWindows =
    QStringLiteral(" para que cumpla con las directivas de Windows.");

// The configuration key of the command time-out and its group.
inline const QString claveTimeOut = QStringLiteral("TimeOut");
inline const QString grupoBaseDeDatos = QStringLiteral("BaseDeDatos");

// Routine names handed to the error dialog.
inline const QString rutinaLogins = QStringLiteral("CrearLoginsYRoles");
inline const QString rutinaBase = QStringLiteral("CrearBaseDeDatos");
inline const QString rutinaEjecutar = QStringLiteral("Ejecutar");

} // namespace estaciones::session::estadisticas::texts
