// The ODBC engine against a real network server that goes away between two
// statements of a session: the data layer reconnects, asks the operator
// (Abort/Retry/Ignore) while the server stays away, goes on after Retry
// once it is back, and stays usable after Abort. A write cut by the server's
// going is never run again unasked: its outcome is unknown.
#include "ServidorPostgres.h"

#include "data/ConexionPerdida.h"
#include "data/DB_Dll.h"
#include "platform/db/Recordset.h"
#include "support/ScriptedOperator.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace estaciones::reliability::test {

namespace {

// The scripted operator, who does something (starts the server again)
// before answering a message.
class OperadorConPausa : public ::estaciones::test::ScriptedOperator {
public:
    std::function<void()> antesDeResponder;
    int messageBox(const QString& text, int flags, const QString& title) override {
        if (antesDeResponder) {
            antesDeResponder();
        }
        return ScriptedOperator::messageBox(text, flags, title);
    }
};

class ServidorQueSeVa : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ServidorPostgres::disponible()) {
            GTEST_SKIP() << "PostgreSQL 15 is not installed";
        }
        servidor.emplace();
        ASSERT_TRUE(servidor->listo()) << "the test's PostgreSQL did not start";
        base.gLogErr = registro.filePath(QStringLiteral("errores.log"));
        base.gUsuario = QStringLiteral("postgres");
        base.gCnn.open(servidor->cadena(), QStringLiteral("postgres"), QString());
        base.gOpenFlag = true;
    }

    // The value the query gives, or -1 when the recordset stayed closed.
    int consultar() {
        QString sentencia = QStringLiteral("SELECT 41 + 1 AS n");
        db::Recordset rs;
        base.AbrirRecordset(sentencia, rs);
        if (rs.state() != db::adStateOpen) {
            return -1;
        }
        return rs.fields(0).value().toInt32();
    }

    void ejecutar(const QString& texto) {
        QString sentencia = texto;
        std::int64_t filas = 0;
        base.EjecutaConsultaSQL(sentencia, filas);
    }

    int filas() {
        db::Connection directa;
        directa.open(servidor->cadena(), QStringLiteral("postgres"), QString());
        db::Recordset rs = directa.execute(QStringLiteral("SELECT COUNT(*) FROM escrituras"));
        return rs.fields(0).value().toInt32();
    }

    bool avisoDeResultadoDesconocido(std::size_t i) const {
        return operador.dialogs().size() > i && operador.dialogs()[i].text.contains(QStringLiteral(
                                                    "no se sabe si llegó a aplicarse"));
    }

    std::optional<ServidorPostgres> servidor;
    QTemporaryDir registro;
    OperadorConPausa operador;
    data::DB_Dll base;
};

} // namespace

TEST_F(ServidorQueSeVa, WhatTheDriverSaysOfARestartCountsAsALostConnection) {
    ASSERT_TRUE(servidor->detener());
    ASSERT_TRUE(servidor->arrancar());
    try {
        base.gCnn.execute(QStringLiteral("SELECT 1"));
        ADD_FAILURE() << "the restart went unnoticed";
    } catch (const Error& error) {
        QStringList estados{error.sqlState()};
        for (const db::ProviderError& registro : base.gCnn.errors()) {
            estados << registro.sqlState;
        }
        EXPECT_TRUE(data::esConexionPerdida(error, base.gCnn.errors()))
            << estados.join(QLatin1Char(' ')).toStdString() << ": "
            << error.description().toStdString();
    }
}

TEST_F(ServidorQueSeVa, ARestartBetweenStatementsIsRecoveredAndAnAbsenceIsAskedAbout) {
    EXPECT_EQ(consultar(), 42);

    // Restarted between two statements: the next one reconnects unasked.
    ASSERT_TRUE(servidor->detener());
    ASSERT_TRUE(servidor->arrancar());
    EXPECT_EQ(consultar(), 42);
    EXPECT_TRUE(operador.dialogs().empty());

    // Away: the operator is asked; Retry once the server is back goes on.
    ASSERT_TRUE(servidor->detener());
    operador.antesDeResponder = [this] { ASSERT_TRUE(servidor->arrancar()); };
    operador.answerMessage(ui::reply::Retry);
    QElapsedTimer reloj;
    reloj.start();
    EXPECT_EQ(consultar(), 42);
    EXPECT_LT(reloj.elapsed(), 30000);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::AbortRetryIgnore | ui::style::Critical);

    // Away again: Abort gives up this statement and leaves the program usable.
    ASSERT_TRUE(servidor->detener());
    operador.antesDeResponder = nullptr;
    operador.answerMessage(ui::reply::Abort);
    EXPECT_EQ(consultar(), -1);
    ASSERT_TRUE(servidor->arrancar());
    EXPECT_EQ(consultar(), 42);
    EXPECT_EQ(operador.dialogs().size(), 2u);
}

TEST_F(ServidorQueSeVa, AnInsertCutByTheServersShutdownRunsAgainOnlyOnRetry) {
    ejecutar(QStringLiteral("CREATE TABLE escrituras (n int)"));
    // The server goes while the insert waits on the server's side.
    std::thread apagado([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        servidor->detener();
    });
    // The operator answers once the server is fully down and started again.
    operador.antesDeResponder = [&] {
        apagado.join();
        ASSERT_TRUE(servidor->arrancar());
    };
    operador.answerMessage(ui::reply::Retry);
    ejecutar(QStringLiteral("INSERT INTO escrituras SELECT 1 FROM pg_sleep(3)"));
    if (apagado.joinable()) {
        apagado.join();
    }
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_TRUE(avisoDeResultadoDesconocido(0)) << operador.dialogs()[0].text.toStdString();
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::AbortRetryIgnore | ui::style::Critical);
    // The shutdown undid the first run; Retry made the only row.
    EXPECT_EQ(filas(), 1);
}

TEST_F(ServidorQueSeVa, AWriteMeetingARestartedServerIsAskedAboutAndLeftOnAbort) {
    ejecutar(QStringLiteral("CREATE TABLE escrituras (n int)"));
    ASSERT_TRUE(servidor->detener());
    ASSERT_TRUE(servidor->arrancar());
    operador.answerMessage(ui::reply::Abort);
    QString sentencia = QStringLiteral("INSERT INTO escrituras VALUES (1) RETURNING n");
    db::Recordset rs;
    base.AbrirRecordset(sentencia, rs);
    EXPECT_EQ(rs.state(), db::adStateClosed);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_TRUE(avisoDeResultadoDesconocido(0)) << operador.dialogs()[0].text.toStdString();
    EXPECT_EQ(filas(), 0);
    // The link was made again for what comes next.
    EXPECT_EQ(consultar(), 42);
    EXPECT_EQ(operador.dialogs().size(), 1u);
}

} // namespace estaciones::reliability::test
