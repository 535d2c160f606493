#include "data/DB_Dll.h"
#include "data/TextoSql.h"

#include "data/CodigosTipo.h"
#include "data/DataTexts.h"
#include "data/ValorNumerico.h"
#include "platform/ui/OperatorInterface.h"
#include "session/library/SharedObjects.h"

namespace estaciones::data {

namespace {


// How a look-up writes its key, from the caller's type code.
enum class FormaClave { Texto, Fecha, Numero, Otra };

FormaClave formaClave(const Variant& Tipodato) {
    if (esCodigoDeTipo(Tipodato, {8})) {
        return FormaClave::Texto;
    }
    if (esCodigoDeTipo(Tipodato, {7})) {
        return FormaClave::Fecha;
    }
    if (esCodigoDeTipo(Tipodato, {3, 5, 4})) {
        return FormaClave::Numero;
    }
    return FormaClave::Otra;
}

// The key as a number: its numeric value written back as text.
QString claveNumerica(const QString& valor) {
    return Variant(valorNumerico(valor)).toString().trimmed();
}

// The two existence checks build the same statement shapes with their own
// blanks, which the suite's logs and the tests compare as they are.
struct FormaExistencia {
    QString seleccion;        // up to and including "FROM "
    QString antesDeCondicion; // the hint before the caller's condition
    QString antesDeClave;     // the hint and WHERE before a typed key
    bool textoRecortado;      // text keys: both sides trimmed (TOP form)
};

const FormaExistencia formaConTop{QStringLiteral("SELECT TOP 1 * FROM "),
                                  QStringLiteral(" with(nolock) "),
                                  QStringLiteral(" with(nolock)  WHERE "), true};
const FormaExistencia formaSinTop{QStringLiteral("SELECT * FROM "),
                                  QStringLiteral(" with(nolock)  "),
                                  QStringLiteral(" with(nolock)   WHERE "), false};

QString textoExistencia(const FormaExistencia& forma, const QString& Tabla,
                        const QString& ValorBuscado, const QString& Campo, const Variant& Tipodato,
                        const QString& Condicion) {
    if (!Condicion.trimmed().isEmpty()) {
        const bool traeWhere = Condicion.contains(QLatin1String(" WHERE "), Qt::CaseInsensitive);
        return forma.seleccion + Tabla + forma.antesDeCondicion +
               (traeWhere ? QStringLiteral(" ") : QStringLiteral(" WHERE ")) + Condicion;
    }
    const QString donde = forma.seleccion + Tabla + forma.antesDeClave + Campo;
    switch (formaClave(Tipodato)) {
    case FormaClave::Texto:
        if (forma.textoRecortado) {
            // Both sides trimmed; this one form has two blanks before "*".
            return QStringLiteral("SELECT TOP 1  * FROM ") + Tabla +
                   QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(") + Campo +
                   QStringLiteral(")) ='") + textoSql(ValorBuscado.trimmed()) + QLatin1Char('\'');
        }
        // The key exactly as given: blanks are part of it.
        return donde + QStringLiteral(" ='") + textoSql(ValorBuscado) + QLatin1Char('\'');
    case FormaClave::Fecha:
        // The caller writes the date literal, quotes included.
        return donde + QStringLiteral(" = ") + ValorBuscado.trimmed() + QLatin1Char(' ');
    case FormaClave::Numero:
        return donde + QStringLiteral(" = ") + claveNumerica(ValorBuscado);
    case FormaClave::Otra:
        break;
    }
    return donde + QStringLiteral(" = ") + ValorBuscado;
}

// The look-ups' own error rule (not the error treatment): the description
// under "Aviso al Operador" with Abort / Retry / Ignore.
HandledSteps avisoAlOperador() {
    return HandledSteps([](const Error& error) {
        return ui::operatorInterface().messageBox(error.description(),
                                                  ui::style::AbortRetryIgnore | ui::style::Critical,
                                                  texts::avisoAlOperador);
    });
}

QString textoNuloSeguro(const Variant& valor) {
    return library::textHelper().nullToEmpty(valor).toString();
}

bool sinCondicion(const Variant& Condicion) {
    return Condicion.isEmpty() || Condicion.isNull() || Condicion.toString().trimmed().isEmpty();
}

// Opens `sql` (or the caller's recordset on it) and tells whether a row came
// back. The caller's recordset stays open; a private one is closed.
bool evaluarExistencia(db::Connection& conexion, const QString& sql, db::Recordset* Lrcs,
                       bool SoloLectura) {
    HandledSteps pasos = avisoAlOperador();
    bool hayFila = false;
    if (!Lrcs) {
        db::Recordset privado;
        if (!pasos.run([&] { privado.open(sql, conexion); })) {
            return false;
        }
        if (privado.state() == db::adStateClosed) {
            return false;
        }
        if (!pasos.run([&] { hayFila = !privado.bof(); }) || !pasos.run([&] { privado.close(); })) {
            return false;
        }
        return hayFila;
    }
    if (!pasos.run([&] {
            if (Lrcs->state() != db::adStateClosed) {
                Lrcs->close();
            }
        })) {
        return false;
    }
    const bool abierto = pasos.run([&] {
        if (SoloLectura) {
            Lrcs->open(sql, conexion, db::adOpenForwardOnly, db::adLockReadOnly);
        } else {
            Lrcs->open(sql, conexion, Lrcs->cursorType(), Lrcs->lockType());
        }
    });
    if (!abierto || Lrcs->state() == db::adStateClosed) {
        return false;
    }
    if (!pasos.run([&] { hayFila = !Lrcs->bof(); })) {
        return false;
    }
    return hayFila;
}

} // namespace

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                           db::Recordset* Lrcs, const Variant& Tipodato, const QString& Condicion,
                           bool SoloLectura) {
    const QString sql = SS_TSinonimos(
        textoExistencia(formaConTop, Tabla, ValorBuscado, Campo, Tipodato, Condicion));
    // Only the private recordset's text is translated for Oracle.
    return evaluarExistencia(gCnn, Lrcs ? sql : ORACLE_Dicc(sql), Lrcs, SoloLectura);
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado,
                             const QString& Campo, db::Recordset* Lrcs, const Variant& Tipodato,
                             const QString& Condicion, bool SoloLectura) {
    const QString sql =
        textoExistencia(formaSinTop, Tabla, ValorBuscado, Campo, Tipodato, Condicion);
    return evaluarExistencia(gCnn, sql, Lrcs, SoloLectura);
}

Variant DB_Dll::DatosTabla(const QString& Tabla, const QString& ValorBuscado,
                           const QString& CampoDevuelto, const QString& Campo,
                           const Variant& Tipodato, const QString& Condicion, bool UsaTrim,
                           bool IgnoraError) {
    // Nothing to ask without a connection; Empty tells the caller so.
    if (!gOpenFlag && gCnn.state() == db::adStateClosed) {
        return Variant();
    }
    const QString conector = Condicion.trimmed().isEmpty() ? QString() : QStringLiteral(" AND ");
    const QString donde =
        QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE ");
    QString sql;
    switch (formaClave(Tipodato)) {
    case FormaClave::Texto:
        sql = UsaTrim ? donde + QStringLiteral("LTRIM(RTRIM(") + Campo + QStringLiteral(")) ='") +
                            textoSql(ValorBuscado.trimmed()) + QStringLiteral("' ")
                      : donde + Campo + QStringLiteral(" ='") + textoSql(ValorBuscado) +
                            QStringLiteral("' ");
        break;
    case FormaClave::Fecha:
        sql =
            donde + Campo + QStringLiteral(" = #") + ValorBuscado.trimmed() + QStringLiteral("# ");
        break;
    case FormaClave::Numero:
        sql = donde + Campo + QStringLiteral(" = ") + claveNumerica(ValorBuscado);
        break;
    case FormaClave::Otra:
        sql = donde + Campo + QStringLiteral(" = ") + ValorBuscado;
        break;
    }
    sql += conector + Condicion;

    db::Recordset rs;
    AbrirRecordset(sql, rs, std::nullopt, db::adOpenForwardOnly, db::adLockReadOnly,
                   db::adOptionUnspecified, true);
    if (!gOpenFlag) {
        return Variant();
    }
    // A failed open was already shown by the error treatment.
    Variant valor = QString();
    if (rs.state() == db::adStateClosed) {
        return valor;
    }
    HandledSteps pasos =
        IgnoraError ? HandledSteps([](const Error&) { return 0; }) : avisoAlOperador();
    bool hayFila = false;
    if (pasos.run([&] { hayFila = !rs.bof(); }) && hayFila) {
        pasos.run([&] { valor = textoNuloSeguro(rs[CampoDevuelto].value()); });
    }
    ignoringErrors([&] { rs.close(); });
    return valor;
}

Variant DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo,
                            const Variant& Condicion) {
    static const QString sinCero = QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'");
    const bool articulos = QueTabla.compare(QLatin1String("V_MA_ARTICULOS"), Qt::CaseInsensitive) == 0;
    QString condicion = sinCondicion(Condicion) ? QString() : Condicion.toString();
    for (;;) {
        QString sql = QStringLiteral("SELECT MAX(") + QueCampo +
                      QStringLiteral(") AS MAYOR FROM ") + QueTabla;
        if (!condicion.trimmed().isEmpty()) {
            sql += QStringLiteral(" WHERE ") + condicion.trimmed();
        }
        db::Recordset rs;
        rs.open(sql, gCnn);
        if (rs.bof()) {
            rs.close();
            return Variant();
        }
        const Variant mayor =
            library::textHelper().nullToEmpty(rs[QStringLiteral("MAYOR")].value());
        rs.close();
        // Left-aligned codes starting with "0" (imported barcodes) sort above
        // the suite's right-aligned numeric codes: look again without them.
        // Once is enough; a condition whose OR lets such codes back in would
        // otherwise make this ask for ever.
        const bool empiezaConCero = mayor.toString().trimmed().startsWith(QLatin1Char('0'));
        if (articulos && empiezaConCero && !condicion.contains(sinCero)) {
            condicion =
                condicion.isEmpty() ? sinCero : condicion + QStringLiteral(" and") + sinCero;
            continue;
        }
        if (esCodigoDeTipo(Tipo, {7})) {
            return mayor;
        }
        return valorNumerico(mayor.toString());
    }
}

