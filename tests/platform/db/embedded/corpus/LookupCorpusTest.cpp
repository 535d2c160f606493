// The lookup dialogs' statements: the mask records written at start-up, the
// default statement and its column discovery, the caller's statements, the
// server-side searches, the shortage record, and the tree window's queries.

#include "StatementCorpus.h"

namespace estaciones::test::corpus {
namespace {

const std::vector<std::vector<Variant>> kArticulosPorDescripcion = {
    {"Detergente 750 ml", articleCode(5)},   {"Lavandina 1 l", articleCode(6)},
    {"Leche entera 1 l", articleCode(3)},    {"Queso cremoso por kg", articleCode(4)},
    {"Té en saquitos x 25", articleCode(2)}, {"Yerba mate 1 kg", articleCode(1)},
};

const std::vector<CorpusCase> kLookupCases = {
    // The statements of the eleven default mask records.
    {"Mascara_Articulos",
     {{"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
       "SUSPENDIDO = 0 ORDER BY DESCRIPCION",
       returns({"DESCRIPCION", "IDARTICULO"}, kArticulosPorDescripcion)}}},
    {"Mascara_ArticulosSuspendidosFuera",
     {{"UPDATE V_MA_ARTICULOS SET Suspendido = 1 WHERE IdArticulo = '" + articleCode(3) + "'",
       affects(1)},
      {"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
       "SUSPENDIDO = 0 ORDER BY DESCRIPCION",
       returns({"IDARTICULO"}, {{articleCode(5)},
                                {articleCode(6)},
                                {articleCode(4)},
                                {articleCode(2)},
                                {articleCode(1)}})}}},
    {"Mascara_Clientes",
     {{"SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES  with(nolock)  WHERE "
       "Dada_De_Baja = 0 ORDER BY RAZON_SOCIAL",
       returns({"RAZON_SOCIAL", "CODIGO", "CONTACTO"},
               {{"Almacén Don José", "C0001", "José Pérez"},
                {"Bar La Esquina", "C0002", "Marta Gómez"}})}}},
    {"Mascara_Proveedores",
     {{"SELECT TOP 1000 RAZON_SOCIAL,CODIGO FROM VT_PROVEEDORES  with(nolock)  WHERE "
       "Dada_De_Baja = 0 ORDER BY RAZON_SOCIAL",
       returns({"RAZON_SOCIAL", "CODIGO"}, {{"Distribuidora del Litoral S.R.L.", "P0001"},
                                            {"Químicos del Sur S.A.", "P0002"}})}}},
    {"Mascara_Contactos",
     {{"SELECT TOP 1000 Nombre_y_Apellido,Domicilio,Localidad,Telefono FROM MA_CONTACTOS  "
       "with(nolock)  ORDER BY Nombre_y_Apellido",
       returns({"Nombre_y_Apellido", "Localidad"},
               {{"José Pérez", "Rosario"}, {"Marta Gómez", "Córdoba"}})}}},
    {"Mascara_Vendedores",
     {{"SELECT TOP 1000 NOMBRE,IDVENDEDOR FROM V_TA_VENDEDORES  with(nolock)  ORDER BY NOMBRE",
       returns({"NOMBRE", "IDVENDEDOR"},
               {{"Ana Fernández", code4(1)}, {"Pablo Sosa", code4(2)}})}}},
    {"Mascara_Tecnicos",
     {{"SELECT TOP 1000 NOMBRE,IDTECNICO FROM V_TA_TECNICOS  with(nolock)  ORDER BY NOMBRE",
       returns({"NOMBRE", "IDTECNICO"}, {{"Ramón Torres", code4(1)}})}}},
    {"Mascara_Mantenimientos",
     {{"SELECT TOP 1000 DESCRIPCION,CODIGO FROM V_MA_MANTENIMIENTOS  with(nolock)  ORDER BY "
       "DESCRIPCION",
       returns({"DESCRIPCION", "CODIGO"}, {{"Service de balanza", "M001"}})}}},
    {"Mascara_Cuentas",
     {{"SELECT TOP 1000 DESCRIPCION,CODIGO FROM MA_CUENTAS  with(nolock)  ORDER BY DESCRIPCION",
       returns({"DESCRIPCION", "CODIGO"}, {{"ACTIVO", "1"},
                                           {"Banco cuenta corriente", "1.1.02"},
                                           {"Caja", "1.1.01"},
                                           {"Disponibilidades", "1.1"},
                                           {"INGRESOS", "4"},
                                           {"Ventas", "4.1.01"}})}}},
    {"Mascara_Tareas",
     {{"SELECT TOP 1000 Descripcion,IdTarea FROM V_TA_Tareas  with(nolock)  ORDER BY Descripcion",
       returns({"Descripcion", "IdTarea"},
               {{"Instalación", code4(1)}, {"Reparación", code4(2)}})}}},
    {"Mascara_UnidadNegocio",
     {{"SELECT TOP 1000 Descripcion,Codigo FROM V_TA_UnidadNegocio  with(nolock)  ORDER BY "
       "Descripcion",
       returns({"Descripcion", "Codigo"},
               {{"Casa central", code4(1)}, {"Sucursal norte", code4(2)}})}}},
    {"Mascara_Deposito",
     {{"SELECT TOP 1000 Descripcion,IdDeposito FROM V_TA_DEPOSITO  with(nolock)  ORDER BY "
       "Descripcion",
       returns({"Descripcion", "IdDeposito"},
               {{"Depósito central", code4(1)}, {"Depósito sucursal", code4(2)}})}}},
    {"Mascara_FiltroDelLlamador",
     {{"SELECT TOP 250 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES  with(nolock)  WHERE  "
       "(Localidad = 'córdoba')  ORDER BY RAZON_SOCIAL",
       returns({"CODIGO"}, {{"C0002"}})}}},

    // The default statement: fixed columns for deposits, discovery otherwise.
    {"PorDefecto_Depositos",
     {{"SELECT TOP 1000 Descripcion,IdDeposito,UnidadNegocio FROM V_TA_DEPOSITO  ORDER BY "
       "IDDEPOSITO",
       returns({"IdDeposito", "UnidadNegocio"}, {{code4(1), code4(1)}, {code4(2), code4(2)}})}}},
    {"PorDefecto_DescubreLasColumnas",
     {{"select top 1 * from V_TA_VENDEDORES", hasColumns({"IdVendedor", "Nombre"})},
      {"SELECT TOP 1000 Nombre,IdVendedor FROM V_TA_VENDEDORES  ORDER BY Nombre",
       returns({"IdVendedor"}, {{code4(1)}, {code4(2)}})}}},
    {"PorDefecto_ConFiltro",
     {{"SELECT TOP 1000 Descripcion,IdDeposito,UnidadNegocio FROM V_TA_DEPOSITO WHERE   "
       "(UnidadNegocio = '   2')  ORDER BY IDDEPOSITO",
       returns({"Descripcion"}, {{"Depósito sucursal"}})}}},

    // A caller's statement: V_MA_ARTICULOS read as VT_MA_ARTICULOS, the
    // condition appended, no limit and no order.
    {"Sentencia_DelLlamador",
     {{"SELECT IdArticulo, Descripcion, Stock FROM VT_MA_ARTICULOS WHERE  (Stock > 5) ",
       returnsInAnyOrder({"IdArticulo", "Stock"},
                         {{articleCode(1), 40}, {articleCode(3), 36}, {articleCode(5), 8}})}}},
    {"Sentencia_VistaDeStock",
     {{"SELECT TOP 1000 Descripcion,IdArticulo,PuntoPedido,Stock,Precio1,Precio2 FROM "
       "STK_MA_ARTICULOS  with(nolock)  ORDER BY Descripcion",
       returns(
           {"IdArticulo", "PuntoPedido", "Stock", "Precio1", "Precio2"},
           {{articleCode(5), 0, 8, Currency::fromDouble(1650), Currency::fromDouble(1815)},
            {articleCode(6), 0, 0, Currency::fromDouble(900), Currency::fromDouble(990)},
            {articleCode(3), 0, 36, Currency::fromDouble(1100), Currency::fromDouble(1210)},
            {articleCode(4), 2, 0, Currency::fromDouble(9800), Currency::fromDouble(10780)},
            {articleCode(2), 5, 3, Currency::fromDouble(1200), Currency::fromDouble(1320)},
            {articleCode(1), 10, 40, Currency::fromDouble(2500), Currency::fromDouble(2750)}})}}},

    // F5: the typed text as a LIKE condition before the ORDER BY tail.
    {"NuevaBusqueda_EmpiezaCon",
     {{"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
       "SUSPENDIDO = 0  and DESCRIPCION like 'le%' ORDER BY DESCRIPCION",
       returns({"DESCRIPCION"}, {{"Leche entera 1 l"}})}}},
    {"NuevaBusqueda_AsteriscoComoComodin",
     {{"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
       "SUSPENDIDO = 0  and DESCRIPCION like 'l%1%' ORDER BY DESCRIPCION",
       returns({"DESCRIPCION"}, {{"Lavandina 1 l"}, {"Leche entera 1 l"}})}}},
    {"NuevaBusqueda_Contiene",
     {{"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
       "SUSPENDIDO = 0  and DESCRIPCION like '%MATE%KG%' ORDER BY DESCRIPCION",
       returns({"DESCRIPCION"}, {{"Yerba mate 1 kg"}})}}},
    {"NuevaBusqueda_CalificadaEnLaVistaDeStock",
     {{"SELECT TOP 1000 stk_ma_articulos.IdArticulo, stk_ma_articulos.Descripcion FROM "
       "STK_MA_ARTICULOS  where stk_ma_articulos.Descripcion like '%leche%' ORDER BY "
       "stk_ma_articulos.Descripcion",
       returns({"IdArticulo"}, {{articleCode(3)}})}}},
    {"NuevaBusqueda_AcentosCuentan",
     {{"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE "
       "SUSPENDIDO = 0  and DESCRIPCION like 'te%' ORDER BY DESCRIPCION",
       returnsNoRows()}}},

    // F12: the shortage record.
    {"Faltante_RegistraElArticulo",
     {{"INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) values('08/12/2026 "
       "18:40:00','" +
           articleCode(1) + "','Yerba mate 1 kg','ADMIN')",
       affects(1)},
      {"SELECT FechaHora, IdArticulo, Usuario FROM V_MV_FALTANTES",
       returns({"FechaHora", "IdArticulo", "Usuario"},
               {{QDateTime(QDate(2026, 12, 8), QTime(18, 40)), articleCode(1), "ADMIN"}})}}},

    // The family tree: each family with the nearest shorter code before it.
    {"Arbol_Familias",
     {{"SELECT     TOP 100 PERCENT IdFamilia, Descripcion, "
       "(SELECT     TOP 1 idfamilia FROM v_ta_familias a  "
       " Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < "
       "Len(LTrim(RTrim(b.IdFamilia)))) "
       " ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' "
       "ORDER BY IdFamilia",
       returns({"IdFamilia", "Descripcion", "relative"}, {{"01", "Almacén", kNull},
                                                          {"0101", "Infusiones", "01"},
                                                          {"0102", "Lácteos", "01"},
                                                          {"02", "Limpieza", kNull},
                                                          {"0201", "Detergentes", "02"}})}}},
    {"Arbol_BusquedaF5",
     {{"SELECT Codigo, Descripcion FROM MA_CUENTAS  where Descripcion like '%caja%' ORDER BY "
       "Codigo",
       returns({"Codigo"}, {{"1.1.01"}})}}},
    // Accepting a node: the row of the chosen code.
    {"Arbol_AceptaFamilia",
     {{"SELECT TOP 1  * FROM V_TA_FAMILIAS with(nolock)  WHERE LTRIM(RTRIM(IDFAMILIA)) ='0101'",
       returns({"IdFamilia", "Descripcion"}, {{"0101", "Infusiones"}})}}},
    {"Arbol_AceptaPosicion",
     {{"SELECT TOP 1  * FROM MA_POSICIONES with(nolock)  WHERE LTRIM(RTRIM(IDPOSICION)) ='0101'",
       returns({"IdPosicion"}, {{"0101"}})}}},
    {"Arbol_AceptaCuentaQueNoEsCentroDeCosto",
     {{"SELECT TOP 1  * FROM TA_CCOSTO with(nolock)  WHERE LTRIM(RTRIM(CODIGO)) ='1.1.01'",
       returnsNoRows()},
      {"SELECT TOP 1  * FROM MA_CUENTAS with(nolock)  WHERE LTRIM(RTRIM(CODIGO)) ='1.1.01'",
       returns({"Codigo", "Descripcion"}, {{"1.1.01", "Caja"}})}}},
};

INSTANTIATE_TEST_SUITE_P(Consultas, StatementCorpus, ::testing::ValuesIn(kLookupCases),
                         corpusCaseName);

} // namespace
} // namespace estaciones::test::corpus
