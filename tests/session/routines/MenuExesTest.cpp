#include "session/routines/MenuExes.h"
#include "data/SharedDb.h"
#include "session/CommandLine.h"
#include "session/SessionParameters.h"
#include "support/ScriptedOperator.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::session;

namespace {

class Lanzador : public ::testing::Test {
protected:
    void SetUp() override {
        data::DB_Dll& db = data::sharedDb();
        db.gServidor = QStringLiteral("SRV01");
        db.gDBName = QStringLiteral("EMPRESA");
        db.gUsuario = QStringLiteral("ADMIN");
        db.gUserPassWord = QStringLiteral("clave");
        gUsuarioLogeado = QStringLiteral("ADMIN");
        gCaja = QStringLiteral("3");
        // A program folder with a blank in its name, as installed programs have.
        ASSERT_TRUE(QDir(raiz.path()).mkdir(QStringLiteral("mis programas")));
        carpeta = raiz.filePath(QStringLiteral("mis programas")) + QLatin1Char('/');
        gCarpetaPrograma = carpeta;
    }
    void TearDown() override {
        data::releaseSharedDb();
        reiniciarParametrosSesion();
    }

    // A small program that writes the words it was given into `salida`.
    QString programaEco(const QString& nombre) {
        const QString ruta = carpeta + nombre;
        QFile archivo(ruta);
        EXPECT_TRUE(archivo.open(QIODevice::WriteOnly));
        archivo.write("#!/bin/sh\nprintf '%s ' \"$@\" > \"$0.salida.tmp\"\n"
                      "mv \"$0.salida.tmp\" \"$0.salida\"\n");
        archivo.close();
        archivo.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner);
        return ruta;
    }
    // What the program received, once it has written it.
    QString recibido(const QString& ruta) {
        QFile salida(ruta + QStringLiteral(".salida"));
        const QDeadlineTimer plazo(20000);
        while (!salida.exists() && !plazo.hasExpired()) {
            QThread::msleep(20);
        }
        if (!salida.open(QIODevice::ReadOnly)) {
            return QStringLiteral("<no escribió nada>");
        }
        return QString::fromUtf8(salida.readAll()).trimmed();
    }

    QTemporaryDir raiz;
    QString carpeta;
    test::ScriptedOperator operador;
};

TEST_F(Lanzador, theTailCarriesTheSessionInTheSuitesFormat) {
    const QString cola = colaComandoSesion(QStringLiteral("FACTURA 12"));
    EXPECT_EQ(cola, " ; @server=SRV01; @dbname=EMPRESA; @usuario=ADMIN; @Password=clave; "
                    "@ParametroAdicional=FACTURA 12; kelp@ ; @UsuarioLogeado = ADMIN; @Caja=3;");
    // The started program reads it back with the suite's own parser.
    const LineaComandos campos = analizarLineaComandos(cola);
    EXPECT_EQ(campos.servidor, "SRV01");
    EXPECT_EQ(campos.baseDeDatos, "EMPRESA");
    EXPECT_EQ(campos.password, "clave");
    EXPECT_EQ(campos.parametroAdicional, "FACTURA 12");
    EXPECT_EQ(campos.usuarioLogeado, "ADMIN");
    EXPECT_EQ(campos.caja, "3");
}

TEST_F(Lanzador, shellFormStartsTheProgramFromTheProgramFolderWithTheTail) {
    const QString ruta = programaEco(QStringLiteral("ventas"));
    std::int32_t proceso = 0;
    MenuExes(QStringLiteral("SHELL:ventas"), QStringLiteral("X"), proceso);
    EXPECT_NE(proceso, 0);
    EXPECT_EQ(recibido(ruta), colaComandoSesion(QStringLiteral("X")).simplified());
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Lanzador, aPlainNameAndAFullPathStartThatProgram) {
    const QString ruta = programaEco(QStringLiteral("precios"));
    std::int32_t proceso = 0;
    MenuExes(QStringLiteral("precios"), QString(), proceso);
    EXPECT_NE(proceso, 0);
    EXPECT_EQ(recibido(ruta), colaComandoSesion(QString()).simplified());

    QFile::remove(ruta + QStringLiteral(".salida"));
    gCarpetaPrograma = raiz.path() + QStringLiteral("/otra/");
    MenuExes(QStringLiteral("SHELL:") + ruta, QStringLiteral("P"), proceso);
    EXPECT_NE(proceso, 0);
    EXPECT_EQ(recibido(ruta), colaComandoSesion(QStringLiteral("P")).simplified());
}

// A path is started as it is written: only a leading "SHELL:" is cut.
TEST_F(Lanzador, aPathWithoutThePrefixKeepsAllItsCharacters) {
    const QString ruta = programaEco(QStringLiteral("informes"));
    gCarpetaPrograma = raiz.path() + QStringLiteral("/otra/");
    std::int32_t proceso = 0;
    MenuExes(ruta, QStringLiteral("I"), proceso);
    EXPECT_NE(proceso, 0);
    EXPECT_EQ(recibido(ruta), colaComandoSesion(QStringLiteral("I")).simplified());
    EXPECT_TRUE(operador.dialogs().empty());

    QFile::remove(ruta + QStringLiteral(".salida"));
    MenuExes(QStringLiteral("shell:") + ruta, QStringLiteral("J"), proceso);
    EXPECT_NE(proceso, 0);
    EXPECT_EQ(recibido(ruta), colaComandoSesion(QStringLiteral("J")).simplified());
}

TEST_F(Lanzador, aProgramThatCannotStartIsReportedAsNotImplemented) {
    operador.answerMessage(ui::reply::OK);
    std::int32_t proceso = 99;
    MenuExes(QStringLiteral("SHELL:no_instalado"), QString(), proceso);
    EXPECT_EQ(proceso, 0);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text,
              "Opcion no Implementada!\rComuniquese con su proveedor de sistemas");
    EXPECT_EQ(operador.dialogs()[0].title, "Atención");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::Critical);
}

} // namespace
