// The schemas a database makes: where the file keeps them and their
// objects, and what a file that never made one keeps of them (nothing).
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class UserSchemasTest : public EmbeddedFixture {
protected:
    std::string fileNamesLike(const char* pattern) {
        return pastTheEngine(std::string("SELECT name FROM sqlite_schema WHERE type = 'table' AND "
                                         "name LIKE '") +
                             pattern + "' ORDER BY name");
    }
};

} // namespace

TEST_F(UserSchemasTest, shouldKeepNoTableOfSchemasUntilTheFirstIsMade) {
    run("CREATE TABLE t (a int)");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.schemas").toInt32(), 13);
    EXPECT_EQ(fileNamesLike("estaciones_esquemas"), "");

    run("CREATE SCHEMA ventas");
    run("CREATE TABLE ventas.t (b int)");
    EXPECT_EQ(fileNamesLike("estaciones_esquemas"), "estaciones_esquemas");
    // dbo's table keeps its plain name; the other schema's is named by it.
    EXPECT_EQ(fileNamesLike("%t"), "t;ventas.t");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.schemas").toInt32(), 14);
}

TEST_F(UserSchemasTest, shouldFindTheSchemaAndItsObjectsInANewSession) {
    run("CREATE SCHEMA ventas");
    run("CREATE TABLE ventas.t (b int)\nINSERT INTO ventas.t VALUES (7)");
    engine = createEmbeddedEngine();
    engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
    engine->useDatabase(QStringLiteral("PRUEBA"));
    EXPECT_EQ(scalar("SELECT b FROM ventas.t").toInt32(), 7);
    EXPECT_EQ(scalar("SELECT SCHEMA_NAME(SCHEMA_ID('ventas'))").toString(), "ventas");
    EXPECT_EQ(nativeErrorOf("SELECT b FROM t"), 208);
}

// The same texts run again after the schemas change: what was derived from
// them before must not answer for the new state.
TEST_F(UserSchemasTest, shouldAnswerRepeatedStatementsForTheSchemasAsTheyAreNow) {
    const QString count = QStringLiteral("SELECT COUNT(*) FROM sys.schemas WHERE schema_id > 4 AND "
                                         "schema_id < 16384");
    const QString create = QStringLiteral("CREATE TABLE compras.t (a int)");
    EXPECT_EQ(scalar(count).toInt32(), 0);
    EXPECT_EQ(nativeErrorOf(create), 2760);
    run("CREATE SCHEMA ventas");
    EXPECT_EQ(scalar(count).toInt32(), 1);
    EXPECT_EQ(nativeErrorOf(create), 2760);
    run("CREATE SCHEMA compras");
    EXPECT_EQ(scalar(count).toInt32(), 2);
    EXPECT_EQ(nativeErrorOf(create), 0);
    run("DROP TABLE compras.t");
    run("DROP SCHEMA compras");
    EXPECT_EQ(scalar(count).toInt32(), 1);
    EXPECT_EQ(nativeErrorOf(create), 2760);
}

// Inside the caller's transaction a failed CREATE SCHEMA takes back only
// what it made.
TEST_F(UserSchemasTest, shouldTakeBackOnlyTheFailedSchemaInsideATransaction) {
    run("BEGIN TRANSACTION\nCREATE TABLE antes (a int)");
    EXPECT_EQ(nativeErrorOf("CREATE SCHEMA ventas CREATE TABLE t (a int) CREATE TABLE t (a int)"),
              2714);
    EXPECT_TRUE(scalar("SELECT SCHEMA_ID('ventas')").isNull());
    EXPECT_TRUE(scalar("SELECT OBJECT_ID('ventas.t')").isNull());
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 1);
    EXPECT_FALSE(scalar("SELECT OBJECT_ID('antes')").isNull());
    run("COMMIT");
    EXPECT_FALSE(scalar("SELECT OBJECT_ID('antes')").isNull());
}

// OpenSchema's tables and columns give a schema's table under its schema
// and own name, and the schema restricts them.
TEST_F(UserSchemasTest, shouldListASchemasTablesUnderTheirSchemaInOpenSchema) {
    run("CREATE TABLE t (a int)");
    run("CREATE SCHEMA ventas");
    run("CREATE TABLE ventas.t (b int, c int)");
    const ResultSet tables = engine->openSchema(adschema::Tables, {Variant(), "ventas"});
    ASSERT_EQ(tables.rows.size(), 1u);
    EXPECT_EQ(tables.rows[0][1].toString(), "ventas");
    EXPECT_EQ(tables.rows[0][2].toString(), "t");
    EXPECT_EQ(engine->openSchema(adschema::Tables, {Variant(), Variant(), "t"}).rows.size(), 2u);
    const ResultSet columns = engine->openSchema(adschema::Columns, {Variant(), "ventas", "t"});
    ASSERT_EQ(columns.rows.size(), 2u);
    EXPECT_EQ(columns.rows[0][3].toString(), "b");
    EXPECT_EQ(engine->openSchema(adschema::Columns, {Variant(), "dbo", "t"}).rows.size(), 1u);
}

// The file keeps one namespace of constraint names: a name another schema's
// constraint has is refused loudly, before anything of the table is made,
// and the engine's own table of constraints is never what the error names.
TEST_F(UserSchemasTest, shouldRefuseAConstraintNameOfAnotherSchemaBeforeMakingTheTable) {
    run("CREATE SCHEMA ventas");
    run("CREATE TABLE ventas.t (a int CONSTRAINT PK_t PRIMARY KEY)");
    EXPECT_EQ(nativeErrorOf("CREATE TABLE dbo.t (a int CONSTRAINT PK_t PRIMARY KEY)"), 40517);
    EXPECT_EQ(fileNamesLike("%t"), "ventas.t");
    run("CREATE TABLE dbo.u (a int)");
    EXPECT_EQ(nativeErrorOf("ALTER TABLE dbo.u ADD CONSTRAINT PK_t PRIMARY KEY (a)"), 40517);
    // Dropped with its table, the name is free for the other schema.
    run("DROP TABLE ventas.t");
    run("ALTER TABLE dbo.u ADD CONSTRAINT PK_t CHECK (a > 0)");
    EXPECT_EQ(scalar("SELECT OBJECT_SCHEMA_NAME(OBJECT_ID('PK_t'))").toString(), "dbo");
}


} // namespace estaciones::db::sqlite::test
