#pragma once

#include "session/library/IniFile.h"

#include <QString>

namespace estaciones::session {

// The default command line of a station started without one, from the
// station's database section of CN000pr.INI ("Servidor", "DbName", and the
// encoded "Usuario" and "UserPassWord", whose absent keys give the suite's
// default login "Tessera" / "quendar").
QString lineaComandosDesdeIni(const library::IniFile& ini, const QString& claveEstacionCompleta);

} // namespace estaciones::session
