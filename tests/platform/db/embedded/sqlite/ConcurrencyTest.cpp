// Two processes updating one database at the same time lose nothing.
#include "platform/db/embedded/EmbeddedFixture.h"

#include "platform/os/System.h"

#include <QDir>
#include <QProcess>

namespace estaciones::db::sqlite::test {

using ConcurrencyTest = EmbeddedFixture;

TEST_F(ConcurrencyTest, TwoProcessesUpdatingDifferentRowsLoseNothing) {
    run("CREATE TABLE Contadores (id int PRIMARY KEY, n int NOT NULL)\n"
        "INSERT INTO Contadores VALUES (1, 0) INSERT INTO Contadores VALUES (2, 0)");
    constexpr int times = 150;
    const QString writer = QDir(os::programFolder()).filePath("estaciones_sqlite_writer");
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const char* row : {"1", "2", "1"}) {
        auto process = std::make_unique<QProcess>();
        process->start(writer, {"PRUEBA", row, QString::number(times)});
        ASSERT_TRUE(process->waitForStarted(10000)) << writer.toStdString();
        processes.push_back(std::move(process));
    }
    // This session writes too, while the others run.
    for (int i = 0; i < times; ++i) {
        run("UPDATE Contadores SET n = n + 1 WHERE id = 2");
    }
    for (const auto& process : processes) {
        ASSERT_TRUE(process->waitForFinished(120000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
    }
    EXPECT_EQ(scalar("SELECT n FROM Contadores WHERE id = 1").toInt32(), 2 * times);
    EXPECT_EQ(scalar("SELECT n FROM Contadores WHERE id = 2").toInt32(), 2 * times);
}

} // namespace estaciones::db::sqlite::test
