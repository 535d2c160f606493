// The season calendar's statements: the season read of each painted day, the
// season update of a click, the year creation and the Sunday update, and the
// script runner's passes.

#include "StatementCorpus.h"

namespace estaciones::test::corpus {
namespace {

const Step kMarzo5Alta{
    "INSERT INTO MA_CALENDARIO (Fecha, Temporada, nolaborable) VALUES ('20240305', 'AL', 0)",
    affects(1)};

// A year-creation procedure of the shape the calendar calls: two yyyymmdd texts.
const Step kCreaCalendario{
    "CREATE PROCEDURE ts_CreaCalendario @Desde varchar(8), @Hasta varchar(8) AS\r\n"
    "SET NOCOUNT ON\r\n"
    "DECLARE @Fecha datetime\r\n"
    "SET @Fecha = CONVERT(datetime, @Desde, 112)\r\n"
    "WHILE @Fecha <= CONVERT(datetime, @Hasta, 112)\r\n"
    "BEGIN\r\n"
    "    IF NOT EXISTS (SELECT * FROM MA_CALENDARIO WHERE Fecha = @Fecha)\r\n"
    "        INSERT INTO MA_CALENDARIO (Fecha, Temporada, nolaborable) VALUES (@Fecha, '', 0)\r\n"
    "    SET @Fecha = DATEADD(dd, 1, @Fecha)\r\n"
    "END\r\n",
    succeeds()};

const Step kLlamada2024{"ts_CreaCalendario '20240101','20241231'", succeeds()};

// The rows the procedure leaves for a year, inserted one by one, so that the
// Sunday update is checked apart from the procedure.
Step filasDelAnio(int year) {
    QString batch;
    for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
        batch += "INSERT INTO MA_CALENDARIO (Fecha, Temporada, nolaborable) VALUES ('" +
                 d.toString(QStringLiteral("yyyyMMdd")) + "', '', 0)\r\n";
    }
    return {batch, succeeds()};
}

const char* const kDomingos2024 = "update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, "
                                  "Fecha) in ('Domingo','Sunday') AND YEAR(FECHA) = 2024";

const std::vector<CorpusCase> kCalendarCases = {
    // Temporada: one read per painted day, date literal day/month/year.
    {"Temporada_LeeLaTemporadaDelDia",
     {kMarzo5Alta,
      {"select * from ma_calendario where fecha = '5/3/2024'",
       returns({"Fecha", "Temporada", "nolaborable"}, {{QDate(2024, 3, 5), "AL", 0}})}}},
    {"Temporada_FechaSinFila",
     {kMarzo5Alta, {"select * from ma_calendario where fecha = '6/3/2024'", returnsNoRows()}}},
    {"Temporada_LiteralEnOrdenDiaMes",
     {kMarzo5Alta, {"select * from ma_calendario where fecha = '3/5/2024'", returnsNoRows()}}},

    // AsignarTemporada: the update of a click; no row, no error.
    {"AsignarTemporada_ActualizaLaFila",
     {kMarzo5Alta,
      {"update ma_calendario set Temporada = 'ES' where fecha = '5/3/2024'", affects(1)},
      {"select Temporada from ma_calendario where fecha = '5/3/2024'",
       returns({"Temporada"}, {{"ES"}})}}},
    {"AsignarTemporada_SinFilaNoActualizaNada",
     {{"update ma_calendario set Temporada = 'AL' where fecha = '14/3/2025'", affects(0)}}},
    {"AsignarTemporada_CodigoVacio",
     {kMarzo5Alta,
      {"update ma_calendario set Temporada = '' where fecha = '5/3/2024'", affects(1)},
      {"select Temporada from ma_calendario where fecha = '5/3/2024'",
       returns({"Temporada"}, {{""}})}}},

    // Crear Calendario: FECHAUPDATE decides whether the script runs.
    {"CrearCalendario_LeeFechaUpdate",
     {{"SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'FECHAUPDATE'",
       returns({"VALOR", "valoraux"}, {{"01/12/2026", ""}})}}},
    {"CrearCalendario_ProcedimientoInexistente",
     {{"ts_CreaCalendario '20250101','20251231'", failsWith(2812)}}},
    {"CrearCalendario_CreaLasFilasDelAnio",
     {kCreaCalendario,
      kLlamada2024,
      {"SELECT COUNT(*), MIN(Fecha), MAX(Fecha) FROM MA_CALENDARIO WHERE YEAR(Fecha) = 2024",
       returns({"#0", "#1", "#2"}, {{366, QDate(2024, 1, 1), QDate(2024, 12, 31)}})}}},
    {"CrearCalendario_LlamadaYDomingos",
     {kCreaCalendario, kLlamada2024, {kDomingos2024, affects(52)}}},
    {"CrearCalendario_SegundaLlamadaNoDuplica",
     {kCreaCalendario,
      kLlamada2024,
      kLlamada2024,
      {"SELECT COUNT(*) FROM MA_CALENDARIO", returns({"#0"}, {{366}})}}},
    {"Domingos_MarcaLos52De2024",
     {filasDelAnio(2024),
      {kDomingos2024, affects(52)},
      {"SELECT COUNT(*) FROM MA_CALENDARIO WHERE nolaborable = 1", returns({"#0"}, {{52}})},
      {"SELECT TOP 1 Fecha FROM MA_CALENDARIO WHERE nolaborable = 1 ORDER BY Fecha",
       returns({"Fecha"}, {{QDate(2024, 1, 7)}})},
      {"SELECT TOP 1 Fecha FROM MA_CALENDARIO WHERE nolaborable = 1 ORDER BY Fecha DESC",
       returns({"Fecha"}, {{QDate(2024, 12, 29)}})}}},
    {"Domingos_MinimoYMaximoSonFechas",
     {filasDelAnio(2024),
      {kDomingos2024, affects(52)},
      {"SELECT COUNT(*), MIN(Fecha), MAX(Fecha) FROM MA_CALENDARIO WHERE nolaborable = 1",
       returns({"#0", "#1", "#2"}, {{52, QDate(2024, 1, 7), QDate(2024, 12, 29)}})}}},
    {"Domingos_EnSesionInglesa",
     {filasDelAnio(2024), {"SET LANGUAGE us_english", succeeds()}, {kDomingos2024, affects(52)}}},
    {"Domingos_DeOtroAnioNoSeTocan",
     {filasDelAnio(2024),
      {"update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, Fecha) in "
       "('Domingo','Sunday') AND YEAR(FECHA) = 2025",
       affects(0)}}},

    // The script runner: three batches, a view on a table created later. Pass 1
    // creates A and B and fails on the view; pass 2 finds A and B and creates V.
    {"VerVistas_VistaSobreTablaPosterior",
     {{"SET NOCOUNT ON", succeeds()},
      {"CREATE TABLE dbo.PruebaA (Id int NOT NULL PRIMARY KEY)\r\n", succeeds()},
      {"CREATE VIEW dbo.PruebaV AS SELECT Id FROM dbo.PruebaB\r\n", failsWith(208)},
      {"CREATE TABLE dbo.PruebaB (Id int NOT NULL PRIMARY KEY)\r\n", succeeds()},
      {"CREATE TABLE dbo.PruebaA (Id int NOT NULL PRIMARY KEY)\r\n", failsWith(2714)},
      {"CREATE VIEW dbo.PruebaV AS SELECT Id FROM dbo.PruebaB\r\n", succeeds()},
      {"CREATE TABLE dbo.PruebaB (Id int NOT NULL PRIMARY KEY)\r\n", failsWith(2714)},
      {"SELECT COUNT(*) FROM dbo.PruebaV", returns({"#0"}, {{0}})}}},
    {"VerVistas_BorraVistaSoloSiExiste",
     {{"if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[SS_V_TA_CAJAS]'))"
       " drop view [dbo].[SS_V_TA_CAJAS]\r\n",
       succeeds()},
      {"if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[SS_V_TA_CAJAS]'))"
       " drop view [dbo].[SS_V_TA_CAJAS]\r\n",
       succeeds()},
      {"SELECT * FROM SS_V_TA_CAJAS", failsWith(208)}}},
    // The account view rewrite: the plain view, which DEMO already has, and
    // the confidential one, which shows the accounts of the login's group.
    {"VerVistas_VistaDeCuentasYaExiste",
     {{"CREATE VIEW dbo.SS_MA_CUENTAS "
       " AS "
       " SELECT * "
       " FROM MA_CUENTAS",
       failsWith(2714)}}},
    {"VerVistas_VistaDeCuentasConfidencial",
     {{"DROP VIEW dbo.SS_MA_CUENTAS", succeeds()},
      {"CREATE VIEW dbo.SS_MA_CUENTAS "
       " AS "
       " SELECT MA_CUENTAS.* "
       " FROM MA_CUENTAS_USUARIOS INNER JOIN "
       " MA_CUENTAS ON  "
       " MA_CUENTAS_USUARIOS.Cuenta = MA_CUENTAS.CODIGO INNER  "
       " Join TA_USUARIOS ON "
       " MA_CUENTAS_USUARIOS.GrupoUser = TA_USUARIOS.Grupo  "
       " Where (TA_USUARIOS.Nombre = SYSTEM_USER)",
       succeeds()},
      {"SELECT Codigo, Descripcion FROM SS_MA_CUENTAS", returns({"Codigo"}, {{"1.1.01"}})}},
     QStringLiteral("ANA")},
};

INSTANTIATE_TEST_SUITE_P(Calendario, StatementCorpus, ::testing::ValuesIn(kCalendarCases),
                         corpusCaseName);

} // namespace
} // namespace estaciones::test::corpus
