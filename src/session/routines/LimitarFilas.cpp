#include "session/routines/LimitarFilas.h"

#include "data/SharedDb.h"
#include "session/library/SharedObjects.h"

#include <QRegularExpression>

namespace estaciones::session {

namespace {

const QRegularExpression& palabraTop() {
    // "top" as a word followed by a blank: a table named LAPTOP must not be cut.
    static const QRegularExpression re(QStringLiteral(R"((?<![\w@#$])top )"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The limit added to the rest of the query `resto` (the text after "*").
QString conLimite(const QString& resto, const QString& filas) {
    static const QRegularExpression where(QStringLiteral(R"(\bwhere\b)"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression orden(QStringLiteral(R"(\b(order|group)\s+by\b)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch matchOrden = orden.match(resto);
    const qsizetype finFiltro = matchOrden.hasMatch() ? matchOrden.capturedStart() : resto.size();
    const QString consulta = resto.left(finFiltro);
    const QString cola = resto.mid(finFiltro);
    const QRegularExpressionMatch matchWhere = where.match(consulta);
    if (!matchWhere.hasMatch()) {
        const QString limite = QStringLiteral(" WHERE ROWNUM <= ") + filas;
        return cola.isEmpty() ? consulta + limite : consulta + limite + QLatin1Char(' ') + cola;
    }
    // The existing condition is kept whole (it may hold an OR) and joined
    // with AND: a second WHERE would be a syntax error.
    const QString antes = consulta.left(matchWhere.capturedEnd());
    const QString condicion = consulta.mid(matchWhere.capturedEnd()).trimmed();
    QString unida =
        antes + QStringLiteral(" (") + condicion + QStringLiteral(") AND ROWNUM <= ") + filas;
    return cola.isEmpty() ? unida : unida + QLatin1Char(' ') + cola;
}

} // namespace

QString LimitarFilas(const QString& sentencia) {
    if (!data::sharedDb().gConnString.contains(QLatin1String("oracle"), Qt::CaseInsensitive)) {
        return sentencia;
    }
    if (library::textHelper().wordCount(sentencia) == 1) {
        return sentencia.trimmed().compare(QLatin1String("LEN"), Qt::CaseInsensitive) == 0
                   ? QStringLiteral("LENGTH")
                   : sentencia;
    }
    const QRegularExpressionMatch top = palabraTop().match(sentencia);
    if (!top.hasMatch()) {
        return sentencia;
    }
    const qsizetype inicioTop = top.capturedStart();
    const qsizetype finTop = inicioTop + 3;
    const qsizetype asterisco = sentencia.indexOf(QLatin1Char('*'), finTop);
    if (asterisco < 0) {
        return sentencia;
    }
    const QString antes = sentencia.left(inicioTop);
    const QString filas = sentencia.mid(finTop, asterisco - finTop);
    const QString resto = sentencia.mid(asterisco + 1);
    return antes + QStringLiteral(" * ") + conLimite(resto, filas);
}

} // namespace estaciones::session
