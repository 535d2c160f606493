#include "articles/BuscarArticuloPorCodigo.h"

#include "articles/AjustesBusquedaArticulo.h"
#include "articles/ArticulosTexts.h"
#include "articles/CodigoArticulo.h"
#include "articles/CodigoBalanza.h"
#include "data/SharedDb.h"
#include "data/TextoSql.h"
#include "data/ValorNumerico.h"
#include "platform/ui/OperatorInterface.h"
#include "session/OpcionesSesion.h"
#include "session/library/SharedObjects.h"

#include <QStringList>

namespace estaciones::articulos {

namespace {

const QStringList programasMaestroArticulos{QStringLiteral("v_ma_articulos"),
                                            QStringLiteral("v_ma_articulos2")};
const QStringList documentosSinUnidadNegocio{QStringLiteral("FP"), QStringLiteral("NCFP"),
                                             QStringLiteral("NP")};

QString texto(const db::Recordset& rs, const char* campo) {
    return library::textHelper().nullToEmpty(rs[campo].value()).toString();
}

// "3*CODE": the number before the first "*" is the quantity.
void quitarPrefijoCantidad(QString& codigo, double& cantidad) {
    const qsizetype asterisco = codigo.indexOf(u'*');
    if (codigo.size() <= 2 || asterisco < 0) {
        return;
    }
    const double valor = data::valorNumerico(codigo.left(asterisco));
    // A "*" that is not a quantity prefix must not zero the caller's quantity.
    if (valor != 0) {
        cantidad = valor;
        codigo = codigo.mid(asterisco + 1).trimmed();
    }
}

// "12A345": lot 12, code 345; "A345": no lot, code 345.
void quitarPrefijoLote(QString& codigo, QString& lote) {
    const qsizetype k = codigo.indexOf(u'A', 0, Qt::CaseInsensitive);
    if (k < 0) {
        return;
    }
    const QString antes = codigo.left(k);
    const QString despues = codigo.mid(k + 1);
    if (codigo.size() > 2 && k > 0 && esNumerico(antes) && esNumerico(despues)) {
        lote = antes.trimmed();
        codigo = despues.trimmed();
    } else if (k == 0 && esNumerico(despues)) {
        lote.clear();
        codigo = despues.trimmed();
    }
}

// The lookups in their fixed order; each is tried until one returns a row.
QStringList consultasArticulo(const QString& codigo, bool porCodigoBarra) {
    // Article codes take their stored form; barcodes are compared as typed.
    const QString f = data::textoSql(codigoArticulo(codigo));
    const QString b = data::textoSql(codigo.trimmed());
    const QString porId =
        QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE IDARTICULO = '") +
        f + u'\'';
    const QString porBarra =
        QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE codigobarra =  '") +
        b + u'\'';
    auto conUnidad = [&b](const char* unidad, const char* columna) {
        return QStringLiteral("SELECT *,IDUNIDAD AS UDBASE , ISNULL(%1,IDUNIDAD) AS IDUNIDAD FROM "
                              "V_MA_ARTICULOS WHERE %2 = '")
                   .arg(QLatin1String(unidad), QLatin1String(columna)) +
               b + u'\'';
    };
    QStringList consultas;
    consultas << (porCodigoBarra ? QStringLiteral("SELECT *,IDUNIDAD AS UDBASE FROM V_MA_ARTICULOS "
                                                  "WHERE codigobarra =  '") +
                                       b + u'\''
                                 : porId);
    consultas << porBarra << conUnidad("UD_TTE", "CODIGOBARRADUN")
              << conUnidad("UMCB1", "CODIGOBARRA1") << conUnidad("UMCB2", "CODIGOBARRA2")
              << conUnidad("UMCB3", "CODIGOBARRA3") << conUnidad("UMCB4", "CODIGOBARRA4") << porId;
    return consultas;
}

class Buscador {
public:
    explicit Buscador(bool soloLectura)
        : m_cursor(soloLectura ? db::adOpenForwardOnly : db::adOpenDynamic),
          m_bloqueo(soloLectura ? db::adLockReadOnly : db::adLockOptimistic) {}

    // Opens `sentencia`; true when it returned a row.
    bool abrir(QString sentencia) {
        data::sharedDb().AbrirRecordset(sentencia, rs, std::nullopt, m_cursor, m_bloqueo);
        return rs.state() == db::adStateOpen && !rs.eof();
    }

