// The login procedures over the data folder, walked as the statistics
// database provisioning does on a fresh folder and on later starts.
#include "platform/db/embedded/EmbeddedFixture.h"

#include <QDir>
#include <QFile>

namespace estaciones::db::sqlite::test {

using LoginProceduresTest = EmbeddedFixture;

TEST_F(LoginProceduresTest, AddLoginFlowOfTheStatisticsDatabase) {
    const QString addLogin = "EXEC  sp_addlogin N'TS_ESTADISTICAS', 'TS_ESTADISTICAS', "
                             "'TS_ESTADISTICAS','Spanish'";
    EXPECT_EQ(nativeErrorOf(addLogin), 15010);
    ASSERT_EQ(lastFailure.size(), 1u);
    EXPECT_EQ(lastFailure[0].description,
              "The database 'TS_ESTADISTICAS' does not exist. Supply a valid database name. To see "
              "available databases, use sys.databases.");
    EXPECT_EQ(lastFailure[0].sqlState, "42000");
    EXPECT_EQ(lastFailure[0].severity, 16);

    // The creation script, as its batches reach the engine.
    run("Create Database TS_ESTADISTICAS COLLATE Latin1_General_CI_AI \r");
    run("USE TS_ESTADISTICAS\r\n"
        "EXEC  sp_addlogin N'TS_ESTADISTICAS', 'TS_ESTADISTICAS', 'TS_ESTADISTICAS'\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS', sysadmin\r\n"
        "EXEC sp_addsrvrolemember N'TS_ESTADISTICAS',  setupadmin\r\n"
        "EXEC sp_grantdbaccess @loginame = 'TS_ESTADISTICAS' , @name_in_db ='TS_ESTADISTICAS'\r\n"
        "EXEC sp_addrolemember N'db_owner', N'TS_ESTADISTICAS'\r\n");
    EXPECT_EQ(engine->currentDatabase(), "TS_ESTADISTICAS");

    EXPECT_EQ(nativeErrorOf(addLogin), 15025);
    EXPECT_EQ(lastFailure[0].description, "The login 'TS_ESTADISTICAS' already exists.");

    // Another session on the same folder sees the registered login.
    auto later = createEmbeddedEngine();
    later->open("Provider=SQLOLEDB;Server=(local);Database=TS_ESTADISTICAS;UID=TS_ESTADISTICAS", {},
                {});
    try {
        later->execute(addLogin, {}, 0);
        FAIL() << "a registered login was added again";
    } catch (const ProviderFailure& failure) {
        EXPECT_EQ(failure.nativeError(), 15025);
    }
}

TEST_F(LoginProceduresTest, PasswordsAreNotKeptReadably) {
    run("EXEC sp_addlogin 'ana', 'MuySecreta123', 'PRUEBA'");
    QFile registry(QDir(data.path()).filePath("logins.registro"));
    ASSERT_TRUE(registry.open(QIODevice::ReadOnly));
    EXPECT_FALSE(registry.readAll().contains("MuySecreta123"));
    run("EXEC sp_password NULL, 'Otra456', 'ana'\nEXEC sp_defaultdb 'ana', 'PRUEBA'");
    EXPECT_EQ(nativeErrorOf("EXEC sp_defaultdb 'ana', 'NOHAY'"), 15010);
}

} // namespace estaciones::db::sqlite::test
