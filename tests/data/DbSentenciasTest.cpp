#include "data/DB_Dll.h"
#include "data/LoteOracle.h"
#include "data/SentenciaQueEscribe.h"
#include "data/SharedDb.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::data;

namespace {

class Sentencias : public ::testing::Test {
protected:
    void SetUp() override {
        db.gLogErr = log.filePath(QStringLiteral("errores.log"));
        db.OpenServerADODB(false, db::adUseClient, empresa.cadena(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
        ejecutar("CREATE TABLE dbo.PRUEBA (Id int NOT NULL PRIMARY KEY, Nombre varchar(5) NULL)");
        ejecutar("INSERT INTO PRUEBA (Id, Nombre) VALUES (1, 'uno')");
    }

    std::int64_t ejecutar(const QString& texto) {
        QString sentencia = texto;
        std::int64_t filas = 0;
        db.EjecutaConsultaSQL(sentencia, filas);
        return filas;
    }

    QString leerNombre(int id) {
        db::Recordset rs;
        QString sentencia = QStringLiteral("select Nombre from PRUEBA where Id = %1").arg(id);
        db.AbrirRecordset(sentencia, rs);
        QString nombre = rs.eof() ? QStringLiteral("<sin fila>") : rs["Nombre"].value().toString();
        db.CierraRecordset(rs);
        return nombre;
    }

    test::EmpresaDb empresa;
    QTemporaryDir log;
    DB_Dll db;
    test::ScriptedOperator operador;
};

TEST_F(Sentencias, theRewrittenTextIsWrittenBackAndRuns) {
    QString sentencia = QStringLiteral("update @ADMIN_PRUEBA set Nombre = 'dos' where Id = 1");
    std::int64_t filas = 0;
    db.EjecutaConsultaSQL(sentencia, filas);
    EXPECT_EQ(sentencia, "update PRUEBA set Nombre = 'dos' where Id = 1");
    EXPECT_EQ(filas, 1);
    EXPECT_EQ(leerNombre(1), "dos");

    // DROP with CREATE and no "@Admin_" keeps its text (it goes to the
    // synonym rewrite instead of losing a prefix).
    QString ddl = QStringLiteral("DROP TABLE X_TEMP CREATE TABLE X_TEMP (a int)");
    db.EjecutaConsultaSQL(ddl, filas);
    EXPECT_EQ(ddl, "DROP TABLE X_TEMP CREATE TABLE X_TEMP (a int)");
}

TEST_F(Sentencias, keyViolationsAndTruncationShowNothing) {
    ejecutar("INSERT INTO PRUEBA (Id, Nombre) VALUES (1, 'otro')");
    ASSERT_GE(db.gCnn.errors().count(), 1);
    EXPECT_EQ(db.gCnn.errors().item(0).nativeError, 2627);

    ejecutar("INSERT INTO PRUEBA (Id, Nombre) VALUES (2, 'demasiado largo')");
    EXPECT_EQ(db.gCnn.errors().count(), 0) << "8152 is cleared";
    EXPECT_EQ(leerNombre(2), "<sin fila>");
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Sentencias, anUnexpectedFailureIsShownUnlessTheTextMentionsTransactions) {
    db.gCnn.close();
    ejecutar("BEGIN TRANSACTION update PRUEBA set Nombre = 'x'");
    EXPECT_TRUE(operador.dialogs().empty());

    operador.answerMessage(ui::reply::OK);
    ejecutar("update PRUEBA set Nombre = 'x'");
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].title, "Aviso al operador!!! - 4");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::Critical);

    operador.answerMessage(ui::reply::OK);
    QString sentencia = QStringLiteral("update PRUEBA set Nombre = 'x'");
    std::int64_t filas = 0;
    db.EjecutaConsultaRSQL(sentencia, filas);
    EXPECT_EQ(operador.dialogs().back().title, "Aviso al operador!!!");
}

TEST_F(Sentencias, abrirRecordsetReconnectsAfterTheLinkDropped) {
    db.gCnn.faults().dropConnection();
    EXPECT_EQ(leerNombre(1), "uno");
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Sentencias, aFailedOpenAsksAndRetriesOrGivesUpWithTheRecordsetClosed) {
    operador.answerMessage(ui::reply::Retry).answerMessage(ui::reply::Abort);
    db::Recordset rs;
    QString sentencia = QStringLiteral("select * from NO_EXISTE");
    db.AbrirRecordset(sentencia, rs);
    EXPECT_EQ(rs.state(), db::adStateClosed);
    ASSERT_EQ(operador.dialogs().size(), 2u);
    EXPECT_TRUE(
        operador.dialogs()[0].title.endsWith(" - AbrirRecordset Aviso al operador!!! - 5 "));
    EXPECT_TRUE(operador.dialogs()[0].text.startsWith("Ha ocurrido el Siguiente Error ("));
}

