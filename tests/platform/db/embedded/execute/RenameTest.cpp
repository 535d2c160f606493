// sp_rename for tables, views, columns and indexes: the data, the constraints and
// the catalogue follow the new name.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class RenameTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Familias (Codigo varchar(4) NOT NULL PRIMARY KEY)");
        run("CREATE TABLE Articulos (Codigo varchar(10) NOT NULL PRIMARY KEY, Fam varchar(4) NULL "
            "CONSTRAINT FK_Art_Fam REFERENCES Familias (Codigo), Precio int NULL CONSTRAINT "
            "CK_Precio CHECK (Precio >= 0))");
        run("CREATE UNIQUE INDEX IX_Precio ON Articulos (Precio)");
        run("INSERT INTO Familias VALUES ('F1'); INSERT INTO Articulos VALUES ('A1', 'F1', 1)");
    }
};

TEST_F(RenameTest, shouldRenameAColumnKeepingItsConstraints) {
    run("EXEC sp_rename 'Articulos.Fam', 'Familia', 'COLUMN'");
    EXPECT_EQ(scalar("SELECT Familia FROM Articulos").toString(), "F1");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Articulos VALUES ('A2', 'F9', 5)"), 547);
    EXPECT_EQ(nativeErrorOf("UPDATE Articulos SET Precio = -1"), 547);
    EXPECT_EQ(scalar("SELECT count(*) FROM sys.columns WHERE object_id = OBJECT_ID('Articulos') "
                     "AND name = 'Familia'")
                  .toInt64(),
              1);
    // Dropping the constraint by name still finds it.
    run("ALTER TABLE Articulos DROP CONSTRAINT FK_Art_Fam");
    run("INSERT INTO Articulos VALUES ('A2', 'F9', 2)");
    EXPECT_EQ(nativeErrorOf("EXEC sp_rename 'Articulos.Nada', 'Otra', 'COLUMN'"), 15248);
}

TEST_F(RenameTest, shouldRenameTablesAndIndexes) {
    run("EXEC sp_rename 'dbo.Articulos', 'Productos'");
    EXPECT_EQ(scalar("SELECT count(*) FROM Productos").toInt64(), 1);
    EXPECT_EQ(nativeErrorOf("INSERT INTO Productos VALUES ('A2', 'F9', 5)"), 547);
    EXPECT_EQ(nativeErrorOf("INSERT INTO Productos VALUES ('A2', 'F1', 1)"), 2601);
    EXPECT_EQ(nativeErrorOf("DELETE FROM Familias"), 547);
    run("EXEC sp_rename @objname = 'Productos.IX_Precio', @newname = 'IX_Importe', @objtype = "
        "'INDEX'");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Productos VALUES ('A2', 'F1', 1)"), 2601);
    EXPECT_TRUE(lastFailure.front().description.contains("'IX_Importe'"));
    run("DROP INDEX IX_Importe ON Productos");
    run("INSERT INTO Productos VALUES ('A2', 'F1', 1)");
    run("ALTER TABLE Productos DROP CONSTRAINT CK_Precio");
    run("INSERT INTO Productos VALUES ('A3', 'F1', -1)");
}

// SQLite renames no view: the engine makes it again under the new name,
// with the trigger that lets INSERT through it reach its table and the text
// it was written with.
TEST_F(RenameTest, shouldRenameAViewKeepingWhatItDoes) {
    run("CREATE VIEW Baratos AS SELECT Codigo, Precio FROM Articulos WHERE Precio < 10");
    run("EXEC sp_rename 'Baratos', 'Economicos'");
    EXPECT_EQ(nativeErrorOf("SELECT * FROM Baratos"), 208);
    run("INSERT INTO Economicos (Codigo, Precio) VALUES ('A2', 3)");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Economicos").toInt64(), 2);
    EXPECT_EQ(scalar("SELECT OBJECT_DEFINITION(OBJECT_ID('Economicos'))").toString(),
              "CREATE VIEW Baratos AS SELECT Codigo, Precio FROM Articulos WHERE Precio < 10");
    // A view made before its text was kept has none: sp_helptext says so.
    pastTheEngine("DELETE FROM estaciones_vistas");
    EXPECT_EQ(nativeErrorOf("EXEC sp_helptext 'Economicos'"), 15197);
    EXPECT_TRUE(scalar("SELECT OBJECT_DEFINITION(OBJECT_ID('Economicos'))").isNull());
    run("EXEC sp_rename 'Economicos', 'Baratos'");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Baratos").toInt64(), 2);
}

} // namespace
} // namespace estaciones::db::sqlite::test
