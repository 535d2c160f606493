// ALTER TABLE ... ALTER COLUMN as the server does it: values the new type
// cannot hold refuse the change and leave the column as it was; what the
// server lets change under an index or constraint changes, the rest is
// refused with 5074.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class AlterColumnTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Clientes (Id int NOT NULL PRIMARY KEY, Nombre varchar(10) NULL "
            "CONSTRAINT DF_Nombre DEFAULT ('nadie'), Zona varchar(4) NULL, Alta varchar(20) NULL)");
        run("INSERT INTO Clientes (Id, Nombre, Zona) VALUES (1, 'Mercedes', 'N')");
        run("INSERT INTO Clientes (Id, Nombre, Zona) VALUES (2, 'Ana', NULL)");
    }

    QString columnType(const QString& column) {
        return scalar("SELECT DATA_TYPE + '(' + CAST(CHARACTER_MAXIMUM_LENGTH AS varchar(10)) + "
                      "')' FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = 'Clientes' AND "
                      "COLUMN_NAME = '" +
                      column + "'")
            .toString();
    }
};

TEST_F(AlterColumnTest, shouldRefuseToShortenOverALongerValueAndKeepTheColumn) {
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Clientes ALTER COLUMN Nombre varchar(5) NULL"), 8152);
    EXPECT_EQ(columnType("Nombre"), "varchar(10)");
    run("UPDATE Clientes SET Nombre = 'Mercedes B' WHERE Id = 1"); // ten still fit
    EXPECT_EQ(scalar("SELECT Nombre FROM Clientes WHERE Id = 1").toString(), "Mercedes B");
    // Shortening over values that fit works, and the new length is enforced.
    run("ALTER TABLE Clientes ALTER COLUMN Zona varchar(2) NULL");
    EXPECT_EQ(columnType("Zona"), "varchar(2)");
    EXPECT_EQ(nativeErrorOf("UPDATE Clientes SET Zona = 'NOR'"), 8152);
}

TEST_F(AlterColumnTest, shouldWidenKeepingValuesDefaultAndIndex) {
    run("CREATE INDEX IX_Nombre ON Clientes (Nombre)");
    run("ALTER TABLE Clientes ALTER COLUMN Nombre varchar(40) NULL");
    EXPECT_EQ(columnType("Nombre"), "varchar(40)");
    EXPECT_EQ(scalar("SELECT Nombre FROM Clientes WHERE Id = 1").toString(), "Mercedes");
    run("UPDATE Clientes SET Nombre = 'Mercedes Benítez de la Fuente' WHERE Id = 1");
    EXPECT_EQ(
        scalar("SELECT Id FROM Clientes WHERE Nombre = 'MERCEDES BENÍTEZ DE LA FUENTE'").toInt64(),
        1);
    // The default constraint stays the column's.
    run("INSERT INTO Clientes (Id) VALUES (3)");
    EXPECT_EQ(scalar("SELECT Nombre FROM Clientes WHERE Id = 3").toString(), "nadie");
    // Under an index the size may not shrink nor the type change.
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Clientes ALTER COLUMN Nombre varchar(30) NULL"), 5074);
    EXPECT_EQ(lastFailure.front().description,
              "The index 'IX_Nombre' is dependent on column 'Nombre'.");
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Clientes ALTER COLUMN Nombre nvarchar(40) NULL"), 5074);
    EXPECT_EQ(columnType("Nombre"), "varchar(40)");
}

TEST_F(AlterColumnTest, shouldChangeNullabilityOnlyOverRowsThatAllowIt) {
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Clientes ALTER COLUMN Zona varchar(4) NOT NULL"), 515);
    EXPECT_EQ(lastFailure.front().description,
              "Cannot insert the value NULL into column 'Zona', table 'PRUEBA.dbo.Clientes'; "
              "column does not allow nulls. UPDATE fails.");
    run("INSERT INTO Clientes (Id, Zona) VALUES (3, NULL)");
    run("UPDATE Clientes SET Zona = 'S' WHERE Zona IS NULL");
    run("ALTER TABLE Clientes ALTER COLUMN Zona varchar(4) NOT NULL");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Clientes (Id, Zona) VALUES (4, NULL)"), 515);
    run("ALTER TABLE Clientes ALTER COLUMN Zona varchar(4) NULL");
    run("INSERT INTO Clientes (Id, Zona) VALUES (4, NULL)");
}

TEST_F(AlterColumnTest, shouldConvertTheValuesToANewType) {
    run("UPDATE Clientes SET Alta = '5/3/2024' WHERE Id = 1");
    run("ALTER TABLE Clientes ALTER COLUMN Alta datetime NULL");
    EXPECT_EQ(scalar("SELECT year(Alta) FROM Clientes WHERE Id = 1").toInt64(), 2024);
    EXPECT_EQ(scalar("SELECT month(Alta) FROM Clientes WHERE Id = 1").toInt64(), 3);
    run("UPDATE Clientes SET Alta = '1/2/2025' WHERE Id = 2");
    EXPECT_EQ(scalar("SELECT count(*) FROM Clientes WHERE Alta > '31/12/2024'").toInt64(), 1);
    // A value the new type cannot read refuses the change.
    run("UPDATE Clientes SET Zona = 'N1'");
    EXPECT_NE(nativeErrorOf("ALTER TABLE Clientes ALTER COLUMN Zona int NULL"), 0);
    EXPECT_EQ(columnType("Zona"), "varchar(4)");
    // What a foreign key or a key depends on cannot change.
    run("CREATE TABLE Pedidos (Numero int NOT NULL PRIMARY KEY, Cliente int NULL "
        "CONSTRAINT FK_Ped_Cli REFERENCES Clientes (Id))");
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Pedidos ALTER COLUMN Cliente bigint NULL"), 5074);
    EXPECT_EQ(lastFailure.front().description,
              "The object 'FK_Ped_Cli' is dependent on column 'Cliente'.");
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Clientes ALTER COLUMN Id bigint NOT NULL"), 5074);
    EXPECT_EQ(nativeErrorOf("ALTER TABLE Clientes ALTER COLUMN Nada int NULL"), 4924);
}

} // namespace
} // namespace estaciones::db::sqlite::test
