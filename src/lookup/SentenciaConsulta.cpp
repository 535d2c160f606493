#include "lookup/SentenciaConsulta.h"

#include "session/library/SharedObjects.h"

namespace estaciones::lookup {

namespace {

bool igual(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// The column list of a mask record: "|A|B|" becomes "A,B".
QString columnasDeMascara(const QString& campo) {
    QString columnas = limpiarCampoMascara(campo).replace(u'|', u',').trimmed();
    if (columnas.startsWith(u',')) {
        columnas.remove(0, 1);
    }
    if (columnas.endsWith(u',')) {
        columnas.chop(1);
    }
    return columnas.isEmpty() ? QStringLiteral("*") : columnas;
}
} // namespace

int limiteFilas(const QString& topConsArt) {
    bool esNumero = false;
    const double valor = topConsArt.trimmed().toDouble(&esNumero);
    if (!esNumero || valor < 1) {
        return 1000;
    }
    return static_cast<int>(valor);
}

void normalizarWhere(QString& Where) {
    // A filter that brings its own WHERE stays as it is: framed, it would
    // read "(WHERE ...)" and break the statement it is appended to.
    const bool conWhere = Where.trimmed().startsWith(QLatin1String("WHERE "), Qt::CaseInsensitive);
    if (Where.trimmed().size() > 1 && !Where.startsWith(u'(') && !conWhere) {
        Where = QStringLiteral(" (") + Where + QStringLiteral(") ");
    }
}

bool esSentenciaCompleta(const QString& SQL) {
    return SQL.contains(QLatin1String("SELECT"), Qt::CaseInsensitive);
}

QString completarSentencia(const QString& SQL, QString& Where) {
    QString sentencia = library::textHelper().replaceInStatement(
        SQL, QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("VT_MA_ARTICULOS"));
    if (!Where.trimmed().isEmpty()) {
        if (!Where.contains(QLatin1String("WHERE"), Qt::CaseInsensitive)) {
            Where = QStringLiteral(" WHERE ") + Where;
        }
        sentencia += Where;
    }
    return sentencia;
}

std::optional<QString> sentenciaDeMascara(const RegistroMascara& registro, const QString& tabla,
                                          int limite, QString& CampoBusqueda,
                                          const QString& Where) {
    const QString columnas = columnasDeMascara(registro.columnas);
    if (CampoBusqueda.isEmpty()) {
        if (!columnas.contains(u',')) {
            return std::nullopt;
        }
        CampoBusqueda = columnas.section(u',', 0, 0);
    }

    QString filtro = limpiarCampoMascara(registro.filtro);
    if (filtro.isEmpty() && !Where.trimmed().isEmpty()) {
        filtro = Where;
    }
    QString tablaLeida = tabla.trimmed();
    if (igual(tablaLeida, "VT_CLIENTES") || igual(tablaLeida, "VT_PROVEEDORES")) {
        if (filtro.trimmed().isEmpty()) {
            filtro = QStringLiteral("Dada_De_Baja = 0");
        }
    } else if (igual(tablaLeida, "V_MA_ARTICULOS")) {
        tablaLeida = QStringLiteral("VT_MA_ARTICULOS");
        if (filtro.trimmed().isEmpty()) {
            filtro = QStringLiteral("SUSPENDIDO = 0");
        }
    }

    const QString conFiltro =
        (filtro.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ")) + filtro;
    const QString inicio = QStringLiteral("SELECT TOP ") + QString::number(limite) + u' ' +
                           columnas + QStringLiteral(" FROM ") + tablaLeida;
    if (CampoBusqueda.isEmpty()) {
        return inicio + QStringLiteral(" with(nolock) ") + conFiltro;
    }
    return inicio + QStringLiteral("  with(nolock) ") + conFiltro + QStringLiteral(" ORDER BY ") +
           CampoBusqueda;
}

ColumnasDescubiertas descubrirColumnas(const QString& tabla, const QStringList& campos) {
    const bool mutuales = igual(tabla.trimmed(), "v_mv_mutuales");
    ColumnasDescubiertas resultado;
    bool algunaTomada = false;
    for (const QString& campo : campos) {
        const bool sello = igual(campo, "ID") || igual(campo, "FECHAHORA_MODIFICACION") ||
                           igual(campo, "FECHAHORA_GRABACION");
        const bool descriptivo =
            igual(campo, "DESCRIPCION") || igual(campo, "NOMBRE") || igual(campo, "DETALLE");
        if (sello && !mutuales) {
            continue;
        }
        if (sello || descriptivo || !algunaTomada) {
            resultado.campoBusqueda = campo;
        }
        resultado.columnas = algunaTomada ? campo + u',' + resultado.columnas : campo;
        algunaTomada = true;
    }
    return resultado;
}

std::optional<ColumnasDescubiertas> columnasFijas(const QString& tabla) {
    if (igual(tabla.trimmed(), "V_TA_DEPOSITO")) {
        return ColumnasDescubiertas{QStringLiteral("Descripcion,IdDeposito,UnidadNegocio"),
                                    QStringLiteral("IDDEPOSITO")};
    }
    return std::nullopt;
}

QString sentenciaPorDefecto(const QString& tabla, int limite, const QString& columnas,
                            const QString& campoBusqueda, const QString& Where) {
    QString sentencia =
        QStringLiteral("SELECT TOP ") + QString::number(limite) + u' ' +
        (columnas.isEmpty() ? QStringLiteral(" * ") : columnas) + QStringLiteral(" FROM ") + tabla +
        (Where.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ")) + u' ' + Where;
    if (!campoBusqueda.trimmed().isEmpty()) {
        sentencia += QStringLiteral(" ORDER BY ") + campoBusqueda;
    }
    return sentencia;
}

} // namespace estaciones::lookup
