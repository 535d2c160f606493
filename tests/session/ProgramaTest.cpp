// The program itself, started as a process on a fresh data folder: what a
// newcomer and the suite's menu see at start-up.
#include "support/ProgramaAparte.h"

#include <QTemporaryDir>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

class Programa : public ::testing::Test {
protected:
    void SetUp() override {
        const QString carpeta = qEnvironmentVariable("ESTACIONES_BUILD_DIR");
        if (carpeta.isEmpty()) {
            GTEST_SKIP() << "ESTACIONES_BUILD_DIR does not name the build folder";
        }
        if (!aparte.valido()) {
            GTEST_SKIP() << "The program is not built in " << carpeta.toStdString();
        }
        programa = aparte.programa();
    }

    // Runs the program with `argumentos` and automatic answers; returns its
    // exit code (-1 when it did not end in time) and keeps its stderr.
    int ejecutar(const QStringList& argumentos, const QString& respuestas = {}) {
        QProcess proceso;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        entorno.insert(QStringLiteral("ESTACIONES_DATOS"), datos.path());
        entorno.insert(QStringLiteral("ESTACIONES_RESPUESTAS_AUTOMATICAS"), respuestas);
        entorno.insert(QStringLiteral("ESTACIONES_SALIR_TRAS_INICIO"), QStringLiteral("1"));
        proceso.setProcessEnvironment(entorno);
        proceso.start(programa, argumentos);
        if (!proceso.waitForFinished(120000)) {
            proceso.kill();
            proceso.waitForFinished();
            return -1;
        }
        salida = QString::fromLocal8Bit(proceso.readAllStandardError());
        return proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
    }

    estaciones::test::ProgramaAparte aparte;
    QString programa;
    QString salida;
    QTemporaryDir datos;
};

TEST_F(Programa, shouldConnectToTheDemoDatabaseCreatedOnFirstUse) {
    if (!QFileInfo::exists(QFileInfo(programa).dir().filePath(QStringLiteral("DEMO.semilla")))) {
        GTEST_SKIP() << "DEMO.semilla is not next to the program";
    }
    EXPECT_EQ(ejecutar({QStringLiteral("@server=(local); @dbname=DEMO; @usuario=ADMIN; @Password=; "
                                       "@ParametroAdicional=; @Caja=1;kelp@")}),
              0)
        << salida.toStdString();
    EXPECT_FALSE(salida.contains(QStringLiteral("[message box]"))) << salida.toStdString();
    EXPECT_FALSE(QDir(datos.path()).entryList({QStringLiteral("DEMO.*")}, QDir::Files).isEmpty());
}

TEST_F(Programa, shouldReportAMissingDatabaseAndEndWhenTheOperatorSaysNo) {
    // The command line handed over as several words, as a shell splits it.
    EXPECT_EQ(ejecutar({QStringLiteral("@server=(local);"), QStringLiteral("@dbname=NO_EXISTE;"),
                        QStringLiteral("@usuario=ADMIN;"), QStringLiteral("@Password=;kelp@")},
                       QStringLiteral("7")),
              1)
        << salida.toStdString();
    EXPECT_TRUE(salida.contains(QStringLiteral("title=\" Error de Conexion a Base de Datos\"")));
    EXPECT_TRUE(salida.contains(QStringLiteral("Codigo Nativo: 4060"))) << salida.toStdString();
}

TEST_F(Programa, shouldShowTheAccessDialogWithAnEmptyCommandLine) {
    EXPECT_EQ(ejecutar({}, QStringLiteral("")), 1) << salida.toStdString();
    EXPECT_TRUE(salida.contains(QStringLiteral("[Control de Acceso]"))) << salida.toStdString();
}

} // namespace
