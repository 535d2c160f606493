#include "session/Configuracion.h"

#include "data/SharedDb.h"
#include "data/TextoSql.h"
#include "platform/core/ErrorHandling.h"
#include "session/ConexionEstadisticas.h"
#include "session/ConfiguracionLeida.h"
#include "session/MostrarError.h"
#include "session/library/SharedObjects.h"

namespace estaciones::session {

namespace {

// The key's answer from its row, or from its absence (" ", no ValorAux).
QString respuesta(const LecturaClave& fila, QString& ValorAux) {
    if (!fila) {
        ValorAux.clear();
        return QStringLiteral(" ");
    }
    const auto& texto = library::textHelper();
    QString valor = texto.nullToEmpty(fila->valor).toString();
    ValorAux = texto.nullToEmpty(fila->valorAux).toString();
    return valor;
}

QString leerValor(data::DB_Dll& db, const QString& Clave, QString& ValorAux,
                  const QString& rutina) {
    QString resultado;
    bool completo = true;
    bool abandonar = false;
    const ConfiguracionLeida* leida = ConfiguracionLeida::actual();
    const std::optional<LecturaClave> yaLeida =
        leida ? leida->lectura(db, Clave) : std::optional<LecturaClave>();
    if (yaLeida) {
        resultado = respuesta(*yaLeida, ValorAux);
    } else {
        db::Recordset rs;
        // Ignore goes on with the next step; any other answer, Retry included,
        // leaves with an empty text (the reader never repeats a step).
        HandledSteps pasos([&](const Error& error) {
            const int respuesta = MostrarError(error, std::nullopt, rutina);
            if (respuesta == answer::Ignore) {
                return answer::Ignore;
            }
            abandonar = true;
            return 0;
        });
        QString sentencia;
        completo = pasos.run([&] { asegurarTablaConfiguracion(); }) && pasos.run([&] {
            sentencia = sentenciaDeUnaClave(Clave);
        }) && pasos.run([&] {
            db.AbrirRecordset(sentencia, rs);
        }) && pasos.run([&] {
            if (rs.bof()) {
                resultado = respuesta(std::nullopt, ValorAux);
            } else {
                resultado = respuesta(
                    FilaConfiguracion{rs[QStringLiteral("Valor")].value(),
                                      rs[QStringLiteral("ValorAux")].value()},
                    ValorAux);
            }
        });
        ignoringErrors([&] { db.CierraRecordset(rs); });
    }
    if (!completo && abandonar) {
        return {};
    }
    if (Clave.compare(QLatin1String("THEME"), Qt::CaseInsensitive) == 0 &&
        resultado.trimmed().isEmpty()) {
        resultado = QStringLiteral("1");
    }
    return resultado;
}

void grabarValor(data::DB_Dll& db, const QString& Clave, const Variant& Valor,
                 const QString& ValorAux, bool PoliticaNegocio, const QString& Grupo,
                 bool RecortaValor) {
    // What was read before this write no longer answers for the table.
    ConfiguracionLeida::olvidarLecturaActual();
    const auto& texto = library::textHelper();
    db::Recordset rs;
    QString sentencia = QStringLiteral("SELECT * FROM ") + gTablaConfiguracion() +
                        QStringLiteral(" with(nolock)  WHERE CLAVE = ") + data::literalSql(Clave);
    ignoringErrors([&] {
        db.AbrirRecordset(sentencia, rs, db.gCnn, db::adOpenDynamic, db::adLockOptimistic);
    });
    ignoringErrors([&] {
        if (rs.bof()) {
            rs.addNew();
        } else {
            rs.moveFirst();
        }
    });
    ignoringErrors([&] { rs[QStringLiteral("Grupo")].setValue(texto.nullToEmpty(Grupo)); });
    ignoringErrors([&] {
        rs[QStringLiteral("Clave")].setValue(texto.nullToEmpty(Clave.trimmed().toUpper()));
    });
    ignoringErrors([&] {
        // A number is stored in its text form ("65280").
        const Variant valor = texto.nullToEmpty(Valor);
        rs[QStringLiteral("Valor")].setValue(RecortaValor ? Variant(valor.toString().trimmed())
                                                          : Variant(valor.toString()));
    });
    ignoringErrors([&] {
        rs[QStringLiteral("PoliticaNegocio")].setValue(texto.nullToEmpty(PoliticaNegocio));
    });
    if (!ValorAux.isEmpty()) {
        ignoringErrors([&] { rs[QStringLiteral("ValorAux")].setValue(ValorAux.trimmed()); });
    }
    ignoringErrors([&] { rs.update(); });
    ignoringErrors([&] { db.CierraRecordset(rs); });
}

} // namespace

QString& gTablaConfiguracion() {
    static QString tabla;
    return tabla;
}

QString Cfg(const QString& Clave, QString& ValorAux) {
    data::DB_Dll& db = data::sharedDb();
    if (!db.gOpenFlag) {
        return {};
    }
    return leerValor(db, Clave, ValorAux, QStringLiteral("Cfg"));
}

QString Cfg(const QString& Clave) {
    QString ignorado;
    return Cfg(Clave, ignorado);
}

QString CfgTS(const QString& Clave, QString& ValorAux) {
    return leerValor(gDBEstadisticas(), Clave, ValorAux, QStringLiteral("CfgTS"));
}

QString CfgTS(const QString& Clave) {
    QString ignorado;
    return CfgTS(Clave, ignorado);
}

void GrabaCfg(const QString& Clave, const Variant& Valor, const QString& ValorAux,
              bool PoliticaNegocio, const QString& Grupo, bool RecortaValor) {
    grabarValor(data::sharedDb(), Clave, Valor, ValorAux, PoliticaNegocio, Grupo, RecortaValor);
}

void GrabaCfgTS(const QString& Clave, const Variant& Valor, const QString& ValorAux,
                bool PoliticaNegocio, const QString& Grupo, bool RecortaValor) {
    grabarValor(gDBEstadisticas(), Clave, Valor, ValorAux, PoliticaNegocio, Grupo, RecortaValor);
}

} // namespace estaciones::session
