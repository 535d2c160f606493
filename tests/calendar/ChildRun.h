#pragma once

// Some of what the window reads is fixed when the application starts: the
// screen the platform offers, the system locale. Such tests run one test of
// this same executable again in a child process with its own environment;
// the child test runs only there (ESTACIONES_PRUEBA_HIJA is set) and skips
// itself in an ordinary run.

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace estaciones::test {

inline bool inChildRun() {
    return qEnvironmentVariableIsSet("ESTACIONES_PRUEBA_HIJA");
}

// Runs `test` (Suite.name) in a child with `environment` added to this
// process's; fails unless the child ran it and it passed.
inline void runInChild(const QString& test, const QProcessEnvironment& environment,
                       const QStringList& unset = {}) {
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : unset) {
        childEnvironment.remove(name);
    }
    childEnvironment.insert(environment);
    childEnvironment.insert(QStringLiteral("ESTACIONES_PRUEBA_HIJA"), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(childEnvironment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + test});
    ASSERT_TRUE(child.waitForFinished(120000)) << test.toStdString();
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[       OK ] ") + test)) << output.toStdString();
}

} // namespace estaciones::test
