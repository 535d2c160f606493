// OpenLocalADODB: the file search, the string it builds and the password and
// missing-file rules (provider failures planned through the fault seam, since
// no Jet file is needed to exercise them).
#include "DataTestSupport.h"
#include "data/DB_Dll.h"
#include "support/ScriptedOperator.h"

#include <gtest/gtest.h>

using estaciones::Variant;
using estaciones::data::DB_Dll;
using estaciones::test::ScriptedOperator;
using estaciones::test::ServidorEmbebido;
namespace db = estaciones::db;
namespace ui = estaciones::ui;

namespace {

constexpr std::int32_t otroError = -2147217843; // 0x80040E4D, login failed

class OpenLocal : public ::testing::Test {
protected:
    OpenLocal() {
        base.gProveedor = base.pJETOLEDB40();
        base.gDBName = QStringLiteral("/datos/empresa.mdb");
        base.gUsuario = QStringLiteral("Admin");
        base.gUserPassWord = QStringLiteral("guardada");
    }

    void fallaAlAbrir(const QString& estado, std::int32_t numero = otroError) {
        base.gCnn.faults().failNext(numero, QStringLiteral("Fallo ") + estado, estado, 0,
                                    db::FaultOperation::Open);
    }

    void abrir() {
        base.OpenLocalADODB(QString(), QStringLiteral("User Id"), QStringLiteral("Password"));
    }

    ScriptedOperator operador;
    DB_Dll base;
};

TEST_F(OpenLocal, shouldBuildTheJetStringAndReportAnyOtherErrorWithItsNumber) {
    fallaAlAbrir(QStringLiteral("HY000"));
    operador.answerMessage(ui::reply::OK);
    abrir();
    EXPECT_EQ(base.gCnn.connectionString(),
              QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =/datos/empresa.mdb;"
                             "User Id=Admin;Password=guardada;"));
    EXPECT_FALSE(base.gOpenFlag);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, QStringLiteral("-2147217843  Fallo HY000"));
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::Critical);
}

TEST_F(OpenLocal, shouldOpenAGivenStringUnchanged) {
    REQUIERE_MOTOR_EMBEBIDO();
    ServidorEmbebido servidor;
    servidor.crear(QStringLiteral("LOCAL"));
    const QString dada = ServidorEmbebido::cadena(QStringLiteral("LOCAL"));
    base.OpenLocalADODB(dada, QStringLiteral("User Id"), QStringLiteral("Password"));
    EXPECT_TRUE(base.gOpenFlag);
    EXPECT_EQ(base.gConnString, dada);
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(OpenLocal, shouldSearchForTheFileWhenNoneIsNamedAndStopWhenCancelled) {
    base.gDBName = QStringLiteral("  ");
    operador.answerOpenFile(std::nullopt);
    abrir();
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, QStringLiteral("Buscar Base de Datos"));
    // The scripted operator records the filter followed by "|" and the initial folder.
    EXPECT_TRUE(operador.dialogs()[0].detail.startsWith(
        QStringLiteral("Base de Datos de Microsoft Access |*.MDB|")));
    EXPECT_EQ(base.gCnn.state(), db::adStateClosed);
    EXPECT_FALSE(base.gOpenFlag);
}

TEST_F(OpenLocal, shouldSearchAgainWhenTheFileIsNotFound) {
    for (const QString& estado :
         {QStringLiteral("3024"), QStringLiteral("3051"), QStringLiteral("3044")}) {
        base.gDBName = QStringLiteral("/datos/empresa.mdb");
        fallaAlAbrir(estado);
        fallaAlAbrir(QStringLiteral("HY000"));
        operador.answerOpenFile(QStringLiteral("/otra/copia.mdb"));
        operador.answerMessage(ui::reply::OK);
        abrir();
        EXPECT_EQ(base.gDBName, QStringLiteral("/otra/copia.mdb"));
        EXPECT_TRUE(
            base.gCnn.connectionString().contains(QStringLiteral("Data Source =/otra/copia.mdb;")));
    }
}

TEST_F(OpenLocal, shouldRetryWithTheTypedPasswordCarriedInTheString) {
    fallaAlAbrir(QStringLiteral("3031"));
    fallaAlAbrir(QStringLiteral("3031"));
    fallaAlAbrir(QStringLiteral("HY000"));
    operador.answerInput(QStringLiteral("primera"));
    operador.answerInput(QStringLiteral("segunda"));
    operador.answerMessage(ui::reply::OK);
    abrir();
    ASSERT_GE(operador.dialogs().size(), 2u);
    EXPECT_EQ(operador.dialogs()[0].text, QStringLiteral("ingrese el password:"));
    EXPECT_EQ(operador.dialogs()[0].title, QStringLiteral("Password Access"));
    // Each new password replaces the one that failed.
    EXPECT_EQ(base.gExtended, QStringLiteral(" Jet OLEDB:Database Password=segunda;"));
    EXPECT_TRUE(base.gCnn.connectionString().endsWith(
        QStringLiteral("Password=guardada; Jet OLEDB:Database Password=segunda;")));
}

TEST_F(OpenLocal, shouldStopWhenThePasswordQuestionIsCancelled) {
    fallaAlAbrir(QStringLiteral("3031"));
    operador.answerInput(std::nullopt);
    abrir();
    EXPECT_FALSE(base.gOpenFlag);
    EXPECT_EQ(operador.dialogs().size(), 1u);
}

TEST_F(OpenLocal, shouldTakeTheStoredPasswordOnceAndNotLoopWhenItIsWrong) {
    base.gIgnoraPassWord = Variant(true);
    fallaAlAbrir(QStringLiteral("3031"));
    fallaAlAbrir(QStringLiteral("3031"));
    operador.answerMessage(ui::reply::OK);
    abrir();
    EXPECT_EQ(base.gExtended, QStringLiteral("Jet OLEDB:Database Password=guardada;"));
    EXPECT_EQ(base.gCnn.faults().pendingFaults(), 0);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, QStringLiteral("-2147217843  Fallo 3031"));
}

} // namespace
