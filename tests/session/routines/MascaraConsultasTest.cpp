#include "platform/os/Desktop.h"
#include "platform/os/System.h"
#include "session/Archivos.h"
#include "session/routines/CrearMascaraConsultas.h"
#include "support/TempFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::session;

namespace {

QByteArray leer(const QString& ruta) {
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

// A record written out field by field, as the suite's Windows programs read it.
QByteArray registro(const char* nombre, const char* tabla, const char* columnas) {
    return QByteArray(nombre).leftJustified(100, ' ') + QByteArray(tabla).leftJustified(100, ' ') +
           QByteArray(columnas).leftJustified(500, ' ') + QByteArray(500, ' ') + "\r\n";
}

class Mascara : public ::testing::Test {
protected:
    QTemporaryDir carpeta;
    QString ruta = carpeta.filePath(QStringLiteral("consultas.tsf"));
};

TEST_F(Mascara, elevenDefaultRecordsOfFixedLengthAreWritten) {
    CrearMascaraConsultas(ruta);
    const QByteArray bytes = leer(ruta);
    ASSERT_EQ(bytes.size(), 11 * 1202);
    auto numero = [&](int n) { return bytes.mid((n - 1) * 1202, 1202); };
    EXPECT_EQ(numero(1), registro("ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"));
    EXPECT_EQ(numero(2), registro("CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"));
    EXPECT_EQ(numero(4), registro("CONTACTOS", "MA_CONTACTOS",
                                  "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"));
    EXPECT_EQ(numero(9), registro("TAREAS", "V_TA_Tareas", "|Descripcion|IdTarea|"));
    EXPECT_EQ(numero(10), registro("UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|"));
    EXPECT_EQ(numero(11), registro("DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|"));
    for (int n = 1; n <= 11; ++n) {
        EXPECT_TRUE(numero(n).endsWith("\r\n")) << "record " << n;
    }
}

TEST_F(Mascara, fieldsAreTrimmedPaddedCutAndWrittenInWindows1252) {
    const QByteArray r = registroMascara(QStringLiteral("  AÑOS "), QStringLiteral(" V_X"),
                                         QString(600, QLatin1Char('c')), QStringLiteral(" x > 1 "));
    ASSERT_EQ(r.size(), 1202);
    EXPECT_EQ(r.left(5), QByteArray("A\xD1OS ")) << "Ñ is one byte, D1";
    EXPECT_EQ(r.mid(100, 4), " V_X") << "the table is padded as it is";
    EXPECT_EQ(r.mid(200, 500), QByteArray(500, 'c')) << "cut to its field";
    EXPECT_EQ(r.mid(700, 6), "x > 1 ");
}

TEST_F(Mascara, anExistingFileIsNotWrittenAgainAndNewRecordsGoAfterTheLast) {
    prepararMascaraConsultas(carpeta.path());
    ASSERT_EQ(leer(ruta).size(), 11 * 1202);
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::ReadWrite));
    archivo.seek(0);
    archivo.write("PROPIA"); // the installation's own edit
    archivo.close();

    prepararMascaraConsultas(carpeta.path() + QLatin1Char('/'));
    EXPECT_TRUE(leer(ruta).startsWith("PROPIA")) << "an existing file is kept";
    EXPECT_EQ(leer(ruta).size(), 11 * 1202);

    CrearMascaraConsultas(ruta);
    const QByteArray bytes = leer(ruta);
    EXPECT_EQ(bytes.size(), 22 * 1202);
    EXPECT_TRUE(bytes.startsWith("PROPIA"));
    EXPECT_EQ(bytes.mid(11 * 1202, 9), "ARTICULOS");
}

TEST(Archivos, existsOnlyForAFileThatCanBeRead) {
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("a b.txt"));
    EXPECT_FALSE(ExisteArchivo(ruta));
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.close();
    EXPECT_TRUE(ExisteArchivo(ruta));
    EXPECT_FALSE(ExisteArchivo(carpeta.path())) << "a folder is not a file";
    EXPECT_FALSE(ExisteArchivo(QString()));
}

TEST(Archivos, abrirArchivoHandsThePathAsItIsWithTheWindowStyle) {
    os::RecordingDesktop escritorio;
    os::Desktop* previo = os::setDesktop(&escritorio);
    AbrirArchivo(QStringLiteral("/tmp/mi registro.TXT"), true);
    AbrirArchivo(QStringLiteral("/tmp/otro.TXT"), false);
    escritorio.setOpenSucceeds(false);
    AbrirArchivo(QStringLiteral("/tmp/no.TXT"), true); // a failure is not reported
    os::setDesktop(previo);
    ASSERT_EQ(escritorio.calls().size(), 3u);
    EXPECT_EQ(escritorio.calls()[0].target, "/tmp/mi registro.TXT");
    EXPECT_EQ(escritorio.calls()[0].windowStyle, 6);
    EXPECT_EQ(escritorio.calls()[1].windowStyle, 0);
}

TEST(Archivos, theMaskFileGoesToTheUsersFolderWhenTheProgramFolderIsNotWritable) {
    test::ScopedEnvFolder datos{"XDG_DATA_HOME"};
    QTemporaryDir programa;
    EXPECT_EQ(rutaMascaraConsultas(programa.path() + QLatin1Char('/')),
              programa.path() + QStringLiteral("/consultas.tsf"));
    QFile::setPermissions(programa.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (os::isFolderWritable(programa.path())) {
        QFile::setPermissions(programa.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
        GTEST_SKIP() << "this user writes into read-only folders";
    }
    EXPECT_EQ(rutaMascaraConsultas(programa.path()),
              datos.path() + QStringLiteral("/estaciones/consultas.tsf"));
    QFile::setPermissions(programa.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
