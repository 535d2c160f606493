#pragma once

#include "platform/db/Engine.h"

#include <QString>

#include <memory>

namespace estaciones::db::odbc {

// What the ODBC side talks to, which decides a few session details
// (SET DATEFORMAT, how to read an identity back, schema names).
enum class Backend { SqlServer, Oracle, Jet, Generic };

// The driver settings the mapping needs, INI-free: from the environment
// (fromEnvironment) or given directly by tests.
struct OdbcSettings {
    QString freeTdsDriver = QStringLiteral("FreeTDS"); // ESTACIONES_FREETDS_DRIVER
    QString freeTdsPort; // ESTACIONES_FREETDS_PORT ("" = driver's default)
    QString tdsVersion;  // ESTACIONES_TDS_VERSION ("" = driver's default)
    QString oracleDriver = QStringLiteral("Oracle"); // ESTACIONES_ORACLE_DRIVER
    QString mdbDriver = QStringLiteral("MDBTools");  // ESTACIONES_MDB_DRIVER

    static OdbcSettings fromEnvironment();
};

struct MappedConnection {
    QString odbcString; // what SQLDriverConnect gets (holds the password)
    Backend backend = Backend::Generic;
    QString jetFile;  // the .mdb path of a Jet string (checked before connecting)
    QString database; // the database asked for, when the string names one
};

// Maps an ADO connection string to an ODBC one:
//   PROVIDER=SQLOLEDB;Server=host[\instance][,port];Database =db;UId=u;Pwd=p
//     ->
//     Driver={FreeTDS};Server=host[\instance];Port=..;TDS_Version=..;Database=db;UID=u;PWD=p;ClientCharset=UTF-8
//   Provider=OraOLEDB.Oracle.1;Data Source=tns;User Id=u;Password=p
//     -> Driver={Oracle};DBQ=tns;UID=u;PWD=p
//   PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =x.mdb;...  -> Driver={MDBTools};DBQ=x.mdb
//   DSN=... / Driver=... (and Provider=MSDASQL;...) -> unchanged
// `user` / `password`, when not empty, replace the string's. Keywords ignore
// case and blanks around "=". Throws Error 3706 for an unknown provider.
MappedConnection mapConnectionString(const QString& adoString, const QString& user,
                                     const QString& password, const OdbcSettings& settings);

// A new, closed engine over unixODBC.
std::unique_ptr<Engine> createOdbcEngine();

} // namespace estaciones::db::odbc
