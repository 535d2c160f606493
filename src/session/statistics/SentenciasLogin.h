#pragma once

#include <QByteArray>
#include <QString>

// The statement texts of the statistics login and database, as the suite's
// other programs send them (the doubled blanks are theirs and are kept).
namespace estaciones::session::estadisticas {

// SQL Server: the login with its default database and the Spanish language.
QString sentenciaAltaLogin(const QString& login, const QString& clave, const QString& baseDeDatos);
// SQL Server: the seven server-wide roles, as one statement text.
QString sentenciaRolesServidor(const QString& login);
// SQL Server: the login's user in the current database.
QString sentenciaAccesoBase(const QString& login);
// SQL Server: the seven database roles, as one statement text.
QString sentenciaRolesBase(const QString& login);

// Oracle: the user, its roles, default roles, quota and execute grants as one
// script, each line ended by CR LF.
QString guionLoginOracle(const QString& login, const QString& clave);

// The bytes of "CDB7.SQL" for database `nombre`: one statement per line,
// CR LF line ends, and one more CR before the end of lines 1 and 3.
QByteArray contenidoCreacionBase(const QString& nombre);

} // namespace estaciones::session::estadisticas
