// The catalogue views and functions install scripts query, true after each
// schema statement, with the type codes and sizes sys.columns and sys.types
// document (int 56, varchar 167, nvarchar 231 at two bytes a character,
// decimal by precision).
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class CatalogViewsTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Familias (Codigo varchar(4) NOT NULL CONSTRAINT PK_Familias PRIMARY "
            "KEY, Nombre nvarchar(20) NULL)");
        run("CREATE TABLE Articulos (Id int IDENTITY(1,1) NOT NULL PRIMARY KEY, Familia "
            "varchar(4) NULL, Precio decimal(10, 2) NOT NULL, Alta datetime NULL)");
    }

    long long number(const QString& query) { return scalar(query).toInt64(); }
};

TEST_F(CatalogViewsTest, shouldDescribeColumnsWithTheServersCodesAndSizes) {
    const auto columns =
        rows("SELECT c.name, c.column_id, c.system_type_id, c.max_length, c.precision, c.scale, "
             "c.is_nullable, c.is_identity FROM sys.columns c WHERE c.object_id = "
             "OBJECT_ID('Articulos') ORDER BY c.column_id");
    ASSERT_EQ(columns.size(), 4u);
    const auto expect = [&](size_t i, const char* name, long long type, long long length,
                            long long precision, long long scale, long long nullable,
                            long long identity) {
        EXPECT_EQ(columns[i][0].toString(), name);
        EXPECT_EQ(columns[i][1].toInt64(), static_cast<long long>(i) + 1);
        EXPECT_EQ(columns[i][2].toInt64(), type) << name;
        EXPECT_EQ(columns[i][3].toInt64(), length) << name;
        EXPECT_EQ(columns[i][4].toInt64(), precision) << name;
        EXPECT_EQ(columns[i][5].toInt64(), scale) << name;
        EXPECT_EQ(columns[i][6].toInt64(), nullable) << name;
        EXPECT_EQ(columns[i][7].toInt64(), identity) << name;
    };
    expect(0, "Id", 56, 4, 10, 0, 0, 1);
    expect(1, "Familia", 167, 4, 0, 0, 1, 0);
    expect(2, "Precio", 106, 9, 10, 2, 0, 0);
    expect(3, "Alta", 61, 8, 23, 3, 1, 0);

    EXPECT_EQ(number("SELECT COL_LENGTH('Familias', 'Nombre')"), 40);
    EXPECT_EQ(number("SELECT COL_LENGTH('dbo.Articulos', 'Familia')"), 4);
    EXPECT_TRUE(scalar("SELECT COL_LENGTH('Articulos', 'Nada')").isNull());
    EXPECT_EQ(scalar("SELECT COL_NAME(OBJECT_ID('Articulos'), 3)").toString(), "Precio");
    EXPECT_EQ(number("SELECT COLUMNPROPERTY(OBJECT_ID('Articulos'), 'Familia', 'AllowsNull')"), 1);
    EXPECT_EQ(number("SELECT COLUMNPROPERTY(OBJECT_ID('Articulos'), 'Id', 'IsIdentity')"), 1);
    // The old view, as scripts look a column up before adding it.
    EXPECT_EQ(number("SELECT count(*) FROM syscolumns WHERE id = OBJECT_ID('Articulos') AND name "
                     "= 'precio' AND xtype = 106"),
              1);

    // After ALTER TABLE the views tell the new definition.
    run("ALTER TABLE Articulos ALTER COLUMN Familia varchar(10) NULL");
    run("ALTER TABLE Articulos ADD Notas nvarchar(max) NULL");
    EXPECT_EQ(number("SELECT max_length FROM sys.columns WHERE object_id = OBJECT_ID('Articulos') "
                     "AND name = 'Familia'"),
              10);
    EXPECT_EQ(number("SELECT length FROM syscolumns WHERE id = OBJECT_ID('Articulos') AND name = "
                     "'Notas'"),
              -1);
}

