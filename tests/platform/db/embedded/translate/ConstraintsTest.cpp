// Constraints as the server keeps them: CHECK and FOREIGN KEY added later
// are enforced, WITH CHECK refuses bad rows there are, NOCHECK and DROP
// CONSTRAINT do what they say, unique indexes let one NULL in, and every
// refusal has the server's number and text.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class ConstraintsTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Familias (Codigo varchar(4) NOT NULL, Nombre varchar(20) NULL, "
            "CONSTRAINT PK_Familias PRIMARY KEY (Codigo))");
        run("CREATE TABLE Articulos (Codigo varchar(10) NOT NULL PRIMARY KEY, Familia varchar(4) "
            "NULL, Precio money NOT NULL)");
        run("INSERT INTO Familias VALUES ('F1', 'Una'); INSERT INTO Familias VALUES ('F2', 'Dos')");
        run("INSERT INTO Articulos VALUES ('A1', 'F1', 10); INSERT INTO Articulos VALUES ('A2', "
            "'F2', 20)");
    }

    QString failureText(const QString& batch) {
        return nativeErrorOf(batch) ? lastFailure.front().description : QString();
    }

    long long count(const QString& query) { return scalar(query).toInt64(); }
};

TEST_F(ConstraintsTest, shouldEnforceAForeignKeyAddedLaterWith547NamingTheReferencedColumn) {
    run("ALTER TABLE Articulos ADD CONSTRAINT FK_Art_Fam FOREIGN KEY (Familia) REFERENCES "
        "Familias (Codigo)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Articulos VALUES ('A3', 'F9', 1)"), 547);
    EXPECT_EQ(lastFailure.front().description,
              "The INSERT statement conflicted with the FOREIGN KEY constraint \"FK_Art_Fam\". The "
              "conflict occurred in database \"PRUEBA\", table \"dbo.Familias\", column 'Codigo'.");
    EXPECT_EQ(count("SELECT count(*) FROM Articulos"), 2);
    EXPECT_EQ(nativeErrorOf("UPDATE Articulos SET Familia = 'F9' WHERE Codigo = 'A1'"), 547);
    EXPECT_EQ(scalar("SELECT Familia FROM Articulos WHERE Codigo = 'A1'").toString(), "F1");
    // NULL references nothing; the key compares as the column does (case ignored).
    run("INSERT INTO Articulos VALUES ('A3', NULL, 1); INSERT INTO Articulos VALUES ('A4', 'f1', "
        "1)");

    // The referenced side: a row still referenced cannot go nor change its key.
    EXPECT_EQ(nativeErrorOf("DELETE FROM Familias WHERE Codigo = 'F2'"), 547);
    EXPECT_EQ(lastFailure.front().description,
              "The DELETE statement conflicted with the REFERENCE constraint \"FK_Art_Fam\". The "
              "conflict occurred in database \"PRUEBA\", table \"dbo.Articulos\", column "
              "'Familia'.");
    EXPECT_EQ(nativeErrorOf("UPDATE Familias SET Codigo = 'F7' WHERE Codigo = 'F2'"), 547);
    EXPECT_EQ(count("SELECT count(*) FROM Familias"), 2);
    run("UPDATE Familias SET Nombre = 'Otra' WHERE Codigo = 'F2'"); // the key stays
    run("DELETE FROM Articulos WHERE Familia = 'F2'");
    run("DELETE FROM Familias WHERE Codigo = 'F2'");
    EXPECT_EQ(count("SELECT count(*) FROM Familias"), 1);
    // A referenced table cannot be dropped; the referencing one can, and takes its key along.
    EXPECT_EQ(nativeErrorOf("DROP TABLE Familias"), 3726);
    run("DROP TABLE Articulos");
    run("DELETE FROM Familias");
    run("DROP TABLE Familias");
}

