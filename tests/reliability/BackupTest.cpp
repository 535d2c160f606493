// BACKUP DATABASE while other stations write, and RESTORE DATABASE, which
// needs the database to itself.
#include "reliability/Estaciones.h"

#include <QFile>
#include <QThread>

#include <sqlite3.h>

namespace estaciones::reliability::test {

namespace {

// The native numbers of a failing batch, in order.
std::vector<int> errorsOf(db::Engine& engine, const QString& batch) {
    std::vector<int> numbers;
    try {
        engine.execute(batch, {}, 30);
    } catch (const db::ProviderFailure& failure) {
        for (const db::ProviderError& record : failure.records()) {
            numbers.push_back(record.nativeError);
        }
    }
    return numbers;
}

} // namespace

class BackupTest : public EstacionesFixture {
protected:
    void SetUp() override {
        EstacionesFixture::SetUp();
        run(QStringLiteral("CREATE TABLE Contador (n int NOT NULL) INSERT INTO Contador VALUES (0) "
                           "CREATE TABLE Filas (id int PRIMARY KEY, texto varchar(20))"));
        QString rows = QStringLiteral("BEGIN TRAN\n");
        for (int i = 0; i < 1000; ++i) {
            rows += QStringLiteral("INSERT INTO Filas VALUES (%1, 'fila %1')\n").arg(i);
        }
        run(rows + QStringLiteral("COMMIT"));
        run(QStringLiteral("CREATE DATABASE OTRA"));
    }

    std::unique_ptr<db::Engine> openOn(const QString& database) {
        auto other = db::sqlite::createEmbeddedEngine();
        other->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);Database=") + database, {},
                    {});
        return other;
    }
};

TEST_F(BackupTest, ABackupTakenWhileAStationWritesRestoresEveryRowCommittedBeforeIt) {
    auto writer = startStation(QStringLiteral("sumar"), 3000);
    QElapsedTimer clock;
    clock.start();
    int before = 0;
    while ((before = scalar(QStringLiteral("SELECT n FROM Contador")).toInt32()) == 0 &&
           clock.elapsed() < 10000) {
        QThread::msleep(2);
    }
    ASSERT_GT(before, 0) << "the station never wrote";
    run(QStringLiteral("BACKUP DATABASE PRUEBA TO DISK = 'prueba.bak' WITH INIT, STATS = 10"));
    const Report report = finish(*writer);
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_TRUE(report.errors.isEmpty()) << report.errors.join(", ").toStdString();
    EXPECT_FALSE(QFile::exists(data.filePath(QStringLiteral("prueba.bak.parcial"))));

    run(QStringLiteral("RESTORE DATABASE COPIA FROM DISK = 'prueba.bak'"));
    auto copy = openOn(QStringLiteral("COPIA"));
    const auto counts =
        copy->execute(QStringLiteral("SELECT COUNT(*), (SELECT n FROM Contador) FROM Filas"), {},
                      30)
            .resultSets.front()
            .rows.front();
    EXPECT_EQ(counts[0].toInt32(), 1000);
    EXPECT_GE(counts[1].toInt32(), before);
    EXPECT_LE(counts[1].toInt32(), 3000);
    copy->close();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(data.filePath(QStringLiteral("COPIA.db")).toUtf8().constData(),
                              &raw, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(raw);
}

TEST_F(BackupTest, ARestoreIsRefusedWhileAnyStationHasTheDatabaseOpen) {
    run(QStringLiteral("BACKUP DATABASE PRUEBA TO DISK = 'prueba.bak'"));
    run(QStringLiteral("DELETE FROM Filas"));
    // This session is in the database itself.
    EXPECT_EQ(errorsOf(*engine, QStringLiteral("RESTORE DATABASE PRUEBA FROM DISK = 'prueba.bak'")),
              (std::vector<int>{3101, 3013}));
    run(QStringLiteral("USE OTRA"));
    {
        // Another station, idle but connected.
        auto other = openOn(QStringLiteral("PRUEBA"));
        EXPECT_EQ(
            errorsOf(*engine, QStringLiteral("RESTORE DATABASE PRUEBA FROM DISK = 'prueba.bak'")),
            (std::vector<int>{3101, 3013}));
        EXPECT_EQ(other->execute(QStringLiteral("SELECT COUNT(*) FROM Filas"), {}, 30)
                      .resultSets.front()
                      .rows.front()
                      .front()
                      .toInt32(),
                  0);
    }
    // Alone, it puts back the rows of the backup.
    run(QStringLiteral("DECLARE @archivo varchar(100) SET @archivo = 'prueba.bak' "
                       "RESTORE DATABASE PRUEBA FROM DISK = @archivo WITH REPLACE"));
    auto after = openOn(QStringLiteral("PRUEBA"));
    EXPECT_EQ(after->execute(QStringLiteral("SELECT COUNT(*) FROM Filas"), {}, 30)
                  .resultSets.front()
                  .rows.front()
                  .front()
                  .toInt32(),
              1000);
    after->execute(QStringLiteral("INSERT INTO Filas VALUES (5000, 'nueva')"), {}, 30);
}

TEST_F(BackupTest, WhatCannotBeDoneFailsAsTheServerSaysAndWritesNothing) {
    EXPECT_EQ(errorsOf(*engine, QStringLiteral("BACKUP DATABASE NO_EXISTE TO DISK = 'x.bak'")),
              (std::vector<int>{911, 3013}));
    EXPECT_EQ(errorsOf(*engine, QStringLiteral("BEGIN TRAN BACKUP DATABASE PRUEBA TO DISK = 'x.bak'")),
              (std::vector<int>{3021, 3013}));
    run(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(errorsOf(*engine,
                       QStringLiteral("BACKUP DATABASE PRUEBA TO DISK = 'no/hay/carpeta/x.bak'")),
              (std::vector<int>{3201, 3013}));
    EXPECT_FALSE(QFile::exists(data.filePath(QStringLiteral("x.bak"))));
    run(QStringLiteral("USE OTRA"));
    EXPECT_EQ(errorsOf(*engine, QStringLiteral("RESTORE DATABASE PRUEBA FROM DISK = 'falta.bak'")),
              (std::vector<int>{3201, 3013}));
    QFile garbage(data.filePath(QStringLiteral("basura.bak")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    EXPECT_EQ(errorsOf(*engine, QStringLiteral("RESTORE DATABASE PRUEBA FROM DISK = 'basura.bak'")),
              (std::vector<int>{3241, 3013}));
    EXPECT_EQ(errorsOf(*engine, QStringLiteral("BACKUP LOG PRUEBA TO DISK = 'x.bak'")),
              (std::vector<int>{50000}));
    // PRUEBA is as it was.
    run(QStringLiteral("USE PRUEBA"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Filas")).toInt32(), 1000);
}

} // namespace estaciones::reliability::test
