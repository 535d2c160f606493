#include "data/DiccionarioOracle.h"

#include "session/library/SharedObjects.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <optional>

namespace estaciones::data {

namespace {


const QString formatoFecha = QStringLiteral("'DD/MM/YYYY'");

bool esParteDeNombre(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') ||
           c == QLatin1Char('#') || c == QLatin1Char('$');
}

// "SELECT TOP n ... [GROUP BY ... | ORDER BY ...]" as a ROWNUM condition
// placed before the grouping or ordering tail.
QString limiteDeFilas(const QString& texto) {
    // "top" must start a word: a column such as LAPTOP is no row limit.
    qsizetype top = texto.indexOf(QLatin1String("top "), 0, Qt::CaseInsensitive);
    while (top > 0 && esParteDeNombre(texto.at(top - 1))) {
        top = texto.indexOf(QLatin1String("top "), top + 1, Qt::CaseInsensitive);
    }
    if (top < 0) {
        return texto;
    }
    qsizetype i = top + 4;
    while (i < texto.size() && texto.at(i).isSpace()) {
        ++i;
    }
    const qsizetype inicioNumero = i;
    while (i < texto.size() && texto.at(i).isDigit()) {
        ++i;
    }
    if (i == inicioNumero) {
        return texto; // TOP without a number: nothing Oracle could limit
    }
    const QString filas = texto.mid(inicioNumero, i - inicioNumero);
    QString cuerpo = texto.mid(i);
    QString colaAgrupada;
    QString colaOrdenada;
    const qsizetype agrupado = cuerpo.indexOf(QLatin1String(" GROUP BY "), 0, Qt::CaseInsensitive);
    if (agrupado >= 0) {
        colaAgrupada = cuerpo.mid(agrupado);
        cuerpo.truncate(agrupado);
    } else {
        const qsizetype ordenado = cuerpo.indexOf(QLatin1String("ORDER BY "), 0, Qt::CaseInsensitive);
        if (ordenado >= 0) {
            colaOrdenada = cuerpo.mid(ordenado);
            cuerpo.truncate(ordenado);
        }
    }
    const QString limite = texto.contains(QLatin1String(" WHERE "), Qt::CaseInsensitive)
                               ? QStringLiteral(" AND ROWNUM <= ")
                               : QStringLiteral(" WHERE ROWNUM <= ");
    return texto.left(top) + QLatin1Char(' ') + cuerpo + QLatin1Char(' ') + limite + filas +
           QLatin1Char(' ') + colaAgrupada + QLatin1Char(' ') + colaOrdenada;
}

QString longitud(QString texto) {
    for (const char* len : {" LEN(", " LEN (", " LEN  (", " LEN   (", " LEN    ("}) {
        texto.replace(QLatin1String(len), QStringLiteral(" LENGTH("), Qt::CaseInsensitive);
    }
    return texto;
}

bool esSeparador(QChar c) {
    switch (c.unicode()) {
    case ' ':
    case '<':
    case '>':
    case '"':
    case '=':
    case '(':
    case ')':
        return true;
    default:
        return false;
    }
}

bool esColumnaDeFecha(const QString& palabra) {
    for (const QString& columna : columnasDeFecha()) {
        if (columna.compare(palabra, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// The WHERE part cut into words; a date column standing alone (followed by a
// blank) is compared as a date. A separator other than a blank stays glued
// to its word, so "FECHA=" is left as it is.
QString columnasComoFecha(const QString& texto) {
    const qsizetype donde = texto.indexOf(QLatin1String(" WHERE "), 0, Qt::CaseInsensitive);
    if (donde < 0) {
        return texto;
    }
    QString resultado = texto.left(donde).trimmed();
    const QString resto = texto.mid(donde + 1).trimmed();
    qsizetype posicion = 0;
    while (posicion < resto.size()) {
        if (resto.at(posicion).isSpace()) {
            ++posicion;
            continue;
        }
        const QChar primero = resto.at(posicion);
        qsizetype fin = -1; // index of the token's last character
        if (primero == QLatin1Char('"') || primero == QLatin1Char('\'')) {
            fin = resto.indexOf(primero, posicion + 1);
        } else {
            for (qsizetype i = posicion + 1; i < resto.size(); ++i) {
                if (esSeparador(resto.at(i))) {
                    fin = i;
                    break;
                }
            }
        }
        if (fin < 0) {
            fin = resto.size() - 1;
        }
        const QString palabra = resto.mid(posicion, fin - posicion + 1).trimmed();
        resultado += QLatin1Char(' ');
        if (esColumnaDeFecha(palabra)) {
            resultado += QStringLiteral("TO_DATE(TO_CHAR(") + palabra + QLatin1Char(',') +
                         formatoFecha + QStringLiteral("),") + formatoFecha + QLatin1Char(')');
        } else {
            resultado += palabra;
        }
        posicion = fin + 1;
    }
    return resultado;
}

int anioDeTexto(const QString& anio) {
    const int valor = anio.toInt();
    if (anio.size() > 2) {
        return valor;
    }
    return valor < 30 ? 2000 + valor : 1900 + valor; // the two-digit window of the suite
}

bool horaValida(const QRegularExpressionMatch& partes, int primera) {
    if (!partes.hasCaptured(primera)) {
        return true;
    }
    const int segundos = partes.hasCaptured(primera + 2) ? partes.captured(primera + 2).toInt() : 0;
    return QTime::isValid(partes.captured(primera).toInt(), partes.captured(primera + 1).toInt(),
                          segundos);
}

// The date a literal's content spells (day first, or year first), if any.
std::optional<QDate> fechaDeLiteral(const QString& contenido) {
    static const QRegularExpression diaPrimero(QStringLiteral(
        R"(^\s*(\d{1,2})[/-](\d{1,2})[/-](\d{4}|\d{2})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    static const QRegularExpression anioPrimero(QStringLiteral(
        R"(^\s*(\d{4})[/-](\d{1,2})[/-](\d{1,2})(?:[\sT]+(\d{1,2}):(\d{2})(?::(\d{2}))?(?:\.\d+)?)?\s*$)"));
    QDate fecha;
    QRegularExpressionMatch partes = diaPrimero.match(contenido);
    if (partes.hasMatch()) {
        fecha = QDate(anioDeTexto(partes.captured(3)), partes.captured(2).toInt(),
                      partes.captured(1).toInt());
    } else {
        partes = anioPrimero.match(contenido);
        if (!partes.hasMatch()) {
            return std::nullopt;
        }
        fecha = QDate(partes.captured(1).toInt(), partes.captured(2).toInt(),
                      partes.captured(3).toInt());
    }
    if (!fecha.isValid() || !horaValida(partes, 4)) {
        return std::nullopt;
    }
    return fecha;
}

// Every quoted date as TO_DATE, then TO_DATE(TO_DATE(x,f),f) as TO_DATE(x,f).
QString literalesDeFecha(const QString& texto) {
    QString resultado;
    qsizetype copiado = 0;
    qsizetype inicio = texto.indexOf(QLatin1Char('\''));
    while (inicio >= 0) {
        // The closing quote is one that is not doubled.
        qsizetype cierre = inicio + 1;
        for (;;) {
            cierre = texto.indexOf(QLatin1Char('\''), cierre);
            if (cierre < 0 || cierre + 1 >= texto.size() ||
                texto.at(cierre + 1) != QLatin1Char('\'')) {
                break;
            }
            cierre += 2;
        }
        if (cierre < 0) {
            break; // an unterminated literal holds no date
        }
        const std::optional<QDate> fecha =
            fechaDeLiteral(texto.mid(inicio + 1, cierre - inicio - 1));
        if (fecha) {
            resultado += texto.mid(copiado, inicio - copiado) + QStringLiteral("TO_DATE('") +
                         fecha->toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral("',") +
                         formatoFecha + QLatin1Char(')');
            copiado = cierre + 1;
        }
        inicio = texto.indexOf(QLatin1Char('\''), cierre + 1);
    }
    resultado += texto.mid(copiado);

    // Each nested pair closes its own call: a blanket replace of the closing
    // text would also cut the ",'DD/MM/YYYY')" of a converted date column.
    const QString anidado = QStringLiteral("TO_DATE(TO_DATE(");
    const QString cierreDoble =
        formatoFecha + QStringLiteral("),") + formatoFecha + QLatin1Char(')');
    for (qsizetype p = resultado.indexOf(anidado, 0, Qt::CaseInsensitive); p >= 0;
         p = resultado.indexOf(anidado, 0, Qt::CaseInsensitive)) {
        resultado.replace(p, anidado.size(), QStringLiteral("TO_DATE("));
        const qsizetype c = resultado.indexOf(cierreDoble, p, Qt::CaseInsensitive);
        if (c >= 0) {
            resultado.replace(c, cierreDoble.size(), formatoFecha + QLatin1Char(')'));
        }
    }
    return resultado;
}

// "= ''" after WHERE: Oracle keeps empty texts as NULL.
QString pruebasDeVacio(const QString& texto) {
    const qsizetype donde = texto.indexOf(QLatin1String("WHERE "), 0, Qt::CaseInsensitive);
    if (donde < 0) {
        return texto;
    }
    // A third quote would make the pair the start of a literal ("= '''x'").
    static const QRegularExpression conBlanco(QStringLiteral("= ''(?!')"));
    static const QRegularExpression sinBlanco(QStringLiteral("=''(?!')"));
    QString cola = texto.mid(donde);
    cola.replace(conBlanco, QStringLiteral(" IS NULL "));
    cola.replace(sinBlanco, QStringLiteral(" IS NULL "));
    return texto.left(donde) + cola;
}

// CONVERT's style 103 inside TO_CHAR(...) as an Oracle date format.
QString estilo103(QString texto) {
    const QString toChar = QStringLiteral("TO_CHAR(");
    qsizetype desde = 0;
    for (qsizetype p = texto.indexOf(QLatin1String("103"), desde); p >= 0;
         p = texto.indexOf(QLatin1String("103"), desde)) {
        const bool numeroSuelto = (p == 0 || !texto.at(p - 1).isDigit()) &&
                                  (p + 3 >= texto.size() || !texto.at(p + 3).isDigit());
        const qsizetype parentesis = texto.lastIndexOf(QLatin1Char('('), p);
        const qsizetype llamada = parentesis - (toChar.size() - 1);
        if (numeroSuelto && llamada >= 0 &&
            QStringView(texto).mid(llamada, toChar.size()).compare(toChar, Qt::CaseInsensitive) == 0) {
            texto.replace(p, 3, formatoFecha);
            desde = p + formatoFecha.size();
        } else {
            desde = p + 3;
        }
    }
    return texto;
}

} // namespace

const QStringList& columnasDeFecha() {
    static const QStringList columnas = {
        QStringLiteral("FECHA"),
        QStringLiteral("FECHAD"),
        QStringLiteral("FECHAH"),
        QStringLiteral("VENCIMIENTO"),
        QStringLiteral("FECHASUBDIARIO"),
        QStringLiteral("FECHAENTREGA"),
        QStringLiteral("FECHA_A_VENCER"),
        QStringLiteral("FECHA_DMR"),
        QStringLiteral("INGRESO"),
        QStringLiteral("EGRESO"),
        QStringLiteral("FECHAHORA_GRABACION"),
        QStringLiteral("FECHAHORA_MODIFICACION"),
        QStringLiteral("FECHA_COMPRA"),
        QStringLiteral("FECHA_REVALUACION"),
        QStringLiteral("VENCIMIENTO_REGISTRO"),
        QStringLiteral("VENCIMIENTO_SEGURO"),
        QStringLiteral("VTO_VTV"),
        QStringLiteral("VTO_C_VERDE"),
        QStringLiteral("VTO_SEGURO"),
        QStringLiteral("FECHAAVISO"),
        QStringLiteral("FECHAALARMA"),
        QStringLiteral("FECHALEIDO"),
        QStringLiteral("FECHAPRESENTACION"),
        QStringLiteral("FECHAVTOPRESENTACION"),
        QStringLiteral("FECHA_CIERRE"),
        QStringLiteral("FECHAMOV"),
        QStringLiteral("FECHA_DESDE"),
        QStringLiteral("FECHA_HASTA"),
        QStringLiteral("FECHA_ALTA"),
        QStringLiteral("FECHA_MODIFICACION"),
        QStringLiteral("\"FECHA DESDE\""),
        QStringLiteral("\"FECHA HASTA\""),
        QStringLiteral("FECHA_INICIO"),
        QStringLiteral("FECHA_FINALIZACION"),
        QStringLiteral("FECHA_RENDICION"),
        QStringLiteral("ACARGODESDE"),
        QStringLiteral("FECHACASAMIENTO"),
        QStringLiteral("FECHAINGRESO"),
        QStringLiteral("FECHANACIMIENTO"),
        QStringLiteral("FECHAINGRESOANTERIOR"),
        QStringLiteral("FECHAEGRESO"),
        QStringLiteral("VENCECONTRATO"),
        QStringLiteral("FECHAALTA"),
        QStringLiteral("PDESDE"),
        QStringLiteral("PHASTA"),
        QStringLiteral("FECHAPROCESO"),
        QStringLiteral("FECHAHORAENTREVISTA"),
        QStringLiteral("FECHAOPERATIVA"),
        QStringLiteral("FECHAPAGO"),
        QStringLiteral("FECHAHORA"),
        QStringLiteral("FECHASOLICITUD"),
        QStringLiteral("FECHACARGA"),
        QStringLiteral("FECHACOMPROMETIDO"),
        QStringLiteral("FECHAORDENCPRA"),
        QStringLiteral("VENCEM"),
        QStringLiteral("VENCER"),
        QStringLiteral("FECHA_GRABACION"),
        QStringLiteral("FHOFERTADESDE"),
        QStringLiteral("FHOFERTAHASTA"),
        QStringLiteral("FHOPERATIVA"),
        QStringLiteral("FHALTA"),
        QStringLiteral("FHCIERRE"),
        QStringLiteral("COT_FECHA"),
        QStringLiteral("FECHAESTINCIO"),
        QStringLiteral("FECHAESTFIN"),
        QStringLiteral("FECHAFINALIZACION"),
        QStringLiteral("FECHAENTREGA"),
        QStringLiteral("FECHAENCPTE"),
        QStringLiteral("FECHAINCIO"),
        QStringLiteral("FECHAFIN"),
        QStringLiteral("FECHAREALINICIO"),
        QStringLiteral("FECHAREALFIN"),
        QStringLiteral("FECHAINVIADO"),
        QStringLiteral("FECHARECIBIDO"),
        QStringLiteral("ACTUALIZADO"),
        QStringLiteral("FECHA_ANULACION"),
        QStringLiteral("DIAMOLIENDA"),
        QStringLiteral("DIAMEZCLA"),
        QStringLiteral("FECHAEMISION"),
        QStringLiteral("FINALIZADO"),
        QStringLiteral("SINCRONIZADO"),
        QStringLiteral("VENCEA"),
        QStringLiteral("VENCEB"),
        QStringLiteral("VENCEC"),
        QStringLiteral("VENCEE"),
        QStringLiteral("VENCEX"),
    };
    return columnas;
}

QString traducirParaOracle(const QString& texto) {
    if (library::textHelper().wordCount(texto) <= 1) {
        // A single word is a function name.
        return texto.trimmed().compare(QLatin1String("LEN"), Qt::CaseInsensitive) == 0
                   ? QStringLiteral("LENGTH")
                   : texto;
    }
    QString resultado = limiteDeFilas(texto);
    resultado = longitud(resultado);
    resultado.replace(QLatin1Char('['), QLatin1Char('"'))
        .replace(QLatin1Char(']'), QLatin1Char('"'));
    resultado = columnasComoFecha(resultado);
    resultado = literalesDeFecha(resultado);
    resultado.replace(QLatin1String("Charindex"), QStringLiteral("InStr"), Qt::CaseInsensitive);
    resultado.replace(QLatin1String("CONVERT(NVARCHAR,"), QStringLiteral("TO_CHAR("),
                      Qt::CaseInsensitive);
    resultado.replace(QLatin1String("CONVERT(INT,"), QStringLiteral("TO_NUMBER("), Qt::CaseInsensitive);
    resultado = pruebasDeVacio(resultado);
    resultado = estilo103(resultado);
    resultado.replace(QLatin1String("SUBSTRING("), QStringLiteral("SUBSTR("), Qt::CaseInsensitive);
    resultado.replace(QLatin1String("ISNULL("), QStringLiteral("NVL("), Qt::CaseInsensitive);
    return resultado;
}

} // namespace estaciones::data
