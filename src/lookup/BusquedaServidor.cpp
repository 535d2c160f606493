#include "lookup/BusquedaServidor.h"

#include "data/TextoSql.h"

namespace estaciones::lookup {

namespace {
constexpr auto sinMayusculas = Qt::CaseInsensitive;

struct Partes {
    QString base;
    QString cola;
};

// Cuts `sentencia` before `palabras` (any letter case); no cut without them.
void cortarEn(Partes& partes, const QString& sentencia, const char* palabras) {
    const qsizetype posicion = sentencia.indexOf(QLatin1String(palabras), 0, sinMayusculas);
    if (posicion >= 0) {
        partes.base = sentencia.left(posicion);
        partes.cola = sentencia.mid(posicion);
    }
}

QString conector(const QString& sentencia) {
    return sentencia.contains(QLatin1String("where"), sinMayusculas) ? QStringLiteral(" and ")
                                                                     : QStringLiteral(" where ");
}
} // namespace

QString textoComodines(const QString& textoBuscado) {
    QString texto = textoBuscado;
    return texto.replace(u'*', u'%');
}

QString sentenciaBusquedaLista(const QString& sentencia, const QString& campo,
                               const QString& textoBuscado, bool usaLike) {
    Partes partes{sentencia, QString()};
    if (sentencia.contains(QLatin1String("order"), sinMayusculas)) {
        cortarEn(partes, sentencia, "order by");
    }
    if (sentencia.contains(QLatin1String("group by"), sinMayusculas)) {
        cortarEn(partes, sentencia, "group by");
    }
    QString calificador;
    if (partes.base.contains(QLatin1String("stk_ma_articulos"), sinMayusculas)) {
        calificador = QStringLiteral("stk_ma_articulos.");
    }
    if (partes.base.contains(QLatin1String("v_ma_articulos"), sinMayusculas)) {
        calificador = QStringLiteral("v_ma_articulos.");
    }
    const QString inicio = partes.base + conector(sentencia) + calificador + campo;
    if (usaLike) {
        QString texto = textoBuscado;
        texto.replace(u' ', u'%');
        return inicio + QStringLiteral(" like '%") + data::textoSql(texto) + QStringLiteral("%' ") +
               partes.cola;
    }
    return inicio + QStringLiteral(" like '") + data::textoSql(textoComodines(textoBuscado)) +
           QStringLiteral("%' ") + partes.cola;
}

QString sentenciaBusquedaArbol(const QString& sentencia, const QString& textoBuscado) {
    Partes partes{sentencia, QString()};
    if (sentencia.contains(QLatin1String("order"), sinMayusculas)) {
        cortarEn(partes, sentencia, "order by");
    }
    return partes.base + conector(sentencia) + QStringLiteral("Descripcion like '%") +
           data::textoSql(textoBuscado) + QStringLiteral("%' ") + partes.cola;
}

} // namespace estaciones::lookup
