#pragma once

#include <QString>

namespace estaciones::library {

// The text helper's "replace in statement": every use of the table `name` in a
// caller's SQL statement becomes `newName`. Unlike a plain replace, letter
// case is ignored (SQL names are), only whole names are replaced (renaming
// V_MA_ARTICULOS leaves V_MA_ARTICULOS_EXT and @Admin_V_MA_ARTICULOS alone)
// and text inside '...' literals is never touched. Names in [brackets], "double
// quotes" or after "dbo." are replaced.
QString replaceNameInStatement(const QString& statement, const QString& name,
                               const QString& newName);

} // namespace estaciones::library
