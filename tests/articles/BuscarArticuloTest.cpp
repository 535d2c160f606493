#include "articles/AjustesBusquedaArticulo.h"
#include "articles/ArticulosDb.h"
#include "articles/ArticulosTexts.h"
#include "articles/BuscarArticuloPorCodigo.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::articulos;

namespace {

// Every output of one lookup, so each test reads what it cares about.
struct Busqueda {
    QString codigo;
    bool encontrado = false;
    QString descripcion;
    QString udBase;
    double cantidad = 99; // a caller's value the lookup must leave alone unless decoded
    double importe = 0;
    QString lote = QStringLiteral("previo");
    int modo = 0;
    db::Recordset rs;
};

class BuscarArticulo : public test::ConArticulos {
protected:
    void SetUp() override {
        ConArticulos::SetUp();
        articulo(id("12345"), "Queso", "7790001000017", "KG");
        articulo(id("777"), "Por codigo", QString(), "UN");
        articulo(id("900"), "Por barra", "777", "UN");
        articulo(id("901"), "Por barra larga", "7777", "UN");
        ejecutar("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, IdUnidad, CodigoBarraDUN, "
                 "UD_TTE, CodigoBarra1, UMCB1, CodigoBarra2, UMCB2, CodigoBarra3, UMCB3, "
                 "CodigoBarra4, IdTipo) VALUES ('" +
                 id("500") +
                 "', 'Gaseosa', 'UN', '17790001000014', 'CJ', 'B1', 'P1', 'B2', 'P2', 'B3', 'P3', "
                 "'B4', '   1')");
    }

    void articulo(const QString& codigo, const QString& descripcion, const QString& barra,
                  const QString& unidad, const QString& tipo = QStringLiteral("   1")) {
        ejecutar("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, CodigoBarra, IdUnidad, "
                 "IdTipo) VALUES ('" +
                 codigo + "', '" + descripcion + "', " +
                 (barra.isNull() ? QStringLiteral("NULL") : "'" + barra + "'") + ", '" + unidad +
                 "', '" + tipo + "')");
    }

    Busqueda buscar(const QString& codigo, bool porBarra = false, const QString& cuenta = {},
                    const QString& lista = {}, const QString& documento = {}, int modo = 0,
                    bool soloLectura = true) {
        Busqueda b;
        b.codigo = codigo;
        b.modo = modo;
        b.encontrado = BuscarArticuloPorCodigo(b.codigo, &b.rs, soloLectura, porBarra,
                                               b.descripcion, cuenta, b.udBase, lista, b.cantidad,
                                               b.importe, b.lote, documento, b.modo);
        return b;
    }
};

} // namespace

TEST_F(BuscarArticulo, shouldFindByCodeTypedWithoutItsLeadingBlanks) {
    const Busqueda b = buscar(" 12345 ");
    ASSERT_TRUE(b.encontrado);
    EXPECT_EQ(b.codigo, id("12345"));
    EXPECT_EQ(b.descripcion, "Queso");
    EXPECT_EQ(b.udBase, "KG");
    EXPECT_EQ(b.cantidad, 99);
    EXPECT_EQ(b.lote, "previo");
    ASSERT_EQ(b.rs.state(), db::adStateOpen) << "the caller receives the open recordset";
    EXPECT_EQ(b.rs["Descripcion"].value().toString(), "Queso");
}

TEST_F(BuscarArticulo, shouldFindByEveryBarcodeColumnAfterTheCode) {
    EXPECT_EQ(buscar("7790001000017").codigo, id("12345"));
    EXPECT_EQ(buscar("7790001000017", true).codigo, id("12345"));
    const Busqueda noEsta = buscar("999");
    EXPECT_FALSE(noEsta.encontrado);
    EXPECT_EQ(noEsta.codigo, "999") << "the code as last looked up";
    EXPECT_EQ(noEsta.udBase, "");
}

