#pragma once

#include <QString>

// The operator texts of the shared library objects, in one place so that they
// can be compared with what the operator sees.
namespace estaciones::library::texts {

inline const QString errorMessageStart = QStringLiteral("Ha ocurrido el Siguiente Error (");
inline const QString errorRoutine = QStringLiteral("Rutina: ");
inline const QString operatorNotice = QStringLiteral("Aviso al Operador");
inline const QString openFileTitle = QStringLiteral("Abrir");

} // namespace estaciones::library::texts
