#pragma once

#include <QString>

// The status bar's and the access log's own words, in one place.
namespace estaciones::session::texts {

inline const QString panelServidor = QStringLiteral("Srv: ");
inline const QString panelUsuario = QStringLiteral("Uid: ");
inline const QString panelBaseDeDatos = QStringLiteral("Db: ");
inline const QString panelVersion = QStringLiteral("V.");
inline const QString descripcionCajaNueva = QStringLiteral("CAJA ");
inline const QString tareaMenuPrincipal = QStringLiteral("Menu Principal");

} // namespace estaciones::session::texts
