#include "lookup/BusquedaServidor.h"

#include "data/TextoSql.h"

namespace estaciones::lookup {

namespace {

struct Partes {
    QString base;
    QString cola;
};

bool esLetraDeNombre(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// Where `palabras` (any letter case, whole words) first stand in `sentencia`
// as SQL: text in '...' literals, "quoted" or [bracketed] names never counts.
// An earlier search leaves the operator's text in a literal, and reading it
// as a clause would cut the statement inside that literal and let the next
// search's text out of its quotes.
qsizetype posicionComoSql(const QString& sentencia, const char* palabras) {
    const QLatin1String buscadas(palabras);
    qsizetype i = 0;
    while (i < sentencia.size()) {
        const QChar c = sentencia[i];
        const QChar cierre = c == u'\'' ? u'\'' : c == u'"' ? u'"' : c == u'[' ? u']' : QChar();
        if (!cierre.isNull()) {
            // A doubled closing character stands for itself.
            for (++i; i < sentencia.size(); ++i) {
                if (sentencia[i] == cierre) {
                    if (i + 1 < sentencia.size() && sentencia[i + 1] == cierre) {
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            ++i;
            continue;
        }
        const qsizetype fin = i + buscadas.size();
        if ((i == 0 || !esLetraDeNombre(sentencia[i - 1])) &&
            QStringView(sentencia).sliced(i).startsWith(buscadas, Qt::CaseInsensitive) &&
            (fin >= sentencia.size() || !esLetraDeNombre(sentencia[fin]))) {
            return i;
        }
        ++i;
    }
    return -1;
}

// Cuts `sentencia` before `palabras`; no cut without them.
void cortarEn(Partes& partes, const QString& sentencia, const char* palabras) {
    const qsizetype posicion = posicionComoSql(sentencia, palabras);
    if (posicion >= 0) {
        partes.base = sentencia.left(posicion);
        partes.cola = sentencia.mid(posicion);
    }
}

QString conector(const QString& sentencia) {
    return posicionComoSql(sentencia, "where") >= 0 ? QStringLiteral(" and ")
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
    cortarEn(partes, sentencia, "order by");
    cortarEn(partes, sentencia, "group by");
    QString calificador;
    if (partes.base.contains(QLatin1String("stk_ma_articulos"), Qt::CaseInsensitive)) {
        calificador = QStringLiteral("stk_ma_articulos.");
    }
    if (partes.base.contains(QLatin1String("v_ma_articulos"), Qt::CaseInsensitive)) {
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
    cortarEn(partes, sentencia, "order by");
    return partes.base + conector(sentencia) + QStringLiteral("Descripcion like '%") +
           data::textoSql(textoBuscado) + QStringLiteral("%' ") + partes.cola;
}

} // namespace estaciones::lookup