// The packaging barcode and the four extra barcodes carry their own unit in
// the statement's last column; the base unit stays the article's.
TEST_F(BuscarArticulo, shouldGiveThePackagingUnitOfDunAndExtraBarcodes) {
    const QList<std::pair<QString, QString>> casos{
        {"17790001000014", "CJ"}, {"B1", "P1"}, {"B2", "P2"}, {"B3", "P3"}, {"B4", "UN"}};
    for (const auto& [barra, unidad] : casos) {
        SCOPED_TRACE(barra.toStdString());
        const Busqueda b = buscar(barra, true);
        ASSERT_TRUE(b.encontrado);
        EXPECT_EQ(b.codigo, id("500"));
        EXPECT_EQ(b.udBase, "UN");
        const db::Fields campos = b.rs.fields();
        EXPECT_EQ(campos.item(campos.count() - 1).value().toString(), unidad);
    }
}

TEST_F(BuscarArticulo, shouldNeverSearchAThreeCharacterCodeByBarcodeFirst) {
    EXPECT_EQ(buscar("777", true).descripcion, "Por codigo");
    EXPECT_EQ(buscar("7777", true).descripcion, "Por barra larga");
    ejecutar("DELETE FROM V_MA_ARTICULOS WHERE IdArticulo = '" + id("777") + "'");
    EXPECT_EQ(buscar("777", true).descripcion, "Por barra") << "then the barcode lookup";
}

TEST_F(BuscarArticulo, shouldTakeAQuantityPrefixOutsideTheArticleMasterProgram) {
    Busqueda b = buscar("3*12345");
    ASSERT_TRUE(b.encontrado);
    EXPECT_EQ(b.codigo, id("12345"));
    EXPECT_EQ(b.cantidad, 3);
    b = buscar("2.5* 7790001000017");
    ASSERT_TRUE(b.encontrado);
    EXPECT_EQ(b.cantidad, 2.5);
    b = buscar("x*12345");
    EXPECT_FALSE(b.encontrado);
    EXPECT_EQ(b.cantidad, 99) << "a zero quantity is no prefix";

    ajustesBusquedaArticulo().programa = QStringLiteral("V_MA_ARTICULOS2");
    b = buscar("3*12345");
    EXPECT_FALSE(b.encontrado);
    EXPECT_EQ(b.codigo, "3*12345");
    EXPECT_EQ(b.cantidad, 99);
}

TEST_F(BuscarArticulo, shouldTakeALotPrefixOnlyWithAutomaticLots) {
    Busqueda b = buscar("15A12345");
    EXPECT_FALSE(b.encontrado);
    EXPECT_EQ(b.lote, "previo");
    session::opciones().gAsignacionAutomaticaDeLoteINGOP = true;
    b = buscar("15A12345");
    ASSERT_TRUE(b.encontrado);
    EXPECT_EQ(b.lote, "15");
    EXPECT_EQ(b.codigo, id("12345"));
    b = buscar("A12345");
    ASSERT_TRUE(b.encontrado);
    EXPECT_EQ(b.lote, "");
    b = buscar("1XA12345");
    EXPECT_FALSE(b.encontrado) << "the text before A is not a number";
    EXPECT_EQ(b.lote, "previo");
}

TEST_F(BuscarArticulo, shouldDecodeWeighedBarcodesWithTheConfiguredPattern) {
    ajustesBusquedaArticulo().patronBalanza = QStringLiteral("0CCCCCPPPPP");
    ajustesBusquedaArticulo().decimalesBalanza = 3;
    Busqueda b = buscar("2012345012347", true);
    ASSERT_TRUE(b.encontrado);
    EXPECT_EQ(b.codigo, id("12345"));
    EXPECT_DOUBLE_EQ(b.cantidad, 1.234);
    b = buscar("-2012345012347", true);
    ASSERT_TRUE(b.encontrado);
    EXPECT_DOUBLE_EQ(b.cantidad, -1.234);
    b = buscar("2099999012347");
    EXPECT_FALSE(b.encontrado);
    EXPECT_EQ(b.codigo, "99999") << "reduced to its article part";
}

TEST_F(BuscarArticulo, shouldLookUpAScaleLikeCodeUnchangedWithoutPattern) {
    articulo(id("600"), "Etiqueta propia", "2012345012347", "UN");
    const Busqueda b = buscar("2012345012347", true);
    ASSERT_TRUE(b.encontrado);
    EXPECT_EQ(b.codigo, id("600"));
    EXPECT_EQ(b.cantidad, 99);
}

