// The program ended by SIGTERM (a shutdown) or SIGHUP (a log-out) ends its
// session as when the operator closes the window: the access log row gets
// its exit time and the program exits normally.
#include "platform/db/embedded/EmbeddedEngine.h"
#include "support/ProgramaAparte.h"
#include "support/TempFolder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace estaciones::reliability::test {

namespace {

const QString lineaDemo = QStringLiteral(
    "@server=(local); @dbname=DEMO; @usuario=ADMIN; @Password=; @ParametroAdicional=; "
    "@Caja=1;kelp@");

class SignalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!aparte.valido()) {
            GTEST_SKIP() << "the program is not built";
        }
    }

    QProcessEnvironment entorno() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        e.insert(QStringLiteral("TEMP"), temp.path());
        e.insert(QStringLiteral("ESTACIONES_RESPUESTAS_AUTOMATICAS"), QString());
        return e;
    }

    // The number of access-log rows, and of those with an exit time.
    std::pair<int, int> accesos() {
        auto engine = db::sqlite::createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);Database=DEMO"), {}, {});
        const auto rows = engine
                              ->execute(QStringLiteral("SELECT COUNT(*), COUNT(EGRESO) FROM "
                                                       "Control_Acceso"),
                                        {}, 30)
                              .resultSets.front()
                              .rows;
        return {rows[0][0].toInt32(), rows[0][1].toInt32()};
    }

    // Starts the program, waits for its access-log row, sends `signal`.
    void endWith(int signal, int rowsBefore) {
        QProcess programa;
        programa.setProcessEnvironment(entorno());
        programa.start(aparte.programa(), {lineaDemo});
        ASSERT_TRUE(programa.waitForStarted(10000));
        QElapsedTimer clock;
        clock.start();
        while (accesos().first == rowsBefore && clock.elapsed() < 60000) {
            QThread::msleep(100);
        }
        ASSERT_EQ(accesos().first, rowsBefore + 1) << "the session never started";
        ::kill(static_cast<pid_t>(programa.processId()), signal);
        ASSERT_TRUE(programa.waitForFinished(30000));
        EXPECT_EQ(programa.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(programa.exitCode(), 0) << programa.readAllStandardError().toStdString();
        EXPECT_EQ(accesos(), std::make_pair(rowsBefore + 1, rowsBefore + 1));
    }

    ::estaciones::test::ProgramaAparte aparte;
    ::estaciones::test::ScopedEnvFolder datos{"ESTACIONES_DATOS"};
    QTemporaryDir temp;
};

} // namespace

TEST_F(SignalsTest, TermAndHangUpCloseTheSessionAsTheWindowDoes) {
    // A first start that closes at once makes the demo database.
    QProcess primero;
    QProcessEnvironment e = entorno();
    e.insert(QStringLiteral("ESTACIONES_SALIR_TRAS_INICIO"), QStringLiteral("1"));
    primero.setProcessEnvironment(e);
    primero.start(aparte.programa(), {lineaDemo});
    ASSERT_TRUE(primero.waitForFinished(120000));
    ASSERT_EQ(primero.exitCode(), 0) << primero.readAllStandardError().toStdString();
    ASSERT_EQ(accesos(), std::make_pair(1, 1));

    endWith(SIGTERM, 1);
    endWith(SIGHUP, 2);
}

} // namespace estaciones::reliability::test
