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
    EXPECT_EQ(key[0][1].toString(), "F");
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

} // namespace
} // namespace estaciones::db::sqlite::test