TEST_F(ConstraintsTest, shouldRefuseAConstraintOverBadRowsUnlessNoCheckIsAsked) {
    run("INSERT INTO Articulos VALUES ('A3', 'F9', -5)");
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Articulos WITH CHECK ADD CONSTRAINT FK_Art_Fam FOREIGN "
                            "KEY (Familia) REFERENCES Familias (Codigo)"),
              547);
    EXPECT_EQ(lastFailure.front().description,
              "The ALTER TABLE statement conflicted with the FOREIGN KEY constraint "
              "\"FK_Art_Fam\". The conflict occurred in database \"PRUEBA\", table "
              "\"dbo.Familias\", column 'Codigo'.");
    // Refused means not there: the bad row can still be written to.
    run("UPDATE Articulos SET Familia = 'F8' WHERE Codigo = 'A3'");
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Articulos ADD CONSTRAINT CK_Precio CHECK (Precio >= 0)"),
              547);
    EXPECT_EQ(lastFailure.front().description,
              "The ALTER TABLE statement conflicted with the CHECK constraint \"CK_Precio\". The "
              "conflict occurred in database \"PRUEBA\", table \"dbo.Articulos\", column "
              "'Precio'.");
    run("INSERT INTO Articulos VALUES ('A4', 'F1', -1)");

    // WITH NOCHECK keeps the rows there are and refuses new ones.
    run("ALTER TABLE Articulos WITH NOCHECK ADD CONSTRAINT CK_Precio CHECK (Precio >= 0)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Articulos VALUES ('A5', 'F1', -2)"), 547);
    EXPECT_EQ(lastFailure.front().description,
              "The INSERT statement conflicted with the CHECK constraint \"CK_Precio\". The "
              "conflict occurred in database \"PRUEBA\", table \"dbo.Articulos\", column "
              "'Precio'.");
    EXPECT_EQ(nativeErrorOf("UPDATE Articulos SET Precio = -3 WHERE Codigo = 'A1'"), 547);
    EXPECT_EQ(count("SELECT count(*) FROM Articulos WHERE Precio < 0"), 2);
    // A NULL result passes, as the server reads a CHECK.
    run("ALTER TABLE Articulos ADD CONSTRAINT CK_Familia CHECK (Familia <> 'F0')");
    run("INSERT INTO Articulos VALUES ('A6', NULL, 1)");

    // NOCHECK CONSTRAINT stops enforcing; CHECK CONSTRAINT enforces again for new rows only,
    // WITH CHECK CHECK CONSTRAINT also checks the rows there are.
    run("ALTER TABLE Articulos NOCHECK CONSTRAINT CK_Precio");
    run("INSERT INTO Articulos VALUES ('A7', 'F1', -4)");
    run("ALTER TABLE Articulos CHECK CONSTRAINT CK_Precio");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Articulos VALUES ('A8', 'F1', -4)"), 547);
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Articulos WITH CHECK CHECK CONSTRAINT CK_Precio"), 547);
    run("ALTER TABLE Articulos NOCHECK CONSTRAINT ALL");
    run("INSERT INTO Articulos VALUES ('A9', 'F0', -4)");
    run("ALTER TABLE Articulos CHECK CONSTRAINT ALL");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Articulos VALUES ('B1', 'F0', 1)"), 547);
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Articulos NOCHECK CONSTRAINT CK_Nada"), 4917);

    // DROP CONSTRAINT ends it; a name that is none answers 3728.
    run("ALTER TABLE Articulos DROP CONSTRAINT CK_Precio");
    run("INSERT INTO Articulos VALUES ('B2', 'F1', -9)");
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Articulos DROP CONSTRAINT CK_Precio"), 3728);
    EXPECT_EQ(lastFailure.front().description, "'CK_Precio' is not a constraint.");
    run("ALTER TABLE Articulos DROP CONSTRAINT IF EXISTS CK_Precio");
}

TEST_F(ConstraintsTest, shouldKeepTheConstraintsOfCreateTableWithTheirNames) {
    run("CREATE TABLE Lineas (Id int IDENTITY(1,1) PRIMARY KEY, Articulo varchar(10) NOT NULL "
        "CONSTRAINT FK_Lin_Art REFERENCES Articulos (Codigo) ON DELETE CASCADE, Cantidad int "
        "NOT NULL CHECK (Cantidad > 0), Familia varchar(4) NULL, CONSTRAINT FK_Lin_Fam FOREIGN "
        "KEY (Familia) REFERENCES Familias (Codigo) ON DELETE SET NULL ON UPDATE CASCADE, "
        "CONSTRAINT CK_Lin CHECK (Cantidad < 100 OR Familia IS NULL))");
    run("INSERT INTO Lineas (Articulo, Cantidad, Familia) VALUES ('A1', 5, 'F1')");
    run("INSERT INTO Lineas (Articulo, Cantidad, Familia) VALUES ('A2', 7, 'F2')");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Lineas (Articulo, Cantidad) VALUES ('A1', 0)"), 547);
    EXPECT_TRUE(lastFailure.front().description.contains("CHECK constraint \"CK__Lineas__Canti"))
        << lastFailure.front().description.toStdString();
    // A table constraint over two columns names no column.
    EXPECT_EQ(nativeErrorOf("INSERT INTO Lineas (Articulo, Cantidad, Familia) VALUES ('A1', 200, "
                            "'F1')"),
              547);
    EXPECT_TRUE(lastFailure.front().description.endsWith("table \"dbo.Lineas\"."))
        << lastFailure.front().description.toStdString();
    EXPECT_EQ(nativeErrorOf("INSERT INTO Lineas (Articulo, Cantidad) VALUES ('ZZ', 1)"), 547);

    // The actions: cascade, set null, cascade of a changed key.
    run("UPDATE Familias SET Codigo = 'F3' WHERE Codigo = 'F2'");
    EXPECT_EQ(scalar("SELECT Familia FROM Lineas WHERE Articulo = 'A2'").toString(), "F3");
    run("DELETE FROM Articulos WHERE Codigo = 'A1'");
    EXPECT_EQ(count("SELECT count(*) FROM Lineas"), 1);
    run("UPDATE Articulos SET Familia = NULL");
    run("DELETE FROM Familias WHERE Codigo = 'F3'");
    EXPECT_TRUE(scalar("SELECT Familia FROM Lineas").isNull());
}

