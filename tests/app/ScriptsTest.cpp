// The README's run command on a machine without a display: it must say so
// at once, before the minutes of installing and building. The tools those
// steps would call are replaced by stand-ins that leave a mark.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(EjecutarSinPantalla, shouldSayThereIsNoDisplayBeforeInstallingOrBuilding) {
    QTemporaryDir stubs;
    ASSERT_TRUE(stubs.isValid());
    const QString marks = stubs.filePath(QStringLiteral("llamadas.txt"));
    for (const char* tool : {"sudo", "apt-get", "dpkg-query", "cmake", "ninja"}) {
        QFile stub(stubs.filePath(QString::fromLatin1(tool)));
        ASSERT_TRUE(stub.open(QIODevice::WriteOnly));
        stub.write(
            QStringLiteral("#!/bin/sh\necho \"$0 $*\" >> '%1'\nexit 0\n").arg(marks).toUtf8());
        stub.close();
        stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(display));
    }
    environment.insert(QStringLiteral("PATH"), stubs.path() + QStringLiteral(":/usr/bin:/bin"));
    QProcess script;
    script.setProcessEnvironment(environment);
    script.start(QStringLiteral("bash"), {QDir(QStringLiteral(ESTACIONES_SOURCE_DIR))
                                              .filePath(QStringLiteral("scripts/ejecutar.sh"))});
    ASSERT_TRUE(script.waitForFinished(60000));
    EXPECT_EQ(script.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(script.readAllStandardError())
                    .contains(QStringLiteral("No hay pantalla gráfica disponible")));
    QFile called(marks);
    EXPECT_FALSE(called.exists()) << "called before the display check:\n"
                                  << (called.open(QIODevice::ReadOnly)
                                          ? called.readAll().toStdString()
                                          : std::string());
}

} // namespace
