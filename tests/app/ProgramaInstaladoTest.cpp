// The installed program: `cmake --install` puts the program folder together,
// and a user who cannot write it still gets a working program whose own
// files go to the per-user data folder.
#include "ProgramaExterno.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class ProgramaInstalado : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::carpetaCompilacion().isEmpty() ||
            !QFileInfo::exists(QDir(test::carpetaCompilacion()).filePath("estaciones"))) {
            GTEST_SKIP() << "The program is not built (ESTACIONES_BUILD_DIR)";
        }
        ASSERT_TRUE(raiz.isValid());
        prefijo = raiz.filePath(QStringLiteral("prefijo"));
        // cmake --install writes its list of files into the build folder.
        const QString lista = QDir(test::carpetaCompilacion()).filePath("install_manifest.txt");
        const bool listaPrevia = QFileInfo::exists(lista);
        const auto r = test::ejecutar(QStringLiteral(ESTACIONES_CMAKE),
                                      {QStringLiteral("--install"), test::carpetaCompilacion(),
                                       QStringLiteral("--prefix"), prefijo},
                                      QProcessEnvironment::systemEnvironment());
        if (!listaPrevia) {
            QFile::remove(lista);
        }
        ASSERT_EQ(r.codigo, 0) << r.salida.toStdString() << r.errores.toStdString();
        carpetaPrograma = QDir(prefijo).filePath(QStringLiteral("lib/estaciones"));
    }

    QTemporaryDir raiz;
    QString prefijo;
    QString carpetaPrograma;
};

TEST_F(ProgramaInstalado, theProgramFolderHoldsTheProgramsAndTheirScripts) {
    for (const char* archivo :
         {"estaciones", "estaciones-sql", "empresa.sql", "demo.sql", "DEMO.semilla",
          "DEMO.sembrada", "DEMO.sembrada.huella", "TS_CREACALENDARIO.sql", "completotse.sql",
          "ayuda/operador.html", "ayuda/administracion.html", "estaciones-tsql.so",
          "estaciones-http.so", "estaciones-impresion.so"}) {
        EXPECT_TRUE(QFileInfo::exists(QDir(carpetaPrograma).filePath(archivo))) << archivo;
    }
    const QFileInfo enlace(QDir(prefijo).filePath(QStringLiteral("bin/estaciones")));
    EXPECT_TRUE(enlace.isSymLink());
    EXPECT_EQ(enlace.canonicalFilePath(),
              QFileInfo(QDir(carpetaPrograma).filePath("estaciones")).canonicalFilePath());

    QFile entrada(QDir(prefijo).filePath(QStringLiteral("share/applications/estaciones.desktop")));
    ASSERT_TRUE(entrada.open(QIODevice::ReadOnly));
    const QString texto = QString::fromUtf8(entrada.readAll());
    EXPECT_TRUE(texto.contains(QStringLiteral("Exec=") + enlace.absoluteFilePath()))
        << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("Icon=estaciones")));
    EXPECT_TRUE(QFileInfo::exists(QDir(prefijo).filePath(
        QStringLiteral("share/icons/hicolor/scalable/apps/estaciones.svg"))));
}

// As root the permission bits do not stop a write, so the run then happens as
// the unprivileged user "nobody" (runuser); otherwise as the current user.
TEST_F(ProgramaInstalado, aUserWhoCannotWriteTheProgramFolderKeepsItsFilesInItsOwnFolder) {
    QStringList envoltorio;
    if (::geteuid() == 0) {
        const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
        if (runuser.isEmpty()) {
            GTEST_SKIP() << "runuser is missing: cannot run as an unprivileged user";
        }
        envoltorio = {runuser, QStringLiteral("-u"), QStringLiteral("nobody"),
                      QStringLiteral("--")};
    }
    const QString hogar = raiz.filePath(QStringLiteral("hogar"));
    ASSERT_TRUE(QDir().mkpath(hogar));
    // Everything readable and passable; only the home folder writable.
    const auto permitir = [&](const QString& ruta, const QString& modo) {
        return test::ejecutar(QStringLiteral("/bin/chmod"), {QStringLiteral("-R"), modo, ruta},
                              QProcessEnvironment::systemEnvironment())
                   .codigo == 0;
    };
    ASSERT_TRUE(permitir(raiz.path(), QStringLiteral("a+rX")));
    ASSERT_TRUE(permitir(carpetaPrograma, QStringLiteral("a-w")));
    ASSERT_TRUE(permitir(hogar, QStringLiteral("a+rwX")));

    QProcessEnvironment entorno;
    entorno.insert(QStringLiteral("HOME"), hogar);
    entorno.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    entorno.insert(QStringLiteral("XDG_DATA_HOME"), QDir(hogar).filePath(QStringLiteral("datos")));
    entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(hogar).filePath(QStringLiteral("conf")));
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), hogar);
    entorno.insert(QStringLiteral("TEMP"), hogar);
    entorno.insert(QStringLiteral("ESTACIONES_RESPUESTAS_AUTOMATICAS"), QString());
    entorno.insert(QStringLiteral("ESTACIONES_SALIR_TRAS_INICIO"), QStringLiteral("1"));
    const auto r = test::ejecutar(QDir(prefijo).filePath(QStringLiteral("bin/estaciones")),
                                  {test::lineaDemo}, entorno, envoltorio);
    ASSERT_EQ(r.codigo, 0) << r.errores.toStdString();
    EXPECT_FALSE(r.errores.contains(QStringLiteral("[message box]"))) << r.errores.toStdString();

    const QDir propios(QDir(hogar).filePath(QStringLiteral("datos/estaciones")));
    EXPECT_TRUE(QFileInfo::exists(propios.filePath(QStringLiteral("DEMO.db"))));
    EXPECT_TRUE(QFileInfo::exists(propios.filePath(QStringLiteral("consultas.tsf"))));
    EXPECT_FALSE(
        QFileInfo::exists(QDir(carpetaPrograma).filePath(QStringLiteral("consultas.tsf"))));
}

} // namespace
