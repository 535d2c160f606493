#pragma once

#include <QString>

// The shared routines' own words, as the operator sees them, in one place.
namespace estaciones::session::texts {

inline const QString avisoAlOperador = QStringLiteral("Aviso al Operador!");
inline const QString opcionNoImplementada =
    QStringLiteral("Opcion no Implementada!\rComuniquese con su proveedor de sistemas");
inline const QString tituloAtencion = QStringLiteral("Atención");

} // namespace estaciones::session::texts
