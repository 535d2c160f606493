// The suite's command line, the INI fallback line, the server name clean-up
// and the station key.
#include "session/CommandLine.h"
#include "session/IniFallback.h"
#include "session/NormalizarServidor.h"
#include "session/ProcessCommandLine.h"
#include "session/StationKey.h"
#include "session/library/ReversibleEncoding.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones::session;

namespace {

TEST(LineaComandos, shouldReadTheDefaultFormWithoutTheBlanksAfterEachEquals) {
    const auto campos = analizarLineaComandos(
        QStringLiteral("@server=SRV01; @dbname= EMPRESA; @usuario= ventas; @Password= clave; "
                       "@ParametroAdicional=; @Caja=2;kelp@"));
    EXPECT_EQ(campos.servidor, QStringLiteral("SRV01"));
    EXPECT_EQ(campos.baseDeDatos, QStringLiteral("EMPRESA"));
    EXPECT_EQ(campos.usuario, QStringLiteral("ventas"));
    EXPECT_EQ(campos.password, QStringLiteral("clave"));
    EXPECT_EQ(campos.caja, QStringLiteral("2"));
    EXPECT_TRUE(campos.parametroAdicional.isEmpty());
    EXPECT_TRUE(campos.menu.isEmpty());
    EXPECT_TRUE(campos.usuarioLogeado.isEmpty());
}

TEST(LineaComandos, shouldFindKeysIgnoringCase) {
    const auto campos = analizarLineaComandos(QStringLiteral("@SERVER=SRV02;@DBNAME=X;@MENU=M1;"));
    EXPECT_EQ(campos.servidor, QStringLiteral("SRV02"));
    EXPECT_EQ(campos.baseDeDatos, QStringLiteral("X"));
    EXPECT_EQ(campos.menu, QStringLiteral("M1"));
}

TEST(LineaComandos, shouldTakeTheUserFromTheFirstFieldThatStartsWithTheKey) {
    // "@Usuario" is the beginning of "@UsuarioLogeado": standing first, that
    // field gives the user (its "=" removed, as every value's).
    const auto campos = analizarLineaComandos(
        QStringLiteral("@server=S; kelp@; @UsuarioLogeado=PEDRO; @usuario=ana;"));
    EXPECT_EQ(campos.usuario, QStringLiteral("LogeadoPEDRO"));
    EXPECT_EQ(campos.usuarioLogeado, QStringLiteral("PEDRO"));
}

TEST(LineaComandos, shouldDropEveryEqualsSignOfAValue) {
    EXPECT_EQ(valorClave(QStringLiteral("@Password= a=b==c ;"), QStringLiteral("@Password")),
              QStringLiteral("abc"));
}

TEST(LineaComandos, shouldDefaultTheTillToOneOnlyWhenTheFieldIsAbsent) {
    EXPECT_EQ(analizarLineaComandos(QStringLiteral("@server=S;")).caja, QStringLiteral("1"));
    EXPECT_EQ(analizarLineaComandos(QString()).caja, QStringLiteral("1"));
    EXPECT_EQ(analizarLineaComandos(QStringLiteral("@Caja=;")).caja, QString());
}

TEST(LineaComandos, shouldTakeTheRestOfTheLineForALastFieldWithoutSemicolon) {
    const QString linea = QStringLiteral("@server=SRV01; @dbname= EMPRESA_CENTRAL ");
    EXPECT_EQ(valorClave(linea, QStringLiteral("@DbName")), QStringLiteral("EMPRESA_CENTRAL"));
    EXPECT_TRUE(valorClave(linea, QStringLiteral("@Usuario")).isEmpty());
}

TEST(LineaComandos, shouldBuildTheDefaultLineWithoutBars) {
    const QString linea = lineaComandosPorDefecto(QStringLiteral("SRV|01"), QStringLiteral("EMP"),
                                                  QStringLiteral("u|"), QStringLiteral("p"));
    EXPECT_EQ(linea, QStringLiteral("@server=SRV01; @dbname= EMP; @usuario= u; @Password= p; "
                                    "@ParametroAdicional=; @Caja=1;kelp@"));
    const auto campos = analizarLineaComandos(linea);
    EXPECT_EQ(campos.usuario, QStringLiteral("u"));
    EXPECT_EQ(campos.caja, QStringLiteral("1"));
}

TEST(LineaComandos, shouldJoinTheProcessArgumentsAfterTheProgramName) {
    EXPECT_EQ(unirArgumentos({QStringLiteral("/bin/estaciones"), QStringLiteral("@server=S;"),
                              QStringLiteral("@dbname=D;kelp@")}),
              QStringLiteral("@server=S; @dbname=D;kelp@"));
    EXPECT_TRUE(unirArgumentos({QStringLiteral("/bin/estaciones")}).isEmpty());
}

TEST(NormalizarServidor, shouldKeepTheNameWithoutProtocolAndPort) {
    const std::pair<const char*, const char*> casos[] = {{"tcp/SRV01:1433", "SRV01"},
                                                         {"SRV01:1433", "SRV01"},
                                                         {"SRV01", "SRV01"},
                                                         {"(local)", "(local)"},
                                                         {"np/SRV\\INST", "SRV\\INST"},
                                                         {"tcp/a/b:1:2", "a/b"},
                                                         {"", ""}};
    for (const auto& [servidor, esperado] : casos) {
        EXPECT_EQ(NormalizarServidor(QString::fromLatin1(servidor)), QString::fromLatin1(esperado))
            << servidor;
    }
}

TEST(ClaveEstacion, shouldJoinMachineAndIdentityUpperCasedAndCutToFifty) {
    EXPECT_EQ(claveEstacion(QStringLiteral("caja01"), QStringLiteral("ana")),
              QStringLiteral("CAJA01|ANA"));
    const QString maquina(40, u'm');
    const QString identidad(19, u'u'); // 40 + 1 + 19 = 60 characters
    EXPECT_EQ(claveEstacionCompleta(maquina, identidad).size(), 60);
    EXPECT_EQ(claveEstacion(maquina, identidad),
              claveEstacionCompleta(maquina, identidad).left(50));
}

class IniRespaldo : public ::testing::Test {
protected:
    void escribirIni(const QByteArray& contenido) {
        QFile archivo(carpeta.filePath(QStringLiteral("cn000pr.ini")));
        ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
        archivo.write(contenido);
    }
    QTemporaryDir carpeta;
};

TEST_F(IniRespaldo, shouldDefaultToTheSuitesLoginWithoutTheFile) {
    const estaciones::library::IniFile ini(carpeta.path());
    const auto campos = analizarLineaComandos(lineaComandosDesdeIni(ini, QStringLiteral("PC|ANA")));
    EXPECT_TRUE(campos.servidor.isEmpty());
    EXPECT_TRUE(campos.baseDeDatos.isEmpty());
    EXPECT_EQ(campos.usuario, QStringLiteral("Tessera"));
    EXPECT_EQ(campos.password, QStringLiteral("quendar"));
}

TEST_F(IniRespaldo, shouldReadTheStationsDatabaseSectionAndDecodeTheLogin) {
    const QByteArray usuario = estaciones::library::encodeText(QStringLiteral("cajero")).toLatin1();
    escribirIni("[PC|ANA]\r\nFlatToolbars=0\r\n[PC|ANABaseDeDatos]\r\nServidor=tcp/SRV|01:1433\r\n"
                "DbName=EMPRESA\r\nUsuario=" +
                usuario + "\r\n");
    const estaciones::library::IniFile ini(carpeta.path());
    const auto campos = analizarLineaComandos(lineaComandosDesdeIni(ini, QStringLiteral("PC|ANA")));
    EXPECT_EQ(campos.servidor, QStringLiteral("tcp/SRV01:1433"));
    EXPECT_EQ(campos.baseDeDatos, QStringLiteral("EMPRESA"));
    EXPECT_EQ(campos.usuario, QStringLiteral("cajero"));
    EXPECT_EQ(campos.password, QStringLiteral("quendar"));
}

} // namespace