TEST_F(Sentencias, cierraRecordsetIgnoresNeverOpenedAndCancelsPendingEdits) {
    db::Recordset nunca;
    db.CierraRecordset(nunca);
    EXPECT_EQ(nunca.state(), db::adStateClosed);

    db::Recordset rs;
    QString sentencia = QStringLiteral("select * from PRUEBA");
    db.AbrirRecordset(sentencia, rs, std::nullopt, db::adOpenDynamic, db::adLockOptimistic);
    rs.addNew();
    rs["Id"].setValue(9);
    db.CierraRecordset(rs);
    EXPECT_EQ(rs.state(), db::adStateClosed);
    EXPECT_EQ(leerNombre(9), "<sin fila>");
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST(LoteOracle, aTransactionOfGoSeparatedStatementsBecomesBeginStatementsCommit) {
    const QString texto = QStringLiteral(
        "BEGIN TRANSACTION\r\nGO\r\nINSERT INTO A VALUES (1)\r\nGO\r\nUPDATE B SET x = 2\r\n"
        "GO\r\nCOMMIT TRANSACTION");
    const auto pasos = dividirLoteOracle(normalizarLoteOracle(texto));
    ASSERT_EQ(pasos.size(), 4u);
    EXPECT_EQ(pasos[0].tipo, PasoLoteOracle::Tipo::IniciarTransaccion);
    EXPECT_EQ(pasos[1].tipo, PasoLoteOracle::Tipo::Sentencia);
    EXPECT_EQ(pasos[1].texto, "INSERT INTO A VALUES (1)");
    EXPECT_EQ(pasos[2].texto, "UPDATE B SET x = 2");
    EXPECT_EQ(pasos[3].tipo, PasoLoteOracle::Tipo::ConfirmarTransaccion);
}

TEST(LoteOracle, textBeforeTheFirstKeywordIsDroppedAndFiltersApply) {
    const auto pasos = dividirLoteOracle(normalizarLoteOracle(
        QStringLiteral("SET NOCOUNT ON select 1 DELETE FROM A ROLLBACK TRANS")));
    ASSERT_EQ(pasos.size(), 2u);
    EXPECT_EQ(pasos[0].texto, "DELETE FROM A");
    EXPECT_EQ(pasos[1].tipo, PasoLoteOracle::Tipo::DeshacerTransaccion);
    EXPECT_TRUE(dividirLoteOracle(QStringLiteral("select * from a")).empty());
    EXPECT_EQ(FiltraSentenciaOracle(QStringLiteral("if not exists (select 1) x")), "");
    EXPECT_EQ(FiltraSentenciaOracle(QStringLiteral("delete from a")), "delete from a");
}

TEST(SentenciaQueEscribe, plainQueriesDoNotWriteWhateverTheirLiteralsCommentsAndNamesSay) {
    for (const char* consulta :
         {"SELECT * FROM PRUEBA", "  select Nombre from PRUEBA where Nombre = 'DELETE FROM X'",
          "SELECT [Update], \"Insert\" FROM T -- then DROP TABLE T",
          "/* EXEC p /* nested */ still a comment */ SELECT 1",
          "WITH c AS (SELECT Id FROM T) SELECT * FROM c",
          "SELECT Id FROM T ORDER BY Id OFFSET 0 ROWS FETCH NEXT 5 ROWS ONLY",
          "SELECT @v = MAX(Id) FROM #temporal", "(SELECT 1) UNION (SELECT 2)", "", "  \n"}) {
        EXPECT_FALSE(puedeModificarDatos(QString::fromUtf8(consulta))) << consulta;
    }
}

TEST(SentenciaQueEscribe, anythingButAPlainQueryMayHaveWritten) {
    for (const char* texto :
         {"INSERT INTO T VALUES (1)", "update T set a = 1", "DELETE T", "EXEC dbo.Proceso",
          "MERGE T USING S ON 1 = 1 WHEN MATCHED THEN DELETE;", "SELECT 1 FROM T; DELETE FROM T",
          "SELECT * INTO COPIA FROM T", "WITH c AS (SELECT Id FROM T) DELETE FROM c",
          "SELECT NEXT VALUE FOR dbo.Serie", "-- a comment first\nINSERT INTO T VALUES (1)",
          "BEGIN TRAN SELECT 1 COMMIT", "SET NOCOUNT ON SELECT 1", "TRUNCATE TABLE T",
          "CREATE TABLE T (a int)", "SELECT * FROM OPENQUERY(remoto, 'UPDATE X SET a = 1')",
          "ExEcUtE('select 1')"}) {
        EXPECT_TRUE(puedeModificarDatos(QString::fromUtf8(texto))) << texto;
    }
}

// A link lost while a text runs: a plain query is run again unasked, a text
// that may have written is not (its outcome is unknown); the operator is told
// so through the error treatment and only Retry runs it again.
class EscrituraIncierta : public Sentencias {
protected:
    // Each run adds one row, so the count says how many times it ran.
    void agregarFila() {
        ejecutar("INSERT INTO PRUEBA (Id, Nombre) SELECT MAX(Id) + 1, 'otra' FROM PRUEBA");
    }

    int filas() {
        db::Recordset rs;
        QString sentencia = QStringLiteral("SELECT COUNT(*) FROM PRUEBA");
        db.AbrirRecordset(sentencia, rs);
        return rs.state() == db::adStateOpen ? rs.fields(0).value().toInt32() : -1;
    }

    void esperarAvisoDeResultadoDesconocido(std::size_t dialogos) {
        ASSERT_EQ(operador.dialogs().size(), dialogos);
        const auto& aviso = operador.dialogs().back();
        EXPECT_EQ(aviso.flags, ui::style::AbortRetryIgnore | ui::style::Critical);
        EXPECT_TRUE(aviso.text.contains("no se sabe si llegó a aplicarse"))
            << aviso.text.toStdString();
        EXPECT_TRUE(aviso.text.startsWith("Ha ocurrido el Siguiente Error ("))
            << aviso.text.toStdString();
    }
};

TEST_F(EscrituraIncierta, aWriteWhoseAnswerWasLostIsReportedAndLeftAsItIsOnAbort) {
    db.gCnn.faults().dropAfterNext(db::FaultOperation::Execute);
    operador.answerMessage(ui::reply::Abort);
    agregarFila();
    esperarAvisoDeResultadoDesconocido(1);
    // It ran once, before the link went, and never again; the link is back.
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(filas(), 2);
    // The operator's log has the exchange.
    QFile registro(db.gLogErr);
    ASSERT_TRUE(registro.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(registro.readAll()).contains("Abortar"));
}

TEST_F(EscrituraIncierta, onlyTheOperatorsRetryRunsTheWriteAgain) {
    db.gCnn.faults().dropAfterNext(db::FaultOperation::Execute);
    operador.answerMessage(ui::reply::Retry);
    agregarFila();
    esperarAvisoDeResultadoDesconocido(1);
    EXPECT_EQ(filas(), 3);

    // A link already gone when the write is sent is no different from the
    // layer's side: asked too, and Ignore leaves it.
    db.gCnn.faults().dropConnection();
    operador.answerMessage(ui::reply::Ignore);
    agregarFila();
    esperarAvisoDeResultadoDesconocido(2);
    EXPECT_EQ(filas(), 3);
}

TEST_F(EscrituraIncierta, aLostLinkStillAsksWhenItFailsAgainAfterRetry) {
    db.gCnn.faults().dropAfterNext(db::FaultOperation::Execute);
    db.gCnn.faults().dropAfterNext(db::FaultOperation::Execute);
    operador.answerMessage(ui::reply::Retry).answerMessage(ui::reply::Abort);
    agregarFila();
    esperarAvisoDeResultadoDesconocido(2);
    EXPECT_EQ(filas(), 3);
}

TEST_F(EscrituraIncierta, aQueryIsRunAgainUnaskedButAWriteOpenedAsARecordsetIsNot) {
    db.gCnn.faults().dropAfterNext(db::FaultOperation::Execute);
    EXPECT_EQ(filas(), 1);
    EXPECT_TRUE(operador.dialogs().empty());

    db.gCnn.faults().dropAfterNext(db::FaultOperation::Execute);
    operador.answerMessage(ui::reply::Abort);
    db::Recordset rs;
    QString sentencia = QStringLiteral(
        "INSERT INTO PRUEBA (Id, Nombre) VALUES (5, 'cinco'); SELECT COUNT(*) FROM PRUEBA");
    db.AbrirRecordset(sentencia, rs);
    EXPECT_EQ(rs.state(), db::adStateClosed);
    esperarAvisoDeResultadoDesconocido(1);
    EXPECT_TRUE(operador.dialogs()[0].title.contains("AbrirRecordset"));
    EXPECT_EQ(filas(), 2);
}

} // namespace
