// UPDATE and DELETE whose FROM clause joins other tables change exactly the
// rows the join finds, whatever the join kind and however the target is named.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class JoinedDmlTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Articulos (Codigo varchar(10) NOT NULL PRIMARY KEY, Familia varchar(4) "
            "NULL, Precio money NULL, Nombre varchar(30) NULL)");
        run("CREATE TABLE Familias (Codigo varchar(4) NOT NULL PRIMARY KEY, Subida int NOT NULL, "
            "Nombre varchar(20) NULL)");
        run("INSERT INTO Familias VALUES ('F1', 10, 'Frutas'); INSERT INTO Familias VALUES ('F2', "
            "20, 'Verduras')");
        run("INSERT INTO Articulos VALUES ('A1', 'F1', 100, NULL); INSERT INTO Articulos VALUES "
            "('A2', 'F2', 100, NULL); INSERT INTO Articulos VALUES ('A3', 'F9', 100, NULL); INSERT "
            "INTO Articulos VALUES ('A4', NULL, 100, NULL)");
    }

    std::vector<std::vector<Variant>> articles() {
        return rows("SELECT Codigo, Precio, Nombre FROM Articulos ORDER BY Codigo");
    }
};

TEST_F(JoinedDmlTest, shouldUpdateExactlyTheJoinedRows) {
    const ExecutionResult result =
        run("UPDATE Articulos SET Precio = Articulos.Precio + f.Subida, Articulos.Nombre = "
            "f.Nombre FROM Articulos JOIN Familias f ON f.Codigo = Articulos.Familia WHERE "
            "f.Subida > 5");
    EXPECT_EQ(result.rowsAffected, 2);
    const auto r = articles();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0][1].toDouble(), 110);
    EXPECT_EQ(r[0][2].toString(), "Frutas");
    EXPECT_EQ(r[1][1].toDouble(), 120);
    EXPECT_EQ(r[2][1].toDouble(), 100);
    EXPECT_TRUE(r[2][2].isNull());
    EXPECT_EQ(r[3][1].toDouble(), 100);
}

TEST_F(JoinedDmlTest, shouldUpdateThroughAnAliasWithLeftJoinsAndCommas) {
    // The alias names the target; a LEFT JOIN updates the rows without a match too.
    run("UPDATE a SET Nombre = isnull(f.Nombre, 'sin familia') FROM Articulos AS a LEFT JOIN "
        "Familias f ON f.Codigo = a.Familia");
    const auto r = articles();
    EXPECT_EQ(r[0][2].toString(), "Frutas");
    EXPECT_EQ(r[2][2].toString(), "sin familia");
    EXPECT_EQ(r[3][2].toString(), "sin familia");
    // The old comma form, and a target that the FROM clause does not name.
    run("UPDATE a SET Precio = 0 FROM Articulos a, Familias f WHERE f.Codigo = a.Familia AND "
        "f.Codigo = 'F2'");
    EXPECT_EQ(articles()[1][1].toDouble(), 0);
    run("UPDATE Articulos SET Precio = 1 FROM Familias WHERE Familias.Codigo = Articulos.Familia "
        "AND Familias.Codigo = 'F1'");
    EXPECT_EQ(articles()[0][1].toDouble(), 1);
    EXPECT_EQ(articles()[2][1].toDouble(), 100);
}

TEST_F(JoinedDmlTest, shouldDeleteExactlyTheJoinedRows) {
    const ExecutionResult result = run(
        "DELETE a FROM Articulos a JOIN Familias f ON f.Codigo = a.Familia WHERE f.Subida = 20");
    EXPECT_EQ(result.rowsAffected, 1);
    EXPECT_EQ(rows("SELECT Codigo FROM Articulos ORDER BY Codigo").size(), 3u);
    // The rows without a family, found by the LEFT JOIN's NULL.
    run("DELETE FROM Articulos FROM Articulos LEFT JOIN Familias ON Familias.Codigo = "
        "Articulos.Familia WHERE Familias.Codigo IS NULL");
    const auto left = rows("SELECT Codigo FROM Articulos");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0][0].toString(), "A1");
    EXPECT_EQ(scalar("SELECT count(*) FROM Familias").toInt64(), 2);
}

TEST_F(JoinedDmlTest, shouldFireTheTriggersOfTheTableBehindTheAlias) {
    run("CREATE TABLE Historia (Codigo varchar(10) NULL, Antes money NULL, Despues money NULL)");
    run("CREATE TRIGGER TR_Art ON Articulos AFTER UPDATE AS INSERT INTO Historia SELECT d.Codigo, "
        "d.Precio, i.Precio FROM deleted d JOIN inserted i ON i.Codigo = d.Codigo");
    // Creating the trigger runs nothing of its body.
    EXPECT_EQ(scalar("SELECT count(*) FROM Historia").toInt64(), 0);
    run("UPDATE a SET Precio = a.Precio + f.Subida FROM Articulos a JOIN Familias f ON f.Codigo = "
        "a.Familia");
    const auto history = rows("SELECT Codigo, Antes, Despues FROM Historia ORDER BY Codigo");
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0][0].toString(), "A1");
    EXPECT_EQ(history[0][1].toDouble(), 100);
    EXPECT_EQ(history[0][2].toDouble(), 110);
    EXPECT_EQ(history[1][2].toDouble(), 120);
    run("DELETE a FROM Articulos a LEFT JOIN Familias f ON f.Codigo = a.Familia WHERE f.Codigo "
        "IS NULL");
    EXPECT_EQ(scalar("SELECT count(*) FROM Historia").toInt64(), 2);
}

TEST_F(JoinedDmlTest, shouldRefuseByNameWhatItDoesNotCarryOut) {
    // MERGE's query hints are refused by name, and the MERGE changes nothing.
    EXPECT_EQ(nativeErrorOf("MERGE Articulos AS t USING Familias AS s ON t.Familia = s.Codigo "
                            "WHEN MATCHED THEN UPDATE SET Precio = 0 OPTION (MAXDOP 1);"),
              40517);
    ASSERT_FALSE(lastFailure.empty());
    EXPECT_TRUE(lastFailure.front().description.contains("MERGE ... OPTION"));
    EXPECT_EQ(scalar("SELECT count(*) FROM Articulos WHERE Precio = 0").toInt64(), 0);
}

} // namespace
} // namespace estaciones::db::sqlite::test
