#include "session/library/IniFile.h"
#include "session/library/SharedObjects.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A station's INI file as the suite's Windows programs write it: code page
// 1252, CR LF, comments, blanks around names and "=".
const QByteArray stationIni = "; generado por el instalador\r\n"
                              "[PC01|OPERADOR]\r\n"
                              "FlatToolbars=0\r\n"
                              "\r\n"
                              "  [ pc01|operadorBaseDeDatos ]  \r\n"
                              "  Servidor  =  SRV01\\INST  \r\n"
                              "dbname=EMPRESA\r\n"
                              ";Usuario=comentado\r\n"
                              "Vac\xEDo=\r\n" // "Vacío" in 1252
                              "Descripcion=Caf\xE9 \x80 y \x93m\xE1s\x94\r\n"
                              "Comillas=\"  con blancos  \"\r\n"
                              "[Otra]\r\n"
                              "Servidor=OTRO\r\n";

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir programFolder;
    test::ScopedEnvFolder config{"XDG_CONFIG_HOME"};
    library::IniFile ini{programFolder.path()};
};

} // namespace

TEST_F(IniFileTest, shouldReadKeysIgnoringCaseOfSectionsAndKeys) {
    writeFile(programFolder.filePath("CN000pr.INI"), stationIni);
    EXPECT_EQ(ini.read("CN000pr.INI", "pc01|operador", "FLATTOOLBARS", "1"), "0");
    EXPECT_EQ(ini.read("CN000pr.INI", "PC01|OPERADORBASEDEDATOS", "servidor", ""), "SRV01\\INST");
    EXPECT_EQ(ini.read("CN000pr.INI", "PC01|OPERADORBaseDeDatos", "DbName", ""), "EMPRESA");
    EXPECT_EQ(ini.read("CN000pr.INI", "Otra", "Servidor", ""), "OTRO");
    EXPECT_EQ(ini.read("CN000pr.INI", "PC01|OPERADORBaseDeDatos", "Comillas", ""),
              "  con blancos  ");
}

TEST_F(IniFileTest, shouldReadWindows1252AndUtf8Text) {
    writeFile(programFolder.filePath("CN000pr.INI"), stationIni);
    const QString section = "PC01|OPERADORBaseDeDatos";
    EXPECT_EQ(ini.read("CN000pr.INI", section, "Descripcion", ""),
              QString::fromUtf8("Café € y “más”"));
    EXPECT_EQ(ini.read("CN000pr.INI", section, QString::fromUtf8("VACÍO"), "x"), "");

    writeFile(programFolder.filePath("CN000pr.INI"),
              QString::fromUtf8("\xEF\xBB\xBF[Año]\nClave=Niño €\n").toUtf8());
    EXPECT_EQ(ini.read("CN000pr.INI", QString::fromUtf8("AÑO"), "clave", ""),
              QString::fromUtf8("Niño €"));
}

TEST_F(IniFileTest, shouldReturnTheDefaultForWhatIsMissing) {
    EXPECT_EQ(ini.read("CN000pr.INI", "PC01|OPERADOR", "FlatToolbars", "1"), "1"); // no file
    writeFile(programFolder.filePath("CN000pr.INI"), stationIni);
    EXPECT_EQ(ini.read("CN000pr.INI", "NOEXISTE", "FlatToolbars", "1"), "1");
    EXPECT_EQ(ini.read("CN000pr.INI", "PC01|OPERADORBaseDeDatos", "Usuario", "def"), "def");
    // A key of another section is not found in this one.
    EXPECT_EQ(ini.read("CN000pr.INI", "PC01|OPERADOR", "Servidor", "def"), "def");
    EXPECT_EQ(ini.read("", "PC01|OPERADOR", "FlatToolbars", "1"), "1");
}

TEST_F(IniFileTest, shouldLookInTheProgramFolderThenTheConfigurationFolder) {
    writeFile(config.filePath("CN000pr.INI"), "[S]\r\nK=configuracion\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "configuracion");
    EXPECT_EQ(ini.locate("CN000pr.INI"), config.filePath("CN000pr.INI"));

    writeFile(programFolder.filePath("cn000pr.ini"), "[S]\r\nK=programa\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "programa"); // name case ignored
    EXPECT_EQ(ini.locate("CN000pr.INI"), programFolder.filePath("cn000pr.ini"));
}

TEST_F(IniFileTest, shouldPassOverAFolderThatBearsTheFilesName) {
    writeFile(config.filePath("CN000pr.INI"), "[S]\r\nK=configuracion\r\n");
    ASSERT_TRUE(QDir(programFolder.path()).mkdir("CN000pr.INI"));
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "configuracion");
    writeFile(programFolder.filePath("cn000PR.ini"), "[S]\r\nK=programa\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "programa");
}

TEST_F(IniFileTest, shouldTakeAPathWithAFolderAsItStands) {
    writeFile(config.filePath("otro.ini"), "[S]\nK=V\n");
    EXPECT_EQ(ini.read(config.filePath("otro.ini"), "S", "K", ""), "V");
    EXPECT_EQ(ini.read(config.filePath("falta.ini"), "S", "K", "d"), "d");
}

TEST(SharedIniFile, shouldSearchTheExecutablesFolderByDefault) {
    const QStringList folders = library::iniFile().searchFolders();
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders[0], QCoreApplication::applicationDirPath());
}

// The start-up's use: user and password are stored encoded, and the encoded
// defaults stand in when the keys are absent.
TEST_F(IniFileTest, shouldCarryEncodedAccessDataAndEncodedDefaults) {
    const auto& text = library::textHelper();
    const QString section = "PC01|OPERADORBaseDeDatos";
    const QByteArray password = text.encode(QString::fromUtf8("clave;ñ=[1]|")).toLatin1();
    writeFile(programFolder.filePath("CN000pr.INI"),
              "[" + section.toLatin1() + "]\r\nUserPassWord = " + password + "\r\n");
    EXPECT_EQ(text.decode(ini.read("CN000pr.INI", section, "UserPassWord", text.encode("quendar"))),
              QString::fromUtf8("clave;ñ=[1]|"));
    EXPECT_EQ(text.decode(ini.read("CN000pr.INI", section, "Usuario", text.encode("Tessera"))),
              "Tessera");
}
