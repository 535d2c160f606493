#pragma once

#include "data/DB_Dll.h"

#include <QString>

namespace estaciones::session::estadisticas {

// Creates `login` (password `clave`, default database `baseDeDatos`) with
// its roles on the server of `conexion` (nullptr: the shared data access
// object). SQL Server: a login that exists already (15025) ends the routine;
// a missing default database (15010) is created with CrearBaseDeDatos; a
// password the server's policy rejects (15116) is reported and the roles are
// granted all the same. Oracle (the shared object's provider names it): one
// script creates the user and grants its roles. Errors in the command are
// passed over; others go to MostrarError (retry, skip, or leave).
void CrearLoginsYRoles(const QString& baseDeDatos, const QString& login, const QString& clave,
                       data::DB_Dll* conexion = nullptr);

} // namespace estaciones::session::estadisticas
