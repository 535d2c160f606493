#include "data/LoteOracle.h"

#include <QStringList>

namespace estaciones::data {

namespace {

// 1-based position of the first keyword found from `desde` (1-based), or
// sinPalabraClave.
qsizetype primeraPalabraClave(const QString& texto, qsizetype desde) {
    qsizetype menor = sinPalabraClave;
    for (const QString& clave : palabrasClaveOracle()) {
        const qsizetype i = texto.indexOf(clave, desde - 1, Qt::CaseInsensitive);
        if (i >= 0 && i + 1 < menor) {
            menor = i + 1;
        }
    }
    return menor;
}
} // namespace

const QStringList& palabrasClaveOracle() {
    static const QStringList claves{
        QStringLiteral("INSERT "),         QStringLiteral("DELETE "),  QStringLiteral("UPDATE "),
        QStringLiteral("CREATE "),         QStringLiteral("DROP "),    QStringLiteral("ALTER "),
        QStringLiteral("SET TRANSACTION"), QStringLiteral("COMMIT"),   QStringLiteral("ROLLBACK"),
        QStringLiteral("IF NOT EXIST"),    QStringLiteral("IF EXIST"), QStringLiteral("GRANT ")};
    return claves;
}

QString normalizarLoteOracle(const QString& texto) {
    const QString crlf = QStringLiteral("\r\n");
    QString t = texto;
    auto reemplazar = [&t](const QString& viejo, const QString& nuevo) {
        t.replace(viejo, nuevo, Qt::CaseInsensitive);
    };
    reemplazar(QStringLiteral("SET NOCOUNT ON"), QString());
    reemplazar(QStringLiteral("SET NOCOUNT OFF"), QString());
    reemplazar(QStringLiteral(" GO "), QStringLiteral(" "));
    reemplazar(crlf + QStringLiteral("GO "), QStringLiteral(" "));
    reemplazar(crlf + QStringLiteral("GO "), QStringLiteral(" "));
    reemplazar(crlf + QStringLiteral("GO") + crlf, QStringLiteral(" "));
    reemplazar(QStringLiteral("\r"), QStringLiteral(" "));
    // Line feeds left alone by the carriage-return rule (a text written with
    // bare LF line ends) separate words too.
    reemplazar(crlf, QStringLiteral(" "));
    reemplazar(QStringLiteral("\n"), QStringLiteral(" "));
    reemplazar(QStringLiteral("BEGIN TRANSACTION"), QStringLiteral("SET TRANSACTION"));
    reemplazar(QStringLiteral("BEGIN TRANS"), QStringLiteral("SET TRANSACTION"));
    reemplazar(QStringLiteral("COMMIT TRANSACTION"), QStringLiteral("COMMIT"));
    reemplazar(QStringLiteral("COMMIT TRANS"), QStringLiteral("COMMIT"));
    reemplazar(QStringLiteral("ROLLBACK TRANSACTION"), QStringLiteral("ROLLBACK"));
    reemplazar(QStringLiteral("ROLLBACK TRANS"), QStringLiteral("ROLLBACK"));
    return t;
}

std::vector<PasoLoteOracle> dividirLoteOracle(const QString& normalizado) {
    std::vector<PasoLoteOracle> pasos;
    QString texto = normalizado;
    for (;;) {
        const qsizetype inicio = primeraPalabraClave(texto, 1);
        if (inicio == sinPalabraClave) {
            break;
        }
        const qsizetype siguiente = primeraPalabraClave(texto, inicio + 1);
        const qsizetype fin = siguiente == sinPalabraClave ? sinPalabraClave : siguiente - 1;
        // The piece runs from the keyword to the character before the next
        // one. (The original passed the end position as the length, which
        // takes part of the next statement along whenever text precedes the
        // first keyword.)
        const QString segmento = texto.mid(inicio - 1, fin - inicio + 1).trimmed();
        PasoLoteOracle paso{PasoLoteOracle::Tipo::Sentencia, segmento};
        if (segmento.compare(QLatin1String("SET TRANSACTION"), Qt::CaseInsensitive) == 0) {
            paso.tipo = PasoLoteOracle::Tipo::IniciarTransaccion;
        } else if (segmento.compare(QLatin1String("COMMIT"), Qt::CaseInsensitive) == 0) {
            paso.tipo = PasoLoteOracle::Tipo::ConfirmarTransaccion;
        } else if (segmento.compare(QLatin1String("ROLLBACK"), Qt::CaseInsensitive) == 0) {
            paso.tipo = PasoLoteOracle::Tipo::DeshacerTransaccion;
        }
        pasos.push_back(paso);
        if (fin == sinPalabraClave) {
            break;
        }
        texto = texto.mid(fin);
    }
    return pasos;
}

QString FiltraSentenciaOracle(const QString& Sentencia) {
    if (Sentencia.contains(QLatin1String("SET NOCOUNT"), Qt::CaseInsensitive) ||
        Sentencia.contains(QLatin1String("IF NOT EXIST"), Qt::CaseInsensitive)) {
        return {};
    }
    return Sentencia;
}

} // namespace estaciones::data