Variant DB_Dll::BuscaMinimo(const QString& QueTabla, const QString& QueCampo,
                            const Variant& /*Tipo*/, const Variant& Condicion) {
    QString sql = QStringLiteral("SELECT MIN(") + QueCampo + QStringLiteral(") AS MENOR FROM ") +
                  QueTabla + QStringLiteral("  with(nolock) ");
    if (!sinCondicion(Condicion)) {
        sql += QStringLiteral(" WHERE ") + Condicion.toString().trimmed();
    }
    db::Recordset rs;
    rs.open(sql, gCnn);
    Variant resultado;
    if (!rs.bof()) {
        resultado = valorNumerico(textoNuloSeguro(rs[QStringLiteral("MENOR")].value()));
    }
    rs.close();
    return resultado;
}

Variant DB_Dll::BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo,
                                  const Variant& /*Tipo*/, const QString& Condicion) {
    QString sql =
        QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (!Condicion.trimmed().isEmpty()) {
        sql += QStringLiteral(" WHERE ") + Condicion;
    }
    db::Recordset rs;
    rs.open(sql, gCnn);
    Variant resultado;
    if (!rs.bof()) {
        resultado = valorNumerico(textoNuloSeguro(rs[QStringLiteral("MAYOR")].value()));
    }
    rs.close();
    return resultado;
}

} // namespace estaciones::data