    db::Recordset rs;

private:
    int m_cursor;
    int m_bloqueo;
};

// The supplier lookups: by the supplier's code in its price list, or in the
// article's own supplier columns. On a row `codigo` becomes the article's.
bool buscarPorProveedor(Buscador& buscador, QString& codigo, const QString& cuenta,
                        const QString& lista) {
    const QString b = data::textoSql(codigo.trimmed());
    if (!lista.trimmed().isEmpty()) {
        if (!buscador.abrir(
                QStringLiteral("SELECT IDARTICULO,IDARTICULOPROVEEDOR,idunidad as "
                               "UdBase FROM V_MA_PRECIOS WHERE IDARTICULOPROVEEDOR = '") +
                b + QStringLiteral("' and IDLISTA = '") +
                data::textoSql(library::textHelper().pad(lista, 4)) +
                QStringLiteral("' AND TIPOLISTA = 'C'"))) {
            return false;
        }
        codigo = texto(buscador.rs, "IdArticulo");
        return buscador.abrir(
            QStringLiteral(
                "SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE idarticulo = '") +
            data::textoSql(codigo) + u'\'');
    }
    if (!buscador.abrir(QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE "
                                       "CodigoArtProveedor = '") +
                        b + QStringLiteral("' and CuentaProveedor = '") +
                        data::textoSql(cuenta.trimmed()) + u'\'')) {
        return false;
    }
    codigo = texto(buscador.rs, "IdArticulo");
    return true;
}

// Whether the found article belongs to a business unit other than the
// selected one, in a sales program that keeps units apart.
bool deOtraUnidadNegocio(const db::Recordset& rs, const QString& tipoDocumento) {
    const session::OpcionesSesion& o = session::opciones();
    if (!o.gRazonSocialPorUneg ||
        !esPrograma(programaEnCurso(), programasVentaConUnidadNegocio()) ||
        documentosSinUnidadNegocio.contains(tipoDocumento.trimmed(), Qt::CaseInsensitive)) {
        return false;
    }
    const Variant tipo = rs["IdTipo"].value();
    // A Null unit compares as unknown, which the suite never took for "different".
    if (tipo.isNull()) {
        return false;
    }
    const QString seleccionada = o.gUNegocio.isEmpty() ? QStringLiteral("   1") : o.gUNegocio;
    return tipo.toString().trimmed().compare(seleccionada.trimmed(), Qt::CaseInsensitive) != 0;
}

} // namespace

bool BuscarArticuloPorCodigo(QString& Codigo, db::Recordset* Rs, bool SoloLectura,
                             bool PorCodigoBarra, QString& Descripcion,
                             const QString& CuentaProveedor, QString& UdBase,
                             const QString& ListaPrecios, double& Cantidad, double& Importe,
                             QString& Lote, const QString& TipoDocumento, int& ModoUNegocio) {
    UdBase.clear();
    if (Codigo.size() <= 3) {
        PorCodigoBarra = false;
    }
    const bool enMaestroArticulos = esPrograma(programaEnCurso(), programasMaestroArticulos);
    if (!enMaestroArticulos) {
        quitarPrefijoCantidad(Codigo, Cantidad);
        const session::OpcionesSesion& o = session::opciones();
        if (o.gAsignacionAutomaticaDeLoteING || o.gAsignacionAutomaticaDeLoteINGOP) {
            quitarPrefijoLote(Codigo, Lote);
        }
    }
    const AjustesBusquedaArticulo& ajustes = ajustesBusquedaArticulo();
    if (!ajustes.patronBalanza.isEmpty()) {
        if (const auto lectura =
                leerCodigoBalanza(Codigo, ajustes.patronBalanza, ajustes.decimalesBalanza)) {
            Codigo = lectura->codigo;
            Cantidad = lectura->cantidad;
            if (lectura->importe) {
                Importe = *lectura->importe;
            }
        }
    }

    Buscador buscador(SoloLectura);
    bool encontrado = false;
    for (const QString& consulta : consultasArticulo(Codigo, PorCodigoBarra)) {
        if (buscador.abrir(consulta)) {
            encontrado = true;
            break;
        }
    }
    if (!encontrado && !CuentaProveedor.trimmed().isEmpty()) {
        encontrado = buscarPorProveedor(buscador, Codigo, CuentaProveedor, ListaPrecios);
    }
    if (!encontrado) {
        return false;
    }

    const db::Recordset& rs = buscador.rs;
    Codigo = texto(rs, "IdArticulo");
    UdBase = texto(rs, "UdBase");
    Descripcion = texto(rs, "Descripcion");
    if (Rs) {
        *Rs = rs;
    }
    if (deOtraUnidadNegocio(rs, TipoDocumento)) {
        if (ModoUNegocio == 0) {
            ui::operatorInterface().messageBox(textos::UnidadNegocioDistinta, ui::style::OKOnly);
            return false;
        }
        if (ModoUNegocio == 1) {
            ModoUNegocio = 2;
        }
    }
    return true;
}

bool BuscarArticuloPorCodigo(QString& Codigo, bool PorCodigoBarra) {
    QString descripcion, udBase, lote;
    double cantidad = 0, importe = 0;
    int modo = 1;
    return BuscarArticuloPorCodigo(Codigo, nullptr, true, PorCodigoBarra, descripcion, QString(),
                                   udBase, QString(), cantidad, importe, lote, QString(), modo);
}

} // namespace estaciones::articulos