TEST_F(CatalogViewsTest, shouldListConstraintsAndIndexesUntilTheyAreDropped) {
    run("ALTER TABLE Articulos ADD CONSTRAINT FK_Art_Fam FOREIGN KEY (Familia) REFERENCES "
        "Familias (Codigo) ON DELETE CASCADE");
    run("ALTER TABLE Articulos WITH NOCHECK ADD CONSTRAINT CK_Precio CHECK (Precio >= 0)");
    run("CREATE UNIQUE INDEX IX_Alta ON Articulos (Alta)");
    EXPECT_FALSE(scalar("SELECT OBJECT_ID('FK_Art_Fam')").isNull());
    const auto key = rows("SELECT name, type, parent_object_id, referenced_object_id, "
                          "delete_referential_action, delete_referential_action_desc, "
                          "is_not_trusted FROM sys.foreign_keys");
    ASSERT_EQ(key.size(), 1u);
    EXPECT_EQ(key[0][0].toString(), "FK_Art_Fam");
    EXPECT_EQ(key[0][1].toString(), "F "); // char(2), as sys.objects gives it
    EXPECT_EQ(key[0][2].toInt64(), number("SELECT OBJECT_ID('Articulos')"));
    EXPECT_EQ(key[0][3].toInt64(), number("SELECT OBJECT_ID('Familias')"));
    EXPECT_EQ(key[0][4].toInt64(), 1);
    EXPECT_EQ(key[0][5].toString(), "CASCADE");
    EXPECT_EQ(key[0][6].toInt64(), 0);
    const auto check = rows("SELECT name, parent_column_id, is_not_trusted, is_disabled FROM "
                            "sys.check_constraints");
    ASSERT_EQ(check.size(), 1u);
    EXPECT_EQ(check[0][1].toInt64(), 3);
    EXPECT_EQ(check[0][2].toInt64(), 1); // added WITH NOCHECK
    run("ALTER TABLE Articulos NOCHECK CONSTRAINT CK_Precio");
    EXPECT_EQ(number("SELECT is_disabled FROM sys.check_constraints WHERE name = 'CK_Precio'"), 1);
    EXPECT_EQ(number("SELECT count(*) FROM sysobjects WHERE name = 'CK_Precio' AND xtype = 'C' "
                     "AND parent_obj = OBJECT_ID('Articulos')"),
              1);
    EXPECT_EQ(number("SELECT count(*) FROM INFORMATION_SCHEMA.TABLE_CONSTRAINTS WHERE TABLE_NAME "
                     "= 'Familias' AND CONSTRAINT_TYPE = 'PRIMARY KEY' AND CONSTRAINT_NAME = "
                     "'PK_Familias'"),
              1);
    EXPECT_EQ(number("SELECT count(*) FROM sys.key_constraints WHERE name = 'PK_Familias' AND "
                     "type = 'PK'"),
              1);
    const auto index = rows("SELECT is_unique, is_primary_key FROM sys.indexes WHERE name = "
                            "'IX_Alta' AND object_id = OBJECT_ID('Articulos')");
    ASSERT_EQ(index.size(), 1u);
    EXPECT_EQ(index[0][0].toInt64(), 1);
    EXPECT_EQ(index[0][1].toInt64(), 0);
    EXPECT_EQ(number("SELECT is_primary_key FROM sys.indexes WHERE name = 'PK_Familias'"), 1);

    run("ALTER TABLE Articulos DROP CONSTRAINT FK_Art_Fam, CK_Precio");
    run("DROP INDEX Articulos.IX_Alta");
    EXPECT_TRUE(scalar("SELECT OBJECT_ID('FK_Art_Fam')").isNull());
    EXPECT_EQ(number("SELECT count(*) FROM sys.foreign_keys"), 0);
    EXPECT_EQ(number("SELECT count(*) FROM sys.check_constraints"), 0);
    EXPECT_EQ(number("SELECT count(*) FROM sys.indexes WHERE name = 'IX_Alta'"), 0);
    // The engine's own tables and triggers are no user objects.
    EXPECT_EQ(number("SELECT count(*) FROM sysobjects WHERE xtype IN ('U', 'TR')"), 2);
}

TEST_F(CatalogViewsTest, shouldListDefaultsByNameAndDropThemWithTheirConstraint) {
    run("CREATE TABLE Tarifas (Codigo int NOT NULL CONSTRAINT PK_Tarifas PRIMARY KEY, Importe "
        "money NOT NULL CONSTRAINT DF_Tarifas_Importe DEFAULT 0, Alta datetime NULL DEFAULT "
        "GETDATE())");
    run("ALTER TABLE Tarifas ADD Nota varchar(20) NULL");
    run("ALTER TABLE Tarifas ADD CONSTRAINT DF_Tarifas_Nota DEFAULT 'nueva' FOR Nota");
    const auto defaults = rows("SELECT name, COL_NAME(parent_object_id, parent_column_id) FROM "
                               "sys.default_constraints ORDER BY parent_column_id");
    ASSERT_EQ(defaults.size(), 3u);
    EXPECT_EQ(defaults[0][0].toString(), "DF_Tarifas_Importe");
    EXPECT_EQ(defaults[0][1].toString(), "Importe");
    // One written without a name gets the server's pattern of name.
    EXPECT_TRUE(defaults[1][0].toString().startsWith("DF__Tarifas__Alta__"));
    EXPECT_EQ(defaults[2][1].toString(), "Nota");
    EXPECT_EQ(number("SELECT default_object_id FROM sys.columns WHERE object_id = "
                     "OBJECT_ID('Tarifas') AND name = 'Importe'"),
              number("SELECT OBJECT_ID('DF_Tarifas_Importe', 'D')"));

    // Dropping the constraint drops the default, kept in the column or in its trigger.
    run("ALTER TABLE Tarifas DROP CONSTRAINT DF_Tarifas_Importe, DF_Tarifas_Nota");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Tarifas (Codigo) VALUES (1)"), 515);
    run("INSERT INTO Tarifas (Codigo, Importe) VALUES (2, 5)");
    EXPECT_TRUE(scalar("SELECT Nota FROM Tarifas WHERE Codigo = 2").isNull());
    EXPECT_FALSE(scalar("SELECT Alta FROM Tarifas WHERE Codigo = 2").isNull());
    EXPECT_EQ(number("SELECT count(*) FROM sys.objects WHERE type = 'D'"), 1);
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Tarifas DROP CONSTRAINT DF_Tarifas_Importe"), 3728);
}

