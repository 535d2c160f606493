// The program itself, started twice on a fresh data folder: the statistics
// database appears on the first start, silently, and is only opened later.
#include "support/ProgramaAparte.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProgramaEstadisticas : public ::testing::Test {
protected:
    void SetUp() override {
        if (!aparte.valido()) {
            GTEST_SKIP() << "The program is not built";
        }
        programa = aparte.programa();
    }

    // Exit code of one start that leaves once the window is up; stderr kept.
    int arrancar() {
        QProcess proceso;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert("QT_QPA_PLATFORM", "offscreen");
        entorno.insert("ESTACIONES_DATOS", datos.path());
        entorno.insert("TEMP", temporal.path());
        // Any message box is printed and answered with Cancel.
        entorno.insert("ESTACIONES_RESPUESTAS_AUTOMATICAS", "");
        entorno.insert("ESTACIONES_SALIR_TRAS_INICIO", "1");
        proceso.setProcessEnvironment(entorno);
        proceso.start(programa, {"@server=(local); @dbname=DEMO; @usuario=ADMIN; @Password=; "
                                 "@ParametroAdicional=; @Caja=1;kelp@"});
        if (!proceso.waitForFinished(120000)) {
            proceso.kill();
            proceso.waitForFinished();
            return -1;
        }
        salida = QString::fromLocal8Bit(proceso.readAllStandardError());
        return proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
    }

    QStringList archivosEstadisticas() const {
        return QDir(datos.path()).entryList({"TS_ESTADISTICAS*"}, QDir::Files);
    }

    estaciones::test::ProgramaAparte aparte;
    QString programa;
    QString salida;
    QTemporaryDir datos;
    QTemporaryDir temporal;
};

TEST_F(ProgramaEstadisticas, firstStartCreatesTheStatisticsDatabaseAndLaterStartsReuseIt) {
    ASSERT_EQ(arrancar(), 0) << salida.toStdString();
    EXPECT_FALSE(salida.contains("[message box]")) << salida.toStdString();
    EXPECT_FALSE(archivosEstadisticas().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(QDir(temporal.path()).filePath("CDB7.SQL")));

    // The second start finds the login: no database script is written again.
    QFile::remove(QDir(temporal.path()).filePath("CDB7.SQL"));
    ASSERT_EQ(arrancar(), 0) << salida.toStdString();
    EXPECT_FALSE(salida.contains("[message box]")) << salida.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(temporal.path()).filePath("CDB7.SQL")));
    EXPECT_FALSE(QFileInfo::exists(QDir(temporal.path()).filePath("TSERR.LOG")));
}

} // namespace
