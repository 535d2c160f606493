#pragma once

#include <QString>

namespace estaciones::session {

// A query limited with TOP, rewritten for Oracle when the shared connection
// string names it: "select TOP n * from t" becomes
// "select  *  from t WHERE ROWNUM <= n", joined with AND to a WHERE clause the
// query already has and placed before its ORDER BY or GROUP BY. The single
// word LEN becomes LENGTH. Any other text, and every text on other
// databases, is returned unchanged.
QString LimitarFilas(const QString& sentencia);

} // namespace estaciones::session
