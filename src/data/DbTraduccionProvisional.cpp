#include "data/DB_Dll.h"

namespace estaciones::data {

// Interim rewriters. The synonym rewrite needs the schema inspection that
// finds the restricted "SS_" views, and the Oracle dictionary the translation
// tables; both arrive with the schema inspection. Until then every text passes
// unchanged, which is what both give on a SQL Server database without SS_
// views for an administrator.
QString DB_Dll::SS_TSinonimos(const QString& Sentencia) {
    return Sentencia;
}

QString DB_Dll::ORACLE_Dicc(const QString& Valor) {
    return Valor;
}

} // namespace estaciones::data
