#include "session/routines/GActualizarDatoScript.h"
#include "session/routines/RutinasTestSupport.h"

using namespace estaciones;
using namespace estaciones::session;

namespace {

class Transaccion : public test::ConEmpresaAbierta {
protected:
    struct Resultado {
        bool hayError = true;
        std::int32_t numeroError = -1;
        QString script = QStringLiteral("sin tocar");
        QString textoError;
    };
    Resultado correr(const QStringList& cola, bool avisarDuplicado = false,
                     bool avisarRelacion = false, bool mostrarMensaje = true) {
        Resultado r;
        GActualizarDatoScript(cola, r.hayError, r.numeroError, avisarDuplicado, avisarRelacion,
                              r.script, r.textoError, mostrarMensaje);
        return r;
    }
    QStringList cajas() { return columna("SELECT IdCajas FROM V_TA_Cajas ORDER BY IdCajas"); }
};

TEST_F(Transaccion, statementsRunInOneTransactionAndAreCommitted) {
    const QStringList cola{"INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('1', 'A')", "",
                           "  ", "INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('2', 'B')"};
    const Resultado r = correr(cola);
    EXPECT_FALSE(r.hayError);
    EXPECT_EQ(r.numeroError, 0);
    EXPECT_EQ(r.script, "BEGIN TRANSACTION \r\r\r" + cola[0] + "\r" + cola[3] + "\r")
        << "blank entries are skipped";
    EXPECT_EQ(cajas(), (QStringList{"1", "2"}));
    EXPECT_EQ(columna("SELECT @@TRANCOUNT"), QStringList{"0"}) << "no transaction left open";
    EXPECT_TRUE(columna("SELECT Id FROM AUX_ERR").isEmpty());
}

TEST_F(Transaccion, aFailingInsertIsRolledBackRecordedAndShown) {
    operador.answerMessage(ui::reply::OK);
    const QStringList cola{"INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('1', 'A')",
                           "INSERT INTO V_TA_Cajas (Descripcion) VALUES ('sin codigo')"};
    const Resultado r = correr(cola);
    EXPECT_TRUE(r.hayError);
    EXPECT_EQ(r.numeroError, 515) << "a column that allows no Null";
    EXPECT_TRUE(cajas().isEmpty()) << "the first statement went back with the second";
    EXPECT_EQ(columna("SELECT @@TRANCOUNT"), QStringList{"0"});

    // One line for the server's error, without its closing message.
    EXPECT_TRUE(r.textoError.startsWith("515 : ")) << r.textoError.toStdString();
    EXPECT_TRUE(r.textoError.endsWith("\r\n"));
    EXPECT_EQ(r.textoError.count("\r\n"), 1);

    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, r.textoError);
    EXPECT_EQ(operador.dialogs()[0].title, "Aviso al Operador!");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::Critical);

    EXPECT_EQ(columna("SELECT SQL FROM AUX_ERR"), QStringList{r.script});
    EXPECT_EQ(columna("SELECT Error FROM AUX_ERR"), QStringList{"515"});
    EXPECT_EQ(columna("SELECT Descripcion FROM AUX_ERR"), QStringList{r.textoError});
    EXPECT_TRUE(data::sharedDb().gCnn.errors().isEmpty()) << "the errors were handled here";
}

TEST_F(Transaccion, aDuplicateKeyTheCallerTellsIsSilentWithTheServersText) {
    ejecutar("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('1', 'A')");
    const QStringList cola{"INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('5', 'E')",
                           "INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('1', 'otra')"};
    const Resultado r = correr(cola, true);
    EXPECT_TRUE(r.hayError);
    EXPECT_EQ(r.numeroError, 2627);
    EXPECT_FALSE(r.textoError.isEmpty());
    EXPECT_FALSE(r.textoError.startsWith("2627")) << "the description alone";
    EXPECT_FALSE(r.textoError.contains("\r\n"));
    EXPECT_TRUE(operador.dialogs().empty());
    EXPECT_EQ(cajas(), QStringList{"1"}) << "rolled back all the same";
    EXPECT_EQ(columna("SELECT Error FROM AUX_ERR"), QStringList{"2627"});

    // Without the flag, and without the message, the numbered text comes back.
    const Resultado sinAviso = correr(cola, false, false, false);
    EXPECT_TRUE(sinAviso.textoError.startsWith("2627 : ")) << sinAviso.textoError.toStdString();
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Transaccion, aConstraintConflictIsSilentOnlyWhenTheCallerTellsIt) {
    ejecutar("CREATE TABLE T_POSITIVOS (x int CHECK (x > 0))");
    const QStringList cola{"INSERT INTO T_POSITIVOS (x) VALUES (0)"};
    const Resultado relacion = correr(cola, false, true);
    EXPECT_EQ(relacion.numeroError, 547);
    EXPECT_FALSE(relacion.textoError.startsWith("547"));
    EXPECT_TRUE(operador.dialogs().empty());

    operador.answerMessage(ui::reply::OK);
    const Resultado duplicado = correr(cola, true, false);
    EXPECT_EQ(duplicado.numeroError, 547);
    ASSERT_EQ(operador.dialogs().size(), 1u) << "547 is not a duplicate key";
    EXPECT_TRUE(operador.dialogs()[0].text.startsWith("547 : "));
}

TEST_F(Transaccion, anErrorLeftByAnEarlierStatementDoesNotUndoAGoodBatch) {
    ignoringErrors([&] { ejecutar("SELECT * FROM NO_EXISTE"); });
    ASSERT_FALSE(data::sharedDb().gCnn.errors().isEmpty());
    const Resultado r = correr({"INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('3', 'C')"});
    EXPECT_FALSE(r.hayError);
    EXPECT_EQ(cajas(), QStringList{"3"});
    EXPECT_TRUE(columna("SELECT Id FROM AUX_ERR").isEmpty());
}

TEST_F(Transaccion, aQueueOfBlankEntriesRunsNothing) {
    const Resultado r = correr({"", "   ", "\r"});
    EXPECT_FALSE(r.hayError);
    EXPECT_EQ(r.numeroError, 0);
    EXPECT_EQ(r.script, "sin tocar");
    EXPECT_EQ(columna("SELECT @@TRANCOUNT"), QStringList{"0"});
}

} // namespace
