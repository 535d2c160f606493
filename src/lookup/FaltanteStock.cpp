#include "lookup/FaltanteStock.h"

#include "data/TextoSql.h"
#include "lookup/LookupTexts.h"
#include "session/library/SharedObjects.h"

namespace estaciones::lookup {

QString preguntaFaltante(const QString& codigo, const QString& descripcion) {
    return texto::InformarFaltante + codigo + u' ' + descripcion + u'\n' + texto::ComoFaltante;
}

QString sentenciaFaltante(const QDateTime& ahora, const QString& codigo, const QString& descripcion,
                          const QString& usuario) {
    // The session reads date literals day-month-year.
    const QString fecha = ahora.toString(QStringLiteral("d/M/yyyy HH:mm:ss"));
    return QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) "
                          "values('") +
           fecha + QStringLiteral("','") + data::textoSql(library::textHelper().pad(codigo, 25)) +
           QStringLiteral("','") + data::textoSql(descripcion) + QStringLiteral("','") +
           data::textoSql(usuario) + QStringLiteral("')");
}

} // namespace estaciones::lookup
