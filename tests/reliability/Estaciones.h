#pragma once

#include "platform/db/embedded/EmbeddedEngine.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace estaciones::reliability::test {

// The data folder of the stations, in memory where the system has a memory
// file system: the tests are about locks and processes, not about the disk's
// speed at flushing thousands of commits.
class SharedDataFolder {
public:
    SharedDataFolder()
        : m_dir(QDir(QStringLiteral("/dev/shm")).exists()
                    ? QStringLiteral("/dev/shm/estaciones-XXXXXX")
                    : QDir::temp().filePath(QStringLiteral("estaciones-XXXXXX"))) {
        qputenv("ESTACIONES_DATOS", m_dir.path().toLocal8Bit());
    }
    ~SharedDataFolder() { qunsetenv("ESTACIONES_DATOS"); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// A data folder with the database PRUEBA that station processes
// (estaciones_estacion_prueba, next to the test) share with this one.
class EstacionesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        engine = db::sqlite::createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local)"), {}, {});
        run(QStringLiteral("CREATE DATABASE PRUEBA"));
        engine->useDatabase(QStringLiteral("PRUEBA"));
    }

    db::ExecutionResult run(const QString& batch, int timeoutSeconds = 30) {
        return engine->execute(batch, {}, timeoutSeconds);
    }

    Variant scalar(const QString& query) {
        const db::ExecutionResult result = run(query);
        if (result.resultSets.empty() || result.resultSets.front().rows.empty()) {
            ADD_FAILURE() << "no row from " << query.toStdString();
            return Variant();
        }
        return result.resultSets.front().rows.front().front();
    }

    // Starts a station: `mode` with `amount` on PRUEBA.
    std::unique_ptr<QProcess> startStation(const QString& mode, int amount) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QDir(QCoreApplication::applicationDirPath())
                           .filePath(QStringLiteral("estaciones_estacion_prueba")),
                       {mode, QStringLiteral("PRUEBA"), QString::number(amount)});
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }

    // Waits for a line starting with `prefix` on the station's output.
    static bool waitForLine(QProcess& process, const QString& prefix, int ms = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            while (process.canReadLine()) {
                if (QString::fromUtf8(process.readLine()).startsWith(prefix)) {
                    return true;
                }
            }
            if (!process.waitForReadyRead(200) && process.state() == QProcess::NotRunning) {
                return false;
            }
        }
        return false;
    }

    // What a finished station told: its acknowledged batches and its errors.
    struct Report {
        int exitCode = -1;
        int acknowledged = 0;
        QStringList errors; // "NUMBER SQLSTATE"
    };
    static Report finish(QProcess& process) {
        Report report;
        EXPECT_TRUE(process.waitForFinished(120000));
        report.exitCode = process.exitCode();
        static const QRegularExpression acknowledged(QStringLiteral("^confirmadas (\\d+)$"));
        static const QRegularExpression error(QStringLiteral("^error (.+)$"));
        for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
            if (const auto m = acknowledged.match(line.trimmed()); m.hasMatch()) {
                report.acknowledged = m.captured(1).toInt();
            } else if (const auto e = error.match(line.trimmed()); e.hasMatch()) {
                report.errors << e.captured(1);
            }
        }
        return report;
    }

    SharedDataFolder data;
    ::estaciones::test::ScopedEnvFolder seeds{"ESTACIONES_SEMILLAS"};
    std::unique_ptr<db::Engine> engine;
};

} // namespace estaciones::reliability::test
