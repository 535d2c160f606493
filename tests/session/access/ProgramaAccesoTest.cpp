// The program itself on the demo database: its access log row, and two
// instances (as two operators, or one operator twice, open it) that must each
// close their own row.
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "support/ProgramaAparte.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace estaciones;

namespace {

const QString lineaDemo =
    QStringLiteral("@server=(local); @dbname=DEMO; @usuario=ADMIN; @Password=; "
                   "@ParametroAdicional=; @Caja=1;kelp@");

class ProgramaEnDemo : public ::testing::Test {
protected:
    void SetUp() override {
        programa = aparte.programa();
        if (!aparte.valido() || !QFileInfo::exists(QFileInfo(programa).dir().filePath(
                                    QStringLiteral("DEMO.semilla")))) {
            GTEST_SKIP() << "The program or its demo seed is not built: " << programa.toStdString();
        }
        // The demo database is made here, before any instance races to.
        filas();
    }

    // Starts `ejecutable`; it closes its window `cierraTrasMs` after start-up.
    void iniciar(QProcess& proceso, int cierraTrasMs, const QString& ejecutable = {}) {
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        entorno.insert(QStringLiteral("ESTACIONES_RESPUESTAS_AUTOMATICAS"), QString());
        entorno.insert(QStringLiteral("ESTACIONES_SALIR_TRAS_INICIO"),
                       QString::number(cierraTrasMs));
        proceso.setProcessEnvironment(entorno);
        proceso.start(ejecutable.isEmpty() ? programa : ejecutable, {lineaDemo});
        ASSERT_TRUE(proceso.waitForStarted());
    }

    // The run ended well and without a dialog.
    static void terminoBien(QProcess& proceso) {
        ASSERT_TRUE(proceso.waitForFinished(60000));
        const QString salida = QString::fromLocal8Bit(proceso.readAllStandardError());
        EXPECT_EQ(proceso.exitCode(), 0) << salida.toStdString();
        EXPECT_FALSE(salida.contains(QStringLiteral("[message box]"))) << salida.toStdString();
    }

    // "Formulario|Tarea|EGRESO" of every access log row, oldest first ("-"
    // for an open row).
    QStringList filas() {
        db::Connection cnn;
        cnn.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =DEMO;UId=ADMIN;Pwd=;"));
        db::Recordset rs = cnn.execute(
            QStringLiteral("SELECT Formulario, Tarea, EGRESO FROM Control_Acceso ORDER BY Id"));
        QStringList resultado;
        while (!rs.eof()) {
            const Variant egreso = rs.fields(2).value();
            resultado << rs.fields(0).value().toString() + QLatin1Char('|') +
                             rs.fields(1).value().toString() + QLatin1Char('|') +
                             (egreso.isNull() ? QStringLiteral("-") : egreso.toString());
            rs.moveNext();
        }
        cnn.close();
        return resultado;
    }

    test::ProgramaAparte aparte;
    QString programa;
    test::ScopedEnvFolder datos{"ESTACIONES_DATOS"};
};

TEST_F(ProgramaEnDemo, twoInstancesClosedInTheOppositeOrderEachCloseTheirOwnRow) {
    QProcess primera;
    iniciar(primera, 20000);
    const QDeadlineTimer plazo(60000);
    while (filas().isEmpty() && !plazo.hasExpired() && primera.state() == QProcess::Running) {
        QThread::msleep(100);
    }
    ASSERT_EQ(filas().size(), 1) << primera.readAllStandardError().toStdString();

    QProcess segunda;
    iniciar(segunda, 0);
    terminoBien(segunda);
    ASSERT_EQ(primera.state(), QProcess::Running)
        << "the first instance closed before the second: the order was not tested";
    QStringList ahora = filas();
    ASSERT_EQ(ahora.size(), 2);
    // The demo grants ADMIN the calendar's menu task.
    EXPECT_TRUE(ahora[0].startsWith("ESTACIONES|CALENDARIO DE TEMPORADAS|"))
        << ahora[0].toStdString();
    EXPECT_TRUE(ahora[0].endsWith("|-")) << "the first instance's row is still open";
    EXPECT_FALSE(ahora[1].endsWith("|-")) << "the second closed its own row";

    terminoBien(primera);
    ahora = filas();
    ASSERT_EQ(ahora.size(), 2);
    EXPECT_FALSE(ahora[0].endsWith("|-")) << "the first closed its own row at the end";
    EXPECT_FALSE(ahora[1].endsWith("|-"));
}

TEST_F(ProgramaEnDemo, theMainMenuProgramWithoutATaskLogsMenuPrincipal) {
    // The same program under the main menu's executable name, with the
    // scripts it ships beside it.
    test::ProgramaAparte menuPrincipal(QStringLiteral("CN000PR"));
    ASSERT_TRUE(menuPrincipal.valido());
    QProcess menu;
    iniciar(menu, 0, menuPrincipal.programa());
    terminoBien(menu);
    const QStringList ahora = filas();
    ASSERT_EQ(ahora.size(), 1);
    EXPECT_EQ(ahora[0].section(u'|', 0, 1), "CN000PR|MENU PRINCIPAL");
}

} // namespace
