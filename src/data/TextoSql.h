#pragma once

#include <QString>

namespace estaciones::data {

// The one way operator and configuration text enters a statement: `texto`
// ready to sit between apostrophes, each "'" doubled, so a name such as
// O'Brien can never end the literal early.
QString textoSql(const QString& texto);

// The whole quoted literal: "'" + textoSql(texto) + "'".
QString literalSql(const QString& texto);

} // namespace estaciones::data
