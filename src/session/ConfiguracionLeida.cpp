#include "session/ConfiguracionLeida.h"

#include "data/DB_Dll.h"
#include "data/TextoSql.h"
#include "platform/db/Recordset.h"
#include "session/Configuracion.h"

#include <QSet>

#include <algorithm>

namespace estaciones::session {

namespace {

const ConfiguracionLeida*& lecturaActual() {
    static const ConfiguracionLeida* actual = nullptr;
    return actual;
}

// The rows of the keys, found by the server's own comparison of the column
// with each key's literal, as the per-key statement finds them.
QString sentenciaDeClaves(const QStringList& claves) {
    QString lista;
    for (const QString& clave : claves) {
        if (!lista.isEmpty()) {
            lista += QLatin1Char(',');
        }
        lista += data::literalSql(clave);
    }
    return QStringLiteral("SELECT CLAVE, VALOR, valoraux FROM ") + gTablaConfiguracion() +
           QStringLiteral(" with(nolock)  WHERE CLAVE IN (") + lista + QLatin1Char(')');
}

bool esAsciiVisible(const QString& texto) {
    return std::all_of(texto.cbegin(), texto.cend(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

// A key of printable ASCII compares the same under any collation the column
// may have, but for case: the server's answer tells which rows match some
// key, and among keys that differ from each other whatever the case, the
// row's key ignoring case (and the trailing blanks a comparison pads) names
// the one it matched.
QString formaComparable(const QString& clave) {
    qsizetype largo = clave.size();
    while (largo > 0 && clave[largo - 1] == QLatin1Char(' ')) {
        --largo;
    }
    return clave.left(largo).toUpper();
}

} // namespace

QString claveDeSentencia(const QString& clave) {
    return clave.trimmed();
}

bool seLeeEnMayusculas(const QString& clave) {
    const QString nombre = claveDeSentencia(clave);
    return nombre.compare(QLatin1String("[FECHA HASTA]"), Qt::CaseInsensitive) == 0 ||
           nombre.compare(QLatin1String("[FECHA DESDE]"), Qt::CaseInsensitive) == 0;
}

const QString& asegurarTablaConfiguracion() {
    if (gTablaConfiguracion().trimmed().isEmpty()) {
        gTablaConfiguracion() = QStringLiteral("TA_CONFIGURACION");
    }
    return gTablaConfiguracion();
}

QString sentenciaDeUnaClave(const QString& clave) {
    const QString sentencia = QStringLiteral("SELECT VALOR, valoraux FROM ") +
                              gTablaConfiguracion() +
                              QStringLiteral(" with(nolock)  WHERE CLAVE = ") +
                              data::literalSql(claveDeSentencia(clave));
    return seLeeEnMayusculas(clave) ? sentencia.toUpper() : sentencia;
}

ConfiguracionLeida::ConfiguracionLeida(data::DB_Dll& db, const QStringList& claves) {
    // Oracle's dictionary rewrites each statement its own way: left to the
    // per-key reads. So is a key whose statement the synonym rules rewrite.
    if (!db.gOpenFlag || db.gConnString.contains(QLatin1String("ORACLE"), Qt::CaseInsensitive)) {
        return;
    }
    asegurarTablaConfiguracion();
    QStringList nombres;
    QHash<QString, QString> porForma; // comparable form -> key
    for (const QString& clave : claves) {
        const QString nombre = claveDeSentencia(clave);
        const QString propia = sentenciaDeUnaClave(clave);
        if (porForma.contains(formaComparable(nombre))) {
            continue; // the same key again, or one that only case tells apart
        }
        if (!seLeeEnMayusculas(clave) && esAsciiVisible(nombre) &&
            db.SS_TSinonimos(propia) == propia) {
            nombres.append(nombre);
            porForma.insert(formaComparable(nombre), nombre);
        }
    }
    if (nombres.isEmpty()) {
        return;
    }
    const QString sentencia = sentenciaDeClaves(nombres);
    if (db.SS_TSinonimos(sentencia) != sentencia) {
        return;
    }
    QHash<QString, LecturaClave> filas;
    for (const QString& nombre : nombres) {
        filas.insert(nombre, std::nullopt);
    }
    try {
        db::Recordset rs;
        rs.open(sentencia, db.gCnn);
        QSet<QString> conFila;
        for (; !rs.eof(); rs.moveNext()) {
            const Variant clave = rs.fields(0).value();
            const QString texto = clave.isNull() ? QString() : clave.toString();
            const auto nombre = porForma.constFind(formaComparable(texto));
            if (clave.isNull() || !esAsciiVisible(texto) || nombre == porForma.constEnd()) {
                return; // a match this reading cannot name: each key reads its own
            }
            if (conFila.contains(*nombre)) {
                continue; // the first row of a key is the one its read takes
            }
            conFila.insert(*nombre);
            filas.insert(*nombre, FilaConfiguracion{rs.fields(1).value(), rs.fields(2).value()});
        }
        rs.close();
    } catch (...) {
        // Nothing kept: each key reports its own failure when it is read.
        return;
    }
    m_db = &db;
    m_filas = std::move(filas);
}

std::optional<LecturaClave> ConfiguracionLeida::lectura(const data::DB_Dll& db,
                                                        const QString& clave) const {
    if (&db != m_db || seLeeEnMayusculas(clave)) {
        return std::nullopt;
    }
    const auto encontrada = m_filas.constFind(claveDeSentencia(clave));
    if (encontrada == m_filas.constEnd()) {
        return std::nullopt;
    }
    return *encontrada;
}

ConfiguracionLeida::Vigente::Vigente(const ConfiguracionLeida& lectura)
    : m_anterior(lecturaActual()) {
    lecturaActual() = &lectura;
}

ConfiguracionLeida::Vigente::~Vigente() {
    // A write ended every reading current: it does not come back either.
    lecturaActual() = lecturaActual() ? m_anterior : nullptr;
}

const ConfiguracionLeida* ConfiguracionLeida::actual() {
    return lecturaActual();
}

void ConfiguracionLeida::olvidarLecturaActual() {
    lecturaActual() = nullptr;
}

} // namespace estaciones::session
