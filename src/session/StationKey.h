#pragma once

#include <QString>

namespace estaciones::session {

// The INI file of the suite's workstation settings.
inline const QString archivoIniEstacion = QStringLiteral("CN000pr.INI");

// The station key: machine name and second identity, upper-cased and joined
// by "|", without the length cut (the INI section of the database keys is
// this followed by "BaseDeDatos").
QString claveEstacionCompleta(const QString& maquina, const QString& identidad);

// The station key as gClaveEstacion keeps it: at most 50 characters.
QString claveEstacion(const QString& maquina, const QString& identidad);

} // namespace estaciones::session
