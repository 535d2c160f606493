#pragma once

#include <QDateTime>
#include <QString>

// F12 in an article lookup: the selected article recorded as a stock shortage.
namespace estaciones::lookup {

// The question put to the operator.
QString preguntaFaltante(const QString& codigo, const QString& descripcion);

// The INSERT into V_MV_FALTANTES. The code is right-aligned in 25 characters
// as article codes are stored; apostrophes are doubled, so a description
// such as "1/2'' CAÑO" is recorded rather than lost.
QString sentenciaFaltante(const QDateTime& ahora, const QString& codigo, const QString& descripcion,
                          const QString& usuario);

} // namespace estaciones::lookup