TEST_F(CatalogViewsTest, shouldNameEveryObjectItsIdStandsFor) {
    run("CREATE VIEW VistaArticulos AS SELECT Id, Precio FROM Articulos");
    run("CREATE PROCEDURE Altas @desde datetime, @cuantas int OUTPUT AS SELECT @cuantas = "
        "count(*) FROM Articulos WHERE Alta >= @desde");
    run("CREATE INDEX IX_Familia ON Articulos (Familia)");
    const auto objects = rows("SELECT name, object_id, RTRIM(type) FROM sys.objects");
    ASSERT_GE(objects.size(), 6u);
    for (const auto& object : objects) {
        const QString name = object[0].toString();
        EXPECT_EQ(scalar(QStringLiteral("SELECT OBJECT_NAME(%1)").arg(object[1].toInt64()))
                      .toString(),
                  name);
        EXPECT_EQ(number(QStringLiteral("SELECT OBJECT_ID('%1', '%2')")
                             .arg(name, object[2].toString())),
                  object[1].toInt64())
            << name.toStdString();
    }
    // An identity key is a primary key too, the table's clustered index.
    EXPECT_EQ(number("SELECT count(*) FROM sys.key_constraints WHERE parent_object_id = "
                     "OBJECT_ID('Articulos') AND type = 'PK'"),
              1);
    EXPECT_EQ(number("SELECT count(*) FROM sys.indexes WHERE object_id = OBJECT_ID('Articulos') "
                     "AND index_id = 1 AND is_primary_key = 1"),
              1);
    EXPECT_EQ(number("SELECT INDEXPROPERTY(OBJECT_ID('Articulos'), 'IX_Familia', 'IndexID')"),
              number("SELECT index_id FROM sys.indexes WHERE name = 'IX_Familia'"));
    EXPECT_EQ(scalar("SELECT COL_NAME(ic.object_id, ic.column_id) FROM sys.index_columns ic JOIN "
                     "sys.indexes i ON i.object_id = ic.object_id AND i.index_id = ic.index_id "
                     "WHERE i.is_primary_key = 1 AND i.object_id = OBJECT_ID('Articulos')")
                  .toString(),
              "Id");
    EXPECT_TRUE(scalar("SELECT OBJECT_ID('Altas', 'U')").isNull());

    // The parameters follow the procedure's definition.
    run("ALTER PROCEDURE Altas @desde datetime AS SELECT count(*) FROM Articulos");
    EXPECT_EQ(number("SELECT count(*) FROM INFORMATION_SCHEMA.PARAMETERS WHERE SPECIFIC_NAME = "
                     "'Altas'"),
              1);
    run("DROP PROCEDURE Altas");
    EXPECT_EQ(number("SELECT count(*) FROM INFORMATION_SCHEMA.PARAMETERS"), 0);
}

TEST_F(CatalogViewsTest, shouldNumberTheDatabasesOfTheFolder) {
    run("CREATE DATABASE OTRA");
    const auto databases = rows("SELECT name, database_id FROM sys.databases ORDER BY database_id");
    ASSERT_EQ(databases.size(), 6u);
    EXPECT_EQ(databases[0][0].toString(), "master");
    EXPECT_EQ(databases[1][0].toString(), "tempdb");
    EXPECT_EQ(databases[4][0].toString(), "OTRA");
    EXPECT_EQ(databases[5][0].toString(), "PRUEBA");
    EXPECT_EQ(number("SELECT DB_ID()"), 6);
    EXPECT_EQ(number("SELECT DB_ID('otra')"), 5);
    EXPECT_EQ(scalar("SELECT DB_NAME(5)").toString(), "OTRA");
    EXPECT_TRUE(scalar("SELECT DB_ID('ninguna')").isNull());
}

} // namespace
} // namespace estaciones::db::sqlite::test
