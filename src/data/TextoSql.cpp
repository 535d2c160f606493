#include "data/TextoSql.h"

namespace estaciones::data {

QString textoSql(const QString& texto) {
    QString doblado = texto;
    return doblado.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString literalSql(const QString& texto) {
    return QLatin1Char('\'') + textoSql(texto) + QLatin1Char('\'');
}

} // namespace estaciones::data
