// The upkeep statements of install and maintenance scripts: what the file
// already is passes, the rest is refused by name and changes nothing.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class MaintenanceStatementsTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Stock (Codigo varchar(10) NOT NULL, Cantidad int)");
        run("CREATE UNIQUE INDEX IX_Stock_Codigo ON Stock (Codigo)");
        run("INSERT INTO Stock VALUES ('A', 1), ('B', 2)");
    }
};

} // namespace

TEST_F(MaintenanceStatementsTest, AlterDatabaseTakesWhatTheFileIsAndRefusesTheRest) {
    run("ALTER DATABASE PRUEBA SET RECOVERY SIMPLE");
    run("ALTER DATABASE CURRENT SET COMPATIBILITY_LEVEL = 140");
    run("ALTER DATABASE [PRUEBA] SET MULTI_USER WITH ROLLBACK IMMEDIATE");
    run("ALTER DATABASE PRUEBA SET AUTO_UPDATE_STATISTICS ON, PAGE_VERIFY CHECKSUM");
    EXPECT_EQ(scalar("SELECT DATABASEPROPERTYEX('PRUEBA', 'Recovery')").toString(), "SIMPLE");
    for (const char* refused :
         {"ALTER DATABASE PRUEBA SET RECOVERY FULL", "ALTER DATABASE PRUEBA SET SINGLE_USER",
          "ALTER DATABASE PRUEBA SET COMPATIBILITY_LEVEL = 100",
          "ALTER DATABASE PRUEBA SET READ_ONLY", "ALTER DATABASE PRUEBA MODIFY NAME = OTRA",
          "ALTER DATABASE PRUEBA SET AUTO_CLOSE ON"}) {
        SCOPED_TRACE(refused);
        EXPECT_EQ(nativeErrorOf(refused), 40517);
    }
    EXPECT_EQ(nativeErrorOf("ALTER DATABASE NINGUNA SET RECOVERY SIMPLE"), 911);
}

TEST_F(MaintenanceStatementsTest, StatisticsAndIndexRebuildsKeepTheData) {
    run("UPDATE STATISTICS Stock");
    run("UPDATE STATISTICS dbo.Stock WITH FULLSCAN");
    run("EXEC sp_updatestats");
    run("ALTER INDEX ALL ON Stock REBUILD");
    run("ALTER INDEX IX_Stock_Codigo ON dbo.Stock REORGANIZE");
    EXPECT_EQ(scalar("SELECT SUM(Cantidad) FROM Stock").toInt32(), 3);
    // The rebuilt index still holds its rule.
    EXPECT_EQ(nativeErrorOf("INSERT INTO Stock VALUES ('A', 5)"), 2601);
    EXPECT_EQ(nativeErrorOf("UPDATE STATISTICS NoHay"), 208);
    EXPECT_EQ(nativeErrorOf("ALTER INDEX ALL ON Stock DISABLE"), 40517);
}

// Objects the engine does not keep fail by name, before anything of their
// batch runs; logins register as sp_addlogin does, users and roles pass as
// GRANT does.
TEST_F(MaintenanceStatementsTest, ObjectsTheEngineDoesNotKeepAreRefusedByName) {
    for (const char* refused :
         {"CREATE TYPE dbo.Codigo FROM varchar(10)", "CREATE SYNONYM Existencias FOR Stock"}) {
        SCOPED_TRACE(refused);
        EXPECT_EQ(nativeErrorOf(QStringLiteral("INSERT INTO Stock VALUES ('C', 3)\n") + refused),
                  40517);
    }
    // A schema is made alone in its batch.
    EXPECT_EQ(nativeErrorOf("INSERT INTO Stock VALUES ('C', 3)\nCREATE SCHEMA Ventas"), 111);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Stock").toInt32(), 2);
    run("CREATE LOGIN Almacen WITH PASSWORD = 'clave', DEFAULT_DATABASE = PRUEBA, CHECK_POLICY = "
        "OFF");
    EXPECT_EQ(nativeErrorOf("CREATE LOGIN Almacen WITH PASSWORD = 'otra'"), 15025);
    run("CREATE USER Almacen FOR LOGIN Almacen");
    run("CREATE ROLE Lectores");
    run("ALTER ROLE Lectores ADD MEMBER Almacen");
    run("ALTER AUTHORIZATION ON DATABASE::PRUEBA TO sa");
}

} // namespace estaciones::db::sqlite::test
