#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// A translated statement typed against the schema, as the server types it:
// divisions of whole numbers keep their fraction, money and decimal
// arithmetic is exact (withFractionalDivisions), texts compared with money
// and decimal values convert to their type (withTextComparedAsNumbers),
// numbers put in text columns become the text of their type
// (withNumbersAsColumnText).
QString typedForSchema(sqlite3* db, const QString& statement);

} // namespace estaciones::db::sqlite