TEST_F(ConstraintsTest, shouldLetOneNullIntoAUniqueIndexAndNameTheDuplicate) {
    run("CREATE TABLE Clientes (Id int NOT NULL PRIMARY KEY, Nif varchar(9) NULL, Correo "
        "varchar(30) NULL)");
    run("CREATE UNIQUE INDEX IX_Nif ON Clientes (Nif)");
    run("INSERT INTO Clientes VALUES (1, NULL, NULL)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Clientes VALUES (2, NULL, NULL)"), 2601);
    EXPECT_EQ(lastFailure.front().description,
              "Cannot insert duplicate key row in object 'dbo.Clientes' with unique index "
              "'IX_Nif'. The duplicate key value is (<NULL>).");
    run("INSERT INTO Clientes VALUES (2, '123A', NULL)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Clientes VALUES (3, '123a', NULL)"), 2601);
    EXPECT_EQ(lastFailure.front().description,
              "Cannot insert duplicate key row in object 'dbo.Clientes' with unique index "
              "'IX_Nif'. The duplicate key value is (123a).");
    EXPECT_EQ(nativeErrorOf("UPDATE Clientes SET Nif = '123A' WHERE Id = 1"), 2601);
    EXPECT_EQ(count("SELECT count(*) FROM Clientes"), 2);

    // The primary key: 2627 with its name and value.
    EXPECT_EQ(nativeErrorOf("INSERT INTO Clientes VALUES (1, 'X', NULL)"), 2627);
    EXPECT_TRUE(lastFailure.front().description.startsWith(
        "Violation of PRIMARY KEY constraint 'PK__Clientes__"))
        << lastFailure.front().description.toStdString();
    EXPECT_TRUE(lastFailure.front().description.endsWith(
        "Cannot insert duplicate key in object 'dbo.Clientes'. The duplicate key value is (1)."));

    // A UNIQUE constraint added later: 2627, one NULL too.
    run("UPDATE Clientes SET Correo = 'x@y' WHERE Id = 2");
    run("ALTER TABLE Clientes ADD CONSTRAINT UQ_Correo UNIQUE (Correo)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Clientes VALUES (3, NULL, NULL)"), 2627);
    EXPECT_EQ(lastFailure.front().description,
              "Violation of UNIQUE KEY constraint 'UQ_Correo'. Cannot insert duplicate key in "
              "object 'dbo.Clientes'. The duplicate key value is (<NULL>).");

    // A filtered index is the usual way to let many NULLs in.
    run("CREATE UNIQUE INDEX IX_Correo ON Clientes (Correo) WHERE Correo IS NOT NULL");
    run("ALTER TABLE Clientes DROP CONSTRAINT UQ_Correo");
    run("INSERT INTO Clientes VALUES (3, '999', NULL)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Clientes VALUES (3, '998', NULL)"), 2627);
    run("INSERT INTO Clientes VALUES (4, '997', 'a@b')");
    EXPECT_EQ(nativeErrorOf("UPDATE Clientes SET Correo = 'A@B' WHERE Id = 2"), 2601);

    // Over duplicates there are, the index is refused with 1505.
    EXPECT_EQ(nativeErrorOf("CREATE UNIQUE INDEX IX_Nada ON Clientes (Correo)"), 1505);
    EXPECT_EQ(lastFailure.front().description,
              "The CREATE UNIQUE INDEX statement terminated because a duplicate key was found "
              "for the object name 'dbo.Clientes' and the index name 'IX_Nada'. The duplicate "
              "key value is (<NULL>).");
    // Dropped, the index refuses nothing more.
    run("DROP INDEX IX_Nif ON Clientes");
    run("INSERT INTO Clientes VALUES (5, '123A', NULL)");
}

} // namespace
} // namespace estaciones::db::sqlite::test
