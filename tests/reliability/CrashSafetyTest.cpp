// A station killed (kill -9) at any moment of a transaction leaves all of it
// or nothing, and the file opens and checks clean afterwards.
#include "reliability/Estaciones.h"

#include <QRandomGenerator>

#include <sqlite3.h>

#include <csignal>

namespace estaciones::reliability::test {

namespace {

// PRAGMA integrity_check on a plain SQLite connection: what a standard tool sees.
QString integrityOf(const QString& file) {
    sqlite3* db = nullptr;
    QString answer;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            answer += QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        }
        sqlite3_finalize(statement);
    } else {
        answer = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    return answer;
}

} // namespace

using CrashSafetyTest = EstacionesFixture;

TEST_F(CrashSafetyTest, AKilledTransactionLeavesAllOrNothing) {
    run(QStringLiteral("CREATE TABLE Filas (id int NOT NULL, texto varchar(20))"));
    constexpr int rows = 10000;
    constexpr int kills = 20;
    QRandomGenerator random(20261209);
    int committed = 0;
    for (int round = 0; round < kills; ++round) {
        run(QStringLiteral("DELETE FROM Filas"));
        auto station = startStation(QStringLiteral("insertar"), rows);
        // A random row count reached, or the moment of the COMMIT itself.
        const int point = random.bounded(rows / 100 + 2);
        const QString line = point > rows / 100 ? QStringLiteral("confirmando")
                                                : QStringLiteral("fila %1").arg(point * 100);
        ASSERT_TRUE(waitForLine(*station, line)) << line.toStdString();
        ::kill(static_cast<pid_t>(station->processId()), SIGKILL);
        station->waitForFinished(10000);
        // A new session opens the file without error and sees all or nothing.
        engine->close();
        engine = db::sqlite::createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);Database=PRUEBA"), {}, {});
        const int count = scalar(QStringLiteral("SELECT COUNT(*) FROM Filas")).toInt32();
        EXPECT_TRUE(count == 0 || count == rows) << "round " << round << ": " << count;
        committed += count == rows ? 1 : 0;
        EXPECT_EQ(integrityOf(data.filePath(QStringLiteral("PRUEBA.db"))), QStringLiteral("ok"));
    }
    // Most kills land before the commit; the ones at COMMIT may go either way.
    EXPECT_LT(committed, kills);
}

} // namespace estaciones::reliability::test
