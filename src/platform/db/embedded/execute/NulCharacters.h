#pragma once

#include <QString>

namespace estaciones::db::sqlite {

// SQLite reads statement text only up to a NUL. A NUL inside a string
// literal becomes char(0) joined to the rest of the literal, so the value
// keeps it; one outside a literal fails as the syntax error it is (102).
QString withNulCharactersSpelled(const QString& sqliteText);

} // namespace estaciones::db::sqlite
