// The data access class's statements: the table lookups, the synonym views
// that non-administrators read, and the column addition.

#include "StatementCorpus.h"

namespace estaciones::test::corpus {
namespace {

// A left-aligned code that sorts above every right-aligned one.
const Step kArticuloConCero{"INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES "
                            "('07790001234560', 'Articulo importado')",
                            affects(1)};

const std::vector<CorpusCase> kDataAccessCases = {
    // ExisteEnTabla: both sides trimmed for text keys; ExisteEnTablaST: not.
    {"ExisteEnTabla_TextoRecortado",
     {{"SELECT TOP 1  * FROM V_MA_ARTICULOS with(nolock)  WHERE LTRIM(RTRIM(IdArticulo)) ='1'",
       returns({"IdArticulo", "Descripcion"}, {{articleCode(1), "Yerba mate 1 kg"}})}}},
    {"ExisteEnTablaST_SinRecortarNoEncuentra",
     {{"SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE IdArticulo ='1'", returnsNoRows()}}},
    {"ExisteEnTablaST_CodigoCompleto",
     {{"SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE IdArticulo ='" + articleCode(1) + "'",
       returns({"Descripcion"}, {{"Yerba mate 1 kg"}})}}},
    {"ExisteEnTabla_CondicionConWhere",
     {{"SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)   WHERE Suspendido = 1", returnsNoRows()}}},
    {"ExisteEnTabla_Numero",
     {{"SELECT TOP 1 * FROM MV_ASIENTOS with(nolock)  WHERE NroAsiento = 1",
       returns({"NroAsiento", "Fecha"}, {{1, QDate(2026, 1, 2)}})}}},
    {"ExisteEnTabla_Fecha",
     {{"SELECT TOP 1 * FROM MV_ASIENTOS with(nolock)  WHERE Fecha = '2/1/2026' ",
       returns({"NroAsiento"}, {{1}})}}},

    // DatosTabla: the administrator check of the connection, a key with its
    // blanks, a condition joined with AND.
    {"DatosTabla_Administrador",
     {{"SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE LTRIM(RTRIM(nombre)) ='ADMIN' ",
       returns({"Administrador"}, {{1}})}}},
    {"DatosTabla_UsuarioComun",
     {{"SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE LTRIM(RTRIM(nombre)) ='ana' ",
       returns({"Administrador"}, {{0}})}}},
    {"DatosTabla_SinRecortarConCondicion",
     {{"SELECT TOP 1 * FROM V_TA_DEPOSITO with(nolock)  WHERE IdDeposito ='   2'  AND "
       "UnidadNegocio = '   2'",
       returns({"Descripcion"}, {{"Depósito sucursal"}})}}},
    {"DatosTabla_FilaInexistente",
     {{"SELECT TOP 1 * FROM V_TA_DEPOSITO with(nolock)  WHERE LTRIM(RTRIM(IdDeposito)) ='9' ",
       returnsNoRows()}}},

    // BuscaMaximo / BuscaMinimo / BuscaUltimoCodigo.
    {"BuscaMaximo_CodigosAlineados",
     {{"SELECT MAX(idarticulo) AS MAYOR FROM v_ma_articulos WHERE SUBSTRING(IDARTICULO,1,1) = ' '",
       returns({"MAYOR"}, {{articleCode(6)}})}}},
    {"BuscaMaximo_CodigoQueEmpiezaConCero",
     {kArticuloConCero,
      {"SELECT MAX(IdArticulo) AS MAYOR FROM V_MA_ARTICULOS",
       returns({"MAYOR"}, {{"07790001234560"}})},
      {"SELECT MAX(IdArticulo) AS MAYOR FROM V_MA_ARTICULOS WHERE "
       "substring(ltrim(idarticulo),1,1)<>'0'",
       returns({"MAYOR"}, {{articleCode(6)}})}}},
    {"BuscaMaximo_TablaVacia",
     {{"SELECT MAX(Id) AS MAYOR FROM Control_Acceso", returns({"MAYOR"}, {{kNull}})}}},
    {"BuscaMinimo_TablaVacia",
     {{"SELECT MIN(Id) AS MENOR FROM AUX_ERR  with(nolock) ", returns({"MENOR"}, {{kNull}})}}},
    {"BuscaMinimo_ConCondicion",
     {{"SELECT MIN(Precio1) AS MENOR FROM V_MA_PRECIOS  with(nolock)  WHERE TipoLista = 'V'",
       returns({"MENOR"}, {{Currency::fromDouble(900)}})}}},
    {"BuscaUltimoCodigo_ConYSinCondicion",
     {{"SELECT MAX(IdDeposito) AS MAYOR FROM V_TA_DEPOSITO", returns({"MAYOR"}, {{code4(2)}})},
      {"SELECT MAX(IdDeposito) AS MAYOR FROM V_TA_DEPOSITO WHERE UnidadNegocio = '   1'",
       returns({"MAYOR"}, {{code4(1)}})}}},

    // SS_TSinonimos: a non-administrator's queries read the synonym views.
    {"Sinonimos_Cuentas",
     {{"SELECT TOP 1 * FROM SS_MA_CUENTAS with(nolock)  WHERE LTRIM(RTRIM(CODIGO)) ='1.1.01' ",
       returns({"Descripcion"}, {{"Caja"}})}},
     QStringLiteral("ANA")},
    {"Sinonimos_LasSieteVistas",
     {{"SELECT COUNT(*) FROM SS_MA_CUENTAS", returns({"#0"}, {{6}})},
      {"SELECT COUNT(*) FROM SS_V_TA_DEPOSITO", returns({"#0"}, {{2}})},
      {"SELECT COUNT(*) FROM SS_MV_ASIENTOS", returns({"#0"}, {{2}})},
      {"SELECT COUNT(*) FROM SS_V_TA_FAMILIAS", returns({"#0"}, {{5}})},
      {"SELECT COUNT(*) FROM SS_V_TA_CAJAS", returns({"#0"}, {{1}})},
      {"SELECT COUNT(*) FROM SS_AC_CUENTASDIARIO", returns({"#0"}, {{1}})},
      {"SELECT COUNT(*) FROM SS_AC_CUENTAS_DIARIO_CCOSTO", returns({"#0"}, {{1}})}},
     QStringLiteral("ANA")},
    {"Sinonimos_AsientosPorCuenta",
     {{"SELECT SUM(Debe) AS Debe FROM SS_MV_ASIENTOS with(nolock)  WHERE Cuenta = '1.1.01'",
       returns({"Debe"}, {{Currency::fromDouble(2500)}})}},
     QStringLiteral("ANA")},

    // AddField.
    // A nullable column added with a default stays NULL in the existing rows.
    {"AddField_ColumnaNulaConDefault",
     {{"ALTER TABLE dbo.V_TA_DEPOSITO ADD Direccion varchar(100) Null  CONSTRAINT "
       "DF_V_TA_DEPOSITO_Direccion DEFAULT ('')",
       succeeds()},
      {"SELECT Direccion FROM V_TA_DEPOSITO WHERE IdDeposito = '   1'",
       returns({"Direccion"}, {{kNull}})},
      {"INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion) VALUES ('   3', 'Nuevo')", affects(1)},
      {"SELECT Direccion FROM V_TA_DEPOSITO WHERE IdDeposito = '   3'",
       returns({"Direccion"}, {{""}})}}},
    {"AddField_ColumnaNoNulaConDefault",
     {{"ALTER TABLE dbo.V_TA_DEPOSITO ADD Activo int Not Null  CONSTRAINT "
       "DF_V_TA_DEPOSITO_Activo DEFAULT (1)",
       succeeds()},
      {"SELECT Activo FROM V_TA_DEPOSITO ORDER BY IdDeposito", returns({"Activo"}, {{1}, {1}})}}},
    {"AddField_ColumnaExistente",
     {{"ALTER TABLE dbo.V_TA_DEPOSITO ADD Descripcion varchar(100) Null ", failsWith(2705)}}},
    {"AddField_NoNulaSinDefaultEnTablaConFilas",
     {{"ALTER TABLE dbo.V_TA_DEPOSITO ADD Orden int Not Null ", failsWith(4901)},
      {"SELECT Orden FROM V_TA_DEPOSITO", failsWith(207)}}},
    {"AddField_TablaInexistente",
     {{"ALTER TABLE dbo.NO_EXISTE ADD Orden int Null ", failsWith(4902)}}},
};

INSTANTIATE_TEST_SUITE_P(AccesoDatos, StatementCorpus, ::testing::ValuesIn(kDataAccessCases),
                         corpusCaseName);

} // namespace
} // namespace estaciones::test::corpus
