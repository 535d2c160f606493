#pragma once

#include <QString>

#include <cstdint>

// The session parameters that IniciarSesion fills and the other session
// routines read. Server, database, user and password are not here: they live
// in the shared DB_Dll (gServidor, gDBName, gUsuario, gUserPassWord).
namespace estaciones::session {

inline QString gParametroAdicional;
inline QString gMenu;
inline QString gUsuarioLogeado; // replaced by DB_Dll's gUsuario once connected
inline QString gCaja = QStringLiteral("1");
inline QString gClaveEstacion;
inline double gFlatToolbars = 1;
inline QString gDsnConexion;
inline std::int32_t gColorFondo = 0xFFFFFF;
inline std::int32_t gColorLetra = 0;
// The main connection's command time-out in seconds; the statistics set-up
// may replace it, 360 otherwise.
inline std::int16_t gTimeOut = 360;

// The program folder, ending in "/", and the operator's help page under it.
inline QString gCarpetaPrograma;
inline QString gArchivoAyuda;

// Back to the values before any start-up (tests, and a new session).
void reiniciarParametrosSesion();

} // namespace estaciones::session
