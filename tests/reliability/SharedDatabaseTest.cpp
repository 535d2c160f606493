// Stations sharing one database: writers queue for each other up to the
// command time-out, and every acknowledged commit stays committed.
#include "reliability/Estaciones.h"

#include <QElapsedTimer>

namespace estaciones::reliability::test {

using SharedDatabaseTest = EstacionesFixture;

TEST_F(SharedDatabaseTest, TwoStationsAddingToOneCounterLoseNothing) {
    run(QStringLiteral("CREATE TABLE Contador (n int NOT NULL) INSERT INTO Contador VALUES (0)"));
    constexpr int times = 5000;
    auto first = startStation(QStringLiteral("sumar"), times);
    auto second = startStation(QStringLiteral("sumar"), times);
    for (QProcess* station : {first.get(), second.get()}) {
        const Report report = finish(*station);
        EXPECT_EQ(report.exitCode, 0);
        EXPECT_EQ(report.acknowledged, times);
        EXPECT_TRUE(report.errors.isEmpty()) << report.errors.join(", ").toStdString();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT n FROM Contador")).toInt32(), 2 * times);
}

TEST_F(SharedDatabaseTest, ReadThenWriteTransactionsKeepEveryAcknowledgedCommit) {
    run(QStringLiteral("CREATE TABLE Contador (n int NOT NULL) INSERT INTO Contador VALUES (0)"));
    constexpr int times = 400;
    std::vector<std::unique_ptr<QProcess>> stations;
    for (int i = 0; i < 3; ++i) {
        stations.push_back(startStation(QStringLiteral("leer-escribir"), times));
    }
    int acknowledged = 0;
    int lockErrors = 0;
    for (const auto& station : stations) {
        const Report report = finish(*station);
        EXPECT_EQ(report.exitCode, 0);
        acknowledged += report.acknowledged;
        lockErrors += static_cast<int>(report.errors.size());
        for (const QString& error : report.errors) {
            EXPECT_FALSE(error.startsWith(QLatin1String("1222"))) << error.toStdString();
        }
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT n FROM Contador")).toInt32(), acknowledged);
    EXPECT_LT(lockErrors, 3 * times / 20);
}

TEST_F(SharedDatabaseTest, AWriterWaitsForAnotherStationsTransaction) {
    run(QStringLiteral("CREATE TABLE Contador (n int NOT NULL) INSERT INTO Contador VALUES (0)"));
    auto holder = startStation(QStringLiteral("retener"), 1500);
    ASSERT_TRUE(waitForLine(*holder, QStringLiteral("listo")));
    QElapsedTimer clock;
    clock.start();
    run(QStringLiteral("UPDATE Contador SET n = n + 10"), 10);
    EXPECT_GT(clock.elapsed(), 500); // it waited for the holder's commit
    const Report report = finish(*holder);
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_EQ(report.acknowledged, 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT n FROM Contador")).toInt32(), 11);
}

TEST_F(SharedDatabaseTest, OnlyTheWaitingStationGetsTheTimeOut) {
    run(QStringLiteral("CREATE TABLE Contador (n int NOT NULL) INSERT INTO Contador VALUES (0)"));
    auto holder = startStation(QStringLiteral("retener"), 3500);
    ASSERT_TRUE(waitForLine(*holder, QStringLiteral("listo")));
    for (const QString& batch : {QStringLiteral("UPDATE Contador SET n = n + 10"),
                                 QStringLiteral("BEGIN TRAN UPDATE Contador SET n = n + 10")}) {
        QElapsedTimer clock;
        clock.start();
        try {
            run(batch, 1);
            ADD_FAILURE() << "no time-out for " << batch.toStdString();
        } catch (const db::ProviderFailure& failure) {
            EXPECT_EQ(failure.records().front().sqlState, QStringLiteral("HYT00"));
            EXPECT_EQ(failure.records().front().number, errnum::Timeout);
            EXPECT_EQ(failure.records().front().description,
                      QStringLiteral("Query timeout expired"));
        }
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_GE(clock.elapsed(), 900);
        // The failed batch left no transaction behind.
        EXPECT_EQ(scalar(QStringLiteral("SELECT @@TRANCOUNT")).toInt32(), 0);
    }
    const Report report = finish(*holder);
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_EQ(report.acknowledged, 1);
    EXPECT_TRUE(report.errors.isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT n FROM Contador")).toInt32(), 1);
}

} // namespace estaciones::reliability::test
