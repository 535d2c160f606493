// The session's statements: configuration reads and writes, the user row of
// the start-up, the till registration, the access log and the error table.

#include "StatementCorpus.h"

namespace estaciones::test::corpus {
namespace {

// The access log row as GActualizarDatoScript sends it: the transaction
// opener, two carriage returns, each queued statement after a carriage return.
const char* const kAccesoInsert =
    "BEGIN TRANSACTION \r\r\rINSERT INTO Control_Acceso "
    "(Maquina,Usuario,Formulario,Tarea,Ingreso,NombreUsuario) VALUES "
    "('PC-CAJA1','ADMIN','ESTACIONES','CALENDARIO DE TEMPORADAS','08/12/26 18:40','ADMIN')\r";

QString repeated(char c, int count) {
    return QString(count, QLatin1Char(c));
}

Step auxErrInsert(const QString& descripcion, const QString& sql, Expect expect) {
    return {"INSERT INTO AUX_ERR (Proceso, Fecha, [Error], Descripcion, [SQL], PC, Usuario) "
            "VALUES ('ESTACIONES', '08/12/26 18:40', 2627, '" +
                descripcion + "', '" + sql + "', 'PC-CAJA1', 'ADMIN')",
            std::move(expect)};
}

const std::vector<CorpusCase> kSessionCases = {
    // Cfg: the reader's statement; keys compare ignoring case.
    {"Cfg_ClaveExistente",
     {{"SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'TempoCol_BA'",
       returns({"VALOR", "valoraux"}, {{"&H0000FF00&", ""}})}}},
    {"Cfg_LosCuatroColoresDeTemporada",
     {{"SELECT VALOR FROM TA_CONFIGURACION with(nolock)  WHERE CLAVE IN "
       "('TempoCol_BA','TempoCol_ME','TempoCol_AL','TempoCol_ES') ORDER BY CLAVE",
       returns({"VALOR"}, {{"&H00FFFF00&"}, {"&H0000FF00&"}, {"&H000000FF&"}, {"&H0000FFFF&"}})}}},
    {"Cfg_ClaveInexistente",
     {{"SELECT VALOR, valoraux FROM TA_CONFIGURACION with(nolock)  WHERE CLAVE = 'NoExiste'",
       returnsNoRows()}}},
    {"Cfg_FechaDesdeEnMayusculas",
     {{"SELECT VALOR, VALORAUX FROM TA_CONFIGURACION WITH(NOLOCK)  WHERE CLAVE = '[FECHA DESDE]'",
       returnsNoRows()}}},
    {"Cfg_ValorNulo",
     {{"UPDATE TA_CONFIGURACION SET Valor = NULL WHERE Clave = 'THEME'", affects(1)},
      {"SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'theme'",
       returns({"VALOR", "valoraux"}, {{kNull, ""}})}}},

    // GrabaCfg: the writer's statement, and the row it adds (ValorAux keeps
    // the column's default) and later overwrites.
    {"GrabaCfg_LeeLaFilaAEditar",
     {{"SELECT * FROM ta_configuracion with(nolock)  WHERE CLAVE = 'TempoCol_ME'",
       returns({"Clave", "Valor", "Grupo", "PoliticaNegocio"},
               {{"TEMPOCOL_ME", "&H0000FFFF&", "DATOS", false}})}}},
    {"GrabaCfg_FilaNuevaConValorAuxPorDefecto",
     {{"SELECT * FROM ta_configuracion with(nolock)  WHERE CLAVE = 'TempoCol_XX'", returnsNoRows()},
      {"INSERT INTO ta_configuracion (Grupo, Clave, Valor, PoliticaNegocio) "
       "VALUES ('DATOS', 'TEMPOCOL_XX', '65280', 0)",
       affects(1)},
      {"SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'TempoCol_XX'",
       returns({"VALOR", "valoraux"}, {{"65280", ""}})},
      {"UPDATE ta_configuracion SET Valor = '&H0000FF00&' WHERE Clave = 'TEMPOCOL_XX'", affects(1)},
      {"SELECT * FROM ta_configuracion with(nolock)  WHERE CLAVE = 'TempoCol_XX'",
       returns({"Valor", "ValorAux", "Grupo", "PoliticaNegocio"},
               {{"&H0000FF00&", "", "DATOS", false}})}}},
    {"GrabaCfg_ClaveSinRecortar",
     {{"SELECT * FROM ta_configuracion with(nolock)  WHERE CLAVE = 'theme '",
       returns({"Clave", "Valor"}, {{"THEME", "1"}})}}},
    {"GrabaCfg_ClaveRepetidaEnMinusculas",
     {{"INSERT INTO ta_configuracion (Grupo, Clave, Valor, PoliticaNegocio) "
       "VALUES ('DATOS', 'tempocol_ba', '65280', 0)",
       failsWith(2627)}}},

    // CargarConfiguracion: the logged user's row.
    {"CargarConfiguracion_FilaDelUsuario",
     {{"Select * from ta_usuarios  with(nolock)  where Nombre = 'ADMIN'",
       returns({"UNegocio", "verproforma", "Administrador"}, {{code4(1), false, 1}})}}},
    {"CargarConfiguracion_UsuarioEnMinusculas",
     {{"Select * from ta_usuarios  with(nolock)  where Nombre = 'ana'",
       returns({"Nombre", "Administrador"}, {{"ANA", 0}})}}},

    // ArmarBarraEstado: the till's description, its registration.
    {"Caja_DescripcionDeLaCaja",
     {{"SELECT TOP 1 * FROM V_TA_Cajas with(nolock)  WHERE LTRIM(RTRIM(IdCajas)) ='1' ",
       returns({"IdCajas", "Descripcion"}, {{code4(1), "CAJA 1"}})}}},
    {"Caja_RegistraUnaCajaNueva",
     {{"SELECT TOP 1 * FROM V_TA_Cajas with(nolock)  WHERE LTRIM(RTRIM(IdCajas)) ='7' ",
       returnsNoRows()},
      {"INSERT INTO V_TA_Cajas (IDCAJAS,DESCRIPCION) VALUES('   7','CAJA 7')", affects(1)},
      {"SELECT TOP 1 * FROM V_TA_Cajas with(nolock)  WHERE LTRIM(RTRIM(IdCajas)) ='7' ",
       returns({"Descripcion"}, {{"CAJA 7"}})}}},
    {"Caja_RegistrarDosVecesEsClaveDuplicada",
     {{"INSERT INTO V_TA_Cajas (IDCAJAS,DESCRIPCION) VALUES('   1','CAJA 1')", failsWith(2627)}}},
    {"Caja_VistaSinonimoDelUsuarioComun",
     {{"SELECT TOP 1 * FROM SS_V_TA_CAJAS with(nolock)  WHERE LTRIM(RTRIM(IdCajas)) ='1' ",
       returns({"Descripcion"}, {{"CAJA 1"}})}},
     QStringLiteral("ANA")},

    // RegistrarAcceso: the task lookup (user followed by one blank inside the
    // quotes), the row read, the insert in its transaction; RegistrarEgreso.
    {"Acceso_TareaDelUsuario",
     {{"SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre "
       " FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave "
       " WHERE (TA_TAREAS.USUARIO = 'ADMIN ') AND (TA_MENU.Proceso LIKE '%ESTACIONES%')",
       returns({"USUARIO", "Proceso", "Clave", "Nombre"},
               {{"ADMIN", "ESTACIONES", "CALENDARIO", "Calendario de temporadas"}})}}},
    {"Acceso_UsuarioEnMinusculasConBlanco",
     {{"SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre "
       " FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave "
       " WHERE (TA_TAREAS.USUARIO = 'ana ') AND (TA_MENU.Proceso LIKE '%estaciones%')",
       returns({"USUARIO", "Nombre"}, {{"ANA", "Calendario de temporadas"}})}}},
    {"Acceso_SinTarea",
     {{"SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre "
       " FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave "
       " WHERE (TA_TAREAS.USUARIO = 'ANA ') AND (TA_MENU.Proceso LIKE '%ARTICULOS%')",
       returnsNoRows()}}},
    {"Acceso_RegistroVacio",
     {{"Select TOP 1 * from Control_Acceso  with(nolock) ", returnsNoRows()}}},
    {"Acceso_IngresoYEgreso",
     {{kAccesoInsert, succeeds()},
      {"COMMIT TRANSACTION", succeeds()},
      {"Select TOP 1 * from Control_Acceso  with(nolock) ",
       returns({"Id", "Maquina", "Usuario", "Formulario", "Tarea", "Ingreso", "NombreUsuario",
                "EGRESO"},
               {{1, "PC-CAJA1", "ADMIN", "ESTACIONES", "CALENDARIO DE TEMPORADAS", "08/12/26 18:40",
                 "ADMIN", kNull}})},
      {"UPDATE CONTROL_ACCESO  SET EGRESO = '08/12/26 19:05' WHERE EGRESO IS NULL AND  ID = 1",
       affects(1)},
      {"UPDATE CONTROL_ACCESO  SET EGRESO = '08/12/26 19:10' WHERE EGRESO IS NULL AND  ID = 1",
       affects(0)},
      {"SELECT EGRESO FROM Control_Acceso", returns({"EGRESO"}, {{"08/12/26 19:05"}})}}},
    {"Acceso_EgresoSinRegistro",
     {{"UPDATE CONTROL_ACCESO  SET EGRESO = '08/12/26 19:05' WHERE EGRESO IS NULL AND  ID = 0",
       affects(0)}}},
    {"Acceso_GuionQueFallaSeDeshace",
     {{"BEGIN TRANSACTION \r\r\rINSERT INTO V_TA_Cajas (IDCAJAS,DESCRIPCION) VALUES "
       "('   8','CAJA 8')\rINSERT INTO V_TA_Cajas (IDCAJAS,DESCRIPCION) VALUES "
       "('   1','CAJA 1')\r",
       failsWith(2627)},
      {"ROLLBACK TRANSACTION", succeeds()},
      {"SELECT COUNT(*) FROM V_TA_Cajas", returns({"#0"}, {{1}})}}},

    // RegistrarErrorAux: the row read, the row the recordset adds.
    {"AuxErr_TablaVacia", {{"select  top 1 * from AUX_ERR  with(nolock) ", returnsNoRows()}}},
    {"AuxErr_DescripcionDe250",
     {auxErrInsert(repeated('x', 250), "INSERT INTO V_TA_Cajas (IDCAJAS) VALUES (1)", affects(1)),
      {"SELECT LEN(Descripcion), [Error] FROM AUX_ERR", returns({"#0", "#1"}, {{250, 2627}})}}},
    {"AuxErr_DescripcionDe251EsTruncamiento",
     {auxErrInsert(repeated('x', 251), "x", failsWith(8152)),
      {"SELECT COUNT(*) FROM AUX_ERR", returns({"#0"}, {{0}})}}},
    {"AuxErr_GuionLargo",
     {auxErrInsert("x", repeated('y', 20000), affects(1)),
      {"SELECT [SQL] FROM AUX_ERR", returns({"SQL"}, {{repeated('y', 20000)}})}}},
};

INSTANTIATE_TEST_SUITE_P(Sesion, StatementCorpus, ::testing::ValuesIn(kSessionCases),
                         corpusCaseName);

} // namespace
} // namespace estaciones::test::corpus
