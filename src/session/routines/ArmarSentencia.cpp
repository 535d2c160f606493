#include "session/routines/ArmarSentencia.h"

#include "data/SharedDb.h"

#include <QRegularExpression>

namespace estaciones::session {

void AgregarCampo(const QString& campo, QString& valor, const QString& tipo, bool nuevaLista) {
    if (nuevaLista) {
        gCampos.assign(1, CampoValor{});
    } else {
        gCampos.push_back(CampoValor{});
    }
    valor.remove(QLatin1Char('\''));
    CampoValor& ultimo = gCampos.back();
    ultimo.Campo = campo;
    ultimo.Valor = valor.toUpper() == QLatin1String("NULL")
                       ? QStringLiteral("Null")
                       : data::sharedDb().SQLValue(valor, tipo).toString();
}

void ArmarSentencia(ListaCampos& campos, ColaSentencias& sentencias, const QString& tabla,
                    bool esUpdate, QString& condicion, bool conservarCampos) {
    QString sentencia;
    if (esUpdate) {
        QStringList asignaciones;
        for (const CampoValor& c : campos) {
            asignaciones << c.Campo + QStringLiteral(" = ") + c.Valor;
        }
        // A column such as NOWHERE_FLAG must not pass for the keyword.
        static const QRegularExpression palabraWhere(QStringLiteral(R"(\bWHERE\b)"),
                                                     QRegularExpression::CaseInsensitiveOption);
        if (!condicion.contains(palabraWhere)) {
            condicion = QStringLiteral(" WHERE ") + condicion;
        }
        sentencia = QStringLiteral("UPDATE ") + tabla + QStringLiteral(" SET ") +
                    asignaciones.join(u',') + QLatin1Char(' ') + condicion;
    } else {
        QStringList nombres;
        QStringList valores;
        for (const CampoValor& c : campos) {
            nombres << c.Campo;
            valores << c.Valor;
        }
        sentencia = QStringLiteral("INSERT INTO ") + tabla + QStringLiteral(" (") +
                    nombres.join(u',') + QStringLiteral(") VALUES (") + valores.join(u',') +
                    QLatin1Char(')');
    }
    sentencias << sentencia << QString();
    if (!conservarCampos) {
        campos.assign(1, CampoValor{});
    }
}

} // namespace estaciones::session
