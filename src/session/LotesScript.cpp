#include "session/LotesScript.h"

namespace estaciones::session {

namespace {

bool esComentario(const QString& linea) {
    return linea.trimmed().startsWith(QLatin1String("--"));
}

bool esSeparador(const QString& linea, Qt::CaseSensitivity cs) {
    const QString t = linea.trimmed();
    return t.compare(QLatin1String("GO"), cs) == 0 || t == QLatin1String("/");
}

} // namespace

bool LotesScript::open(const QString& archivo) {
    m_terminado = false;
    return m_lineas.open(archivo);
}

std::optional<QString> LotesScript::next() {
    if (m_terminado) {
        return std::nullopt;
    }
    QString lote;
    while (const std::optional<QString> leida = m_lineas.next()) {
        const QString& linea = *leida;
        if (esComentario(linea)) {
            continue;
        }
        if (alLeerLinea && !alLeerLinea(linea)) {
            m_terminado = true;
            return std::nullopt;
        }
        if (esSeparador(linea, m_mayusculas)) {
            return lote;
        }
        lote += linea;
        lote += QLatin1String("\r\n");
    }
    m_terminado = true; // the last batch, after the last separator
    return lote;
}

} // namespace estaciones::session