TEST_F(BuscarArticulo, shouldFindBySupplierCodeInTheArticleOrThePurchaseList) {
    ejecutar("UPDATE V_MA_ARTICULOS SET CodigoArtProveedor = 'PX-1', CuentaProveedor = '2001' "
             "WHERE IdArticulo = '" +
             id("777") + "'");
    ejecutar("INSERT INTO V_MA_PRECIOS (IdLista, IdArticulo, IdArticuloProveedor, TipoLista) "
             "VALUES ('   7', '" +
             id("12345") + "', 'PRV-9', 'C')");
    EXPECT_FALSE(buscar("PX-1").encontrado) << "supplier lookups need the account";
    EXPECT_EQ(buscar("PX-1", false, " 2001 ").codigo, id("777"));
    EXPECT_FALSE(buscar("PX-1", false, "2002").encontrado);
    const Busqueda b = buscar("PRV-9", false, "2001", "7");
    ASSERT_TRUE(b.encontrado);
    EXPECT_EQ(b.codigo, id("12345"));
    EXPECT_EQ(b.descripcion, "Queso");
    EXPECT_FALSE(buscar("PRV-9", false, "2001", "8").encontrado);
}

// Apostrophes must neither break the statement (a database error dialog
// would fail the test) nor widen it.
TEST_F(BuscarArticulo, shouldKeepApostrophesInsideTheLiteral) {
    articulo(id("800"), "Comilla", "A''B", "UN");
    EXPECT_EQ(buscar("A'B").codigo, id("800"));
    EXPECT_FALSE(buscar("x' OR '1'='1").encontrado);
    EXPECT_FALSE(buscar("PX' OR 1=1 --", false, "1' OR '1'='1").encontrado);
}

TEST_F(BuscarArticulo, shouldRefuseAnArticleOfAnotherBusinessUnitInSalesPrograms) {
    articulo(id("700"), "Otra unidad", "7700", "UN", "   2");
    session::opciones().gRazonSocialPorUneg = true;
    EXPECT_TRUE(buscar("700").encontrado) << "not a sales program";

    ajustesBusquedaArticulo().programa = QStringLiteral("VentasFiscal.exe");
    operador.answerMessage(ui::reply::OK);
    EXPECT_FALSE(buscar("700").encontrado);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, textos::UnidadNegocioDistinta);

    Busqueda silencioso = buscar("700", false, {}, {}, {}, 1);
    EXPECT_TRUE(silencioso.encontrado);
    EXPECT_EQ(silencioso.modo, 2);
    EXPECT_TRUE(buscar("700", false, {}, {}, "ncfp").encontrado) << "document type exempt";
    EXPECT_TRUE(buscar("12345").encontrado) << "own unit";
    session::opciones().gRazonSocialPorUneg = false;
    EXPECT_TRUE(buscar("700").encontrado);
    EXPECT_EQ(operador.dialogs().size(), 1u);
}

TEST_F(BuscarArticulo, shouldOpenAnEditableRecordsetWhenNotReadOnly) {
    Busqueda b = buscar("12345", false, {}, {}, {}, 0, false);
    ASSERT_TRUE(b.encontrado);
    b.rs["Descripcion"].setValue(QStringLiteral("Queso duro"));
    b.rs.update();
    EXPECT_EQ(buscar("12345").descripcion, "Queso duro");
}

// A program that wants weighed barcodes or its own list of sales programs
// sets them in CN000pr.INI.
TEST_F(BuscarArticulo, shouldTakeScaleSettingsAndSalesProgramsFromTheIniFile) {
    test::ScopedEnvFolder configuracion{"XDG_CONFIG_HOME"};
    QFile ini(configuracion.filePath("CN000pr.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Balanza]\r\nPatron=0cccccqqqqq\r\nDecimales=2\r\n"
              "[Programas]\r\nVentasUnidadNegocio=Mostrador.exe;Caja\r\n");
    ini.close();
    CargarAjustesBalanza();
    const Busqueda b = buscar("2012345012347");
    ASSERT_TRUE(b.encontrado);
    EXPECT_DOUBLE_EQ(b.cantidad, 12.34);
    EXPECT_TRUE(esPrograma("C:\\Suite\\CAJA.EXE", programasVentaConUnidadNegocio()));
    EXPECT_FALSE(esPrograma("ventas", programasVentaConUnidadNegocio()));
}
