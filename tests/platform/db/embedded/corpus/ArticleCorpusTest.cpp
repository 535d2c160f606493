// The article statements: quick registration (duplicate barcode, next code,
// the article and price rows) and the lookup by code, barcode, packaging
// barcode, alternative barcodes and supplier codes.

#include "StatementCorpus.h"

namespace estaciones::test::corpus {
namespace {

const QString kNuevo = articleCode(7);

QString altaArticulo(const QString& code, const QString& barcode, const QString& description) {
    return "INSERT INTO V_MA_ARTICULOS "
           "(IdArticulo,CodigoBarra,Descripcion,IdUnidad,UsaSerie,UsaLote,Exento,Suspendido) "
           "VALUES ('" +
           code + "','" + barcode + "','" + description + "','   1',0,0,0,0)";
}

const Step kAltaDulce{altaArticulo(kNuevo, "7790001000073", "Dulce de leche 400 g"), affects(1)};

QString porCodigo(const QString& code) {
    return "SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE IDARTICULO = '" + code + "'";
}

const std::vector<CorpusCase> kArticleCases = {
    // AltaArticulos.
    {"Alta_CodigoDeBarrasExistente",
     {{"SELECT TOP 1  * FROM V_MA_ARTICULOS with(nolock)  WHERE LTRIM(RTRIM(codigobarra)) "
       "='7790001000011'",
       returns({"IdArticulo", "Descripcion"}, {{articleCode(1), "Yerba mate 1 kg"}})}}},
    {"Alta_ProximoCodigo",
     {{"SELECT MAX(idarticulo) AS MAYOR FROM v_ma_articulos WHERE SUBSTRING(IDARTICULO,1,1) = ' '",
       returns({"MAYOR"}, {{articleCode(6)}})}}},
    {"Alta_PrimerArticuloDeTodos",
     {{"DELETE FROM STK_SALDOS", succeeds()},
      {"DELETE FROM V_MA_PRECIOS", succeeds()},
      {"DELETE FROM V_MA_ARTICULOS", affects(6)},
      {"SELECT MAX(idarticulo) AS MAYOR FROM v_ma_articulos WHERE SUBSTRING(IDARTICULO,1,1) = ' '",
       returns({"MAYOR"}, {{Variant::null()}})},
      {altaArticulo(articleCode(1), "7790001000011", "Yerba mate 1 kg"), affects(1)},
      {"SELECT IdArticulo, LEN(IdArticulo) FROM V_MA_ARTICULOS",
       returns({"#0", "#1"}, {{articleCode(1), 25}})}}},
    {"Alta_RegistraArticuloYPrecio",
     {{porCodigo(kNuevo), returnsNoRows()},
      kAltaDulce,
      {"INSERT INTO V_MA_PRECIOS "
       "(IDLISTA,Nombre,IdArticulo,ConIVA,Precio1,Precio2,Precio3,Precio4,Precio5,TipoLista) "
       "VALUES ('   1','Dulce de leche 400 g','" +
           kNuevo + "',1,0,0,0,0,0,'V')",
       affects(1)},
      {"UPDATE V_MA_PRECIOS SET PRECIO1=1250.5 WHERE IDARTICULO='" + kNuevo +
           "' AND IDLISTA='   1'",
       affects(1)},
      {porCodigo(kNuevo), returns({"Descripcion", "UDBASE", "Suspendido", "UsaLote"},
                                  {{"Dulce de leche 400 g", code4(1), false, false}})},
      {"SELECT Precio1, Precio2, ConIVA, TipoLista FROM V_MA_PRECIOS WHERE IdArticulo = '" +
           kNuevo + "'",
       returns({"Precio1", "Precio2", "ConIVA", "TipoLista"},
               {{Currency::fromDouble(1250.5), Currency::fromDouble(0), true, "V"}})}}},
    {"Alta_CodigoRepetido", {{altaArticulo(articleCode(6), "123", "Otro"), failsWith(2627)}}},
    {"Alta_DescripcionDemasiadoLarga",
     {{altaArticulo(kNuevo, "123", QString(101, QLatin1Char('D'))), failsWith(8152)},
      {"SELECT COUNT(*) FROM V_MA_ARTICULOS", returns({"#0"}, {{6}})}}},
    {"Alta_PrecioRepetidoEnLaLista",
     {{"INSERT INTO V_MA_PRECIOS "
       "(IDLISTA,Nombre,IdArticulo,ConIVA,Precio1,Precio2,Precio3,Precio4,Precio5,TipoLista) "
       "VALUES ('   1','Yerba','" +
           articleCode(1) + "',1,0,0,0,0,0,'V')",
       failsWith(2627)}}},

    // BuscarArticuloPorCodigo, lookups in their order.
    {"Busqueda_PorCodigoDeBarras",
     {{"SELECT *,IDUNIDAD AS UDBASE FROM V_MA_ARTICULOS WHERE codigobarra =  '7790001000011'",
       returns({"IdArticulo", "UDBASE", "Descripcion", "IdTipo"},
               {{articleCode(1), code4(1), "Yerba mate 1 kg", code4(1)}})}}},
    {"Busqueda_PorCodigo",
     {{porCodigo(articleCode(4)), returns({"IdArticulo", "UDBASE", "Descripcion"},
                                          {{articleCode(4), code4(1), "Queso cremoso por kg"}})}}},
    {"Busqueda_CodigoSinAlinearNoEncuentra", {{porCodigo("4"), returnsNoRows()}}},
    {"Busqueda_PorCodigoDeBultoTomaSuUnidad",
     {{"SELECT *,IDUNIDAD AS UDBASE , ISNULL(UD_TTE,IDUNIDAD) AS IDUNIDAD FROM V_MA_ARTICULOS "
       "WHERE CODIGOBARRADUN = '17790001000018'",
       returns({"IdArticulo", "UDBASE", "#-1"}, {{articleCode(1), code4(1), code4(3)}})}}},
    {"Busqueda_CodigoAlternativoSinUnidadPropia",
     {{"UPDATE V_MA_ARTICULOS SET CodigoBarra1 = '7790001000103' WHERE IdArticulo = '" +
           articleCode(2) + "'",
       affects(1)},
      {"SELECT *,IDUNIDAD AS UDBASE , ISNULL(UMCB1,IDUNIDAD) AS IDUNIDAD FROM V_MA_ARTICULOS "
       "WHERE CODIGOBARRA1 = '7790001000103'",
       returns({"IdArticulo", "#-1"}, {{articleCode(2), code4(1)}})},
      {"SELECT *,IDUNIDAD AS UDBASE , ISNULL(UMCB4,IDUNIDAD) AS IDUNIDAD FROM V_MA_ARTICULOS "
       "WHERE CODIGOBARRA4 = '7790001000103'",
       returnsNoRows()}}},
    {"Busqueda_ListaDelProveedor",
     {{"SELECT IDARTICULO,IDARTICULOPROVEEDOR,idunidad as UdBase FROM V_MA_PRECIOS WHERE "
       "IDARTICULOPROVEEDOR = '" +
           articleCode(5501) + "' and IDLISTA = '   2' AND TIPOLISTA = 'C'",
       returns({"IDARTICULO", "IDARTICULOPROVEEDOR", "UdBase"},
               {{articleCode(1), articleCode(5501), code4(1)}})},
      {"SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE idarticulo = '" + articleCode(1) +
           "'",
       returns({"Descripcion"}, {{"Yerba mate 1 kg"}})}}},
    {"Busqueda_ListaDeVentaNoEsDeProveedor",
     {{"SELECT IDARTICULO,IDARTICULOPROVEEDOR,idunidad as UdBase FROM V_MA_PRECIOS WHERE "
       "IDARTICULOPROVEEDOR = '" +
           articleCode(5501) + "' and IDLISTA = '   1' AND TIPOLISTA = 'C'",
       returnsNoRows()}}},
    {"Busqueda_CodigoDelProveedor",
     {{"SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE CodigoArtProveedor = '" +
           articleCode(5502) + "' and CuentaProveedor = 'P0001'",
       returns({"IdArticulo"}, {{articleCode(2)}})}}},
};

INSTANTIATE_TEST_SUITE_P(Articulos, StatementCorpus, ::testing::ValuesIn(kArticleCases),
                         corpusCaseName);

} // namespace
} // namespace estaciones::test::corpus
