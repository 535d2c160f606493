#include "articles/AltaArticulo.h"

#include "articles/ArticulosTexts.h"
#include "articles/BaseMaestra.h"
#include "articles/BuscarArticuloPorCodigo.h"
#include "articles/CodigoArticulo.h"
#include "data/SharedDb.h"
#include "data/TextoSql.h"
#include "data/ValorNumerico.h"
#include "platform/core/ErrorHandling.h"
#include "platform/ui/OperatorInterface.h"
#include "session/Configuracion.h"
#include "session/library/SharedObjects.h"

#include <cmath>

namespace estaciones::articulos {

namespace {

// Rolls back unless committed, whatever leaves the scope.
class Transaccion {
public:
    explicit Transaccion(db::Connection conexion) : m_conexion(std::move(conexion)) {
        m_conexion.beginTrans();
    }
    ~Transaccion() {
        if (!m_terminada) {
            ignoringErrors([this] { m_conexion.rollbackTrans(); });
        }
    }
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;
    void confirmar() {
        m_conexion.commitTrans();
        m_terminada = true;
    }

private:
    db::Connection m_conexion;
    bool m_terminada = false;
};

// Runs `sentencia`; shows the database's message and returns false when the
// connection's Errors say it failed. The count of rows is no judge: after
// SET NOCOUNT ON, which scripts leave on for the session, it is -1.
bool ejecutar(QString sentencia) {
    data::DB_Dll& db = data::sharedDb();
    db.gCnn.errors().clear();
    std::int64_t filas = 0;
    db.EjecutaConsultaSQL(sentencia, filas);
    if (!db.gCnn.errors().isEmpty()) {
        ui::operatorInterface().messageBox(db.gCnn.errors().item(0).description, ui::style::OKOnly);
        return false;
    }
    return true;
}

// Whether the new code `codigo` (number `numero`) is free, by the article
// lookup by code. That lookup also finds the number as another article's
// barcode: the operator then hears which article and decides.
bool codigoNuevoLibre(const QString& codigo, const QString& numero) {
    QString encontrado = codigo;
    QString descripcion, udBase, lote;
    double cantidad = 0, importe = 0;
    int modoUNegocio = 1;
    if (!BuscarArticuloPorCodigo(encontrado, nullptr, true, false, descripcion, QString(), udBase,
                                 QString(), cantidad, importe, lote, QString(), modoUNegocio)) {
        return true;
    }
    if (encontrado.trimmed() == numero) {
        // Another station took the number a moment ago.
        ui::operatorInterface().messageBox(textos::CodigoNuevoOcupado(numero),
                                           ui::style::OKOnly | ui::style::Exclamation,
                                           textos::TituloAviso);
        return false;
    }
    return ui::operatorInterface().messageBox(
               textos::CodigoNuevoEsCodigoBarras(numero, encontrado.trimmed(),
                                                 descripcion.trimmed()),
               ui::style::YesNo | ui::style::Question, textos::TituloAviso) == ui::reply::Yes;
}

// Asks whether to go on when another article has the barcode; true to go on.
bool confirmarCodigoBarraRepetido(const QString& codigoBarra) {
    if (codigoBarra.isEmpty()) {
        return true;
    }
    db::Recordset rs;
    if (!data::sharedDb().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"), codigoBarra,
                                        QStringLiteral("codigobarra"), &rs, Variant(8), QString(),
                                        true)) {
        return true;
    }
    const library::TextHelper& t = library::textHelper();
    const QString texto = textos::CodigoBarrasExistente(
        t.nullToEmpty(rs["IdArticulo"].value()).toString().trimmed(),
        t.nullToEmpty(rs["Descripcion"].value()).toString().trimmed());
    return ui::operatorInterface().messageBox(texto, ui::style::YesNo | ui::style::Information,
                                              textos::TituloAviso) == ui::reply::Yes;
}

} // namespace

qint64 proximoNumeroArticulo() {
    const Variant maximo = data::sharedDb().BuscaMaximo(
        QStringLiteral("v_ma_articulos"), QStringLiteral("idarticulo"), Variant(),
        QStringLiteral("  SUBSTRING(IDARTICULO,1,1) = ' '"));
    return static_cast<qint64>(std::floor(data::valorNumerico(maximo.toString()))) + 1;
}

QString registrarArticulo(const DatosAltaArticulo& datos) {
    const QString clasePrecio = session::Cfg(QStringLiteral("ClasePrecioVenta")).trimmed();
    const QString codigoBarra = datos.codigoBarra.trimmed();
    if (!confirmarCodigoBarraRepetido(codigoBarra)) {
        return {};
    }
    // The class names a column (PRECIO1, PRECIO2, ...): anything but its
    // number would put foreign text into the statement.
    if (!soloDigitos(clasePrecio)) {
        ui::operatorInterface().messageBox(textos::SinClasePrecio, ui::style::OKOnly);
        return {};
    }

    const QString numero = QString::number(proximoNumeroArticulo());
    const QString codigo = library::textHelper().pad(numero, LargoCodigoArticulo);
    if (!codigoNuevoLibre(codigo, numero)) {
        return {};
    }

    const QString descripcion = data::textoSql(datos.descripcion);
    Transaccion transaccion(data::sharedDb().gCnn);
    if (!ejecutar(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo,CodigoBarra,Descripcion,"
                                 "IdUnidad,UsaSerie,UsaLote,Exento,Suspendido) VALUES (") +
                  u'\'' + codigo + QStringLiteral("','") + data::textoSql(codigoBarra) +
                  QStringLiteral("','") + descripcion + QStringLiteral("','   1',0,0,0,0)"))) {
        return {};
    }
    if (datos.idLista.isEmpty()) {
        transaccion.confirmar();
        return numero;
    }
    const QString lista = data::textoSql(datos.idLista);
    if (!ejecutar(QStringLiteral("INSERT INTO V_MA_PRECIOS (IDLISTA,Nombre,IdArticulo,ConIVA,"
                                 "Precio1,Precio2,Precio3,Precio4,Precio5,TipoLista) VALUES (") +
                  u'\'' + lista + QStringLiteral("','") + descripcion + QStringLiteral("','") +
                  codigo + QStringLiteral("',1,0,0,0,0,0,'V')"))) {
        return {};
    }
    const QString precio = library::textHelper().toDecimal(datos.precio).toString();
    if (!ejecutar(QStringLiteral("UPDATE V_MA_PRECIOS SET PRECIO") + clasePrecio + u'=' + precio +
                  QStringLiteral(" WHERE IDARTICULO='") + codigo +
                  QStringLiteral("' AND IDLISTA='") + lista + u'\'')) {
        return {};
    }
    transaccion.confirmar();

    if (!codigoBarra.isEmpty() && !datos.descripcion.trimmed().isEmpty()) {
        if (const auto falla = informarCodigoMaestra(codigoBarra, datos.descripcion)) {
            ui::operatorInterface().messageBox(
                textos::MaestraNoInformada + QStringLiteral("\r\n") + *falla,
                ui::style::OKOnly | ui::style::Exclamation, textos::TituloAviso);
        }
    }
    return numero;
}

} // namespace estaciones::articulos
