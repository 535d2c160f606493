// AbrirRecordset on statements that fail the same way every time, and on a
// link that stays lost: the call comes back with the error, the operator is
// asked, and nothing runs again more often than the operator answers Retry.
// On both engines.
#include "data/DB_Dll.h"
#include "platform/db/DbBackends.h"
#include "platform/db/FaultInjection.h"
#include "support/ScriptedOperator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;
using test::DbBackend;

namespace {

class ErrorRepetido : public ::testing::TestWithParam<DbBackend> {
protected:
    void SetUp() override {
        base.gLogErr = log.filePath(QStringLiteral("errores.log"));
        base.OpenServerADODB(false, db::adUseClient, scratch.connectionString(), false, true);
        ASSERT_TRUE(base.gOpenFlag);
        // A table that lives as long as the session: a reconnection loses it.
        base.gCnn.execute(embebido() ? QStringLiteral("CREATE TABLE #sesion (a int)")
                                     : QStringLiteral("CREATE TEMP TABLE sesion (a int)"));
    }

    bool embebido() const { return GetParam() == DbBackend::Embedded; }

    bool mismaSesion() {
        try {
            base.gCnn.execute(embebido() ? QStringLiteral("SELECT a FROM #sesion")
                                         : QStringLiteral("SELECT a FROM sesion"));
            return true;
        } catch (const Error&) {
            return false;
        }
    }

    QStringList lineasDelRegistro() const {
        QFile archivo(base.gLogErr);
        if (!archivo.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromLatin1(archivo.readAll())
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    // Opens `texto` and says how long the call took, in milliseconds.
    qint64 abrir(const QString& texto) {
        QString sentencia = texto;
        QElapsedTimer reloj;
        reloj.start();
        base.AbrirRecordset(sentencia, rs);
        return reloj.elapsed();
    }

    test::DbScratch scratch{GetParam()};
    QTemporaryDir log;
    test::ScriptedOperator operador;
    data::DB_Dll base;
    db::Recordset rs;
};

// Both engines reject it while it runs, without a translation of their own:
// it used to be taken for a lost link and run again without end.
const QString rechazada = QStringLiteral("SELECT 1 AS a ORDER BY 5");

TEST_P(ErrorRepetido, aStatementTheEngineRejectsIsShownAtOnceAndNotRunAgain) {
    operador.answerMessage(ui::reply::Abort);
    EXPECT_LT(abrir(rechazada), 1000);
    EXPECT_EQ(rs.state(), db::adStateClosed);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_TRUE(
        operador.dialogs()[0].text.startsWith(QStringLiteral("Ha ocurrido el Siguiente Error (")));
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::AbortRetryIgnore | ui::style::Critical);
    // The caller still finds the error where it looks for it.
    EXPECT_GE(base.gCnn.errors().count(), 1);
    const QStringList lineas = lineasDelRegistro();
    ASSERT_EQ(lineas.size(), 1);
    EXPECT_TRUE(lineas[0].endsWith(QStringLiteral("Respondió : Abortar")));
    EXPECT_TRUE(lineas[0].contains(QStringLiteral("Rutina: - AbrirRecordset")));
    EXPECT_TRUE(mismaSesion()) << "an error of the statement is no reason to reconnect";
}

TEST_P(ErrorRepetido, eachRetryRunsTheStatementOnceMore) {
    operador.answerMessage(ui::reply::Retry)
        .answerMessage(ui::reply::Retry)
        .answerMessage(ui::reply::Ignore);
    abrir(rechazada);
    EXPECT_EQ(rs.state(), db::adStateClosed);
    EXPECT_EQ(operador.dialogs().size(), 3u);
    EXPECT_EQ(lineasDelRegistro().size(), 3);
    EXPECT_TRUE(mismaSesion());
}

TEST_P(ErrorRepetido, aLinkThatStaysLostIsReconnectedOnceThenTheOperatorDecides) {
    // Every open fails as a broken link would, three times; then the
    // statement would run.
    base.gCnn.faults().failNext(errnum::E_FAIL, QStringLiteral("Communication link failure"),
                                QStringLiteral("08S01"), 10054, db::FaultOperation::Execute, 3);
    operador.answerMessage(ui::reply::Retry).answerMessage(ui::reply::Abort);
    EXPECT_LT(abrir(QStringLiteral("SELECT 1 AS a")), 1000);
    EXPECT_EQ(rs.state(), db::adStateClosed);
    // One try, one silent reconnection and try, one try per Retry.
    EXPECT_EQ(base.gCnn.faults().pendingFaults(), 0);
    EXPECT_EQ(operador.dialogs().size(), 2u);
    const QStringList lineas = lineasDelRegistro();
    ASSERT_EQ(lineas.size(), 2);
    EXPECT_TRUE(lineas[0].endsWith(QStringLiteral("Respondió : Reintentar")));
    EXPECT_TRUE(base.gOpenFlag) << "the connection came back for the next statement";
}

TEST_P(ErrorRepetido, aLinkLostOnceComesBackWithoutAQuestion) {
    base.gCnn.faults().failNext(errnum::E_FAIL, QStringLiteral("Communication link failure"),
                                QStringLiteral("08S01"), 10054, db::FaultOperation::Execute, 1);
    abrir(QStringLiteral("SELECT 1 AS a"));
    ASSERT_EQ(rs.state(), db::adStateOpen);
    EXPECT_EQ(rs.fields(0).value().toInt32(), 1);
    EXPECT_TRUE(operador.dialogs().empty());
    EXPECT_TRUE(lineasDelRegistro().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Motores, ErrorRepetido, ::testing::ValuesIn(test::dbBackends()),
                         test::dbBackendName);

} // namespace
