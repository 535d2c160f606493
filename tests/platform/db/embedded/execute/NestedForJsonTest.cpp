// FOR JSON inside a statement is worked out before it runs, wherever the
// subquery stands; one that reads the outer query's rows is worked out for
// each row when the select list holds it, and fails loudly elsewhere.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class NestedForJsonTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Cajas (Id int, Nombre nvarchar(20))\n"
            "INSERT INTO Cajas VALUES (1, N'Norte'), (2, N'Sur')\n"
            "CREATE TABLE Copias (Texto nvarchar(max))");
    }
};

} // namespace

TEST_F(NestedForJsonTest, shouldGiveTheTextToChangesAndNestedSubqueries) {
    run("INSERT INTO Copias SELECT (SELECT Id FROM Cajas WHERE Id IN\n"
        "  (SELECT Id FROM Cajas WHERE Nombre = N'Sur') FOR JSON PATH)\n"
        "UPDATE Copias SET Texto = Texto + (SELECT Nombre FROM Cajas WHERE Id = 1 FOR JSON PATH)");
    EXPECT_EQ(scalar("SELECT Texto FROM Copias").toString(),
              QStringLiteral(R"([{"Id":2}][{"Nombre":"Norte"}])"));
}

TEST_F(NestedForJsonTest, shouldWorkOutASubqueryReadingTheOuterRowForEachRow) {
    const ResultSet result = query("SELECT c.Id, (SELECT d.Nombre FROM Cajas d WHERE d.Id = c.Id "
                                   "FOR JSON PATH) AS Nombres FROM Cajas c ORDER BY c.Id");
    ASSERT_EQ(result.columns.size(), 2u);
    EXPECT_EQ(result.columns[1].name, QStringLiteral("Nombres"));
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[0][1].toString(), QStringLiteral(R"([{"Nombre":"Norte"}])"));
    EXPECT_EQ(result.rows[1][1].toString(), QStringLiteral(R"([{"Nombre":"Sur"}])"));
    // An aliased table's name reads the outer one; a row without matches gives NULL.
    const auto unmatched = rows("SELECT Cajas.Id, (SELECT Nombre FROM Cajas d WHERE d.Id = "
                                "Cajas.Id + 1 FOR JSON PATH) FROM Cajas ORDER BY Cajas.Id");
    ASSERT_EQ(unmatched.size(), 2u);
    EXPECT_EQ(unmatched[0][1].toString(), QStringLiteral(R"([{"Nombre":"Sur"}])"));
    EXPECT_TRUE(unmatched[1][1].isNull());
}

TEST_F(NestedForJsonTest, shouldRefuseASubqueryReadingTheOuterRowsOutsideTheSelectList) {
    EXPECT_EQ(nativeErrorOf("SELECT c.Id FROM Cajas c WHERE (SELECT d.Nombre FROM Cajas d WHERE "
                            "d.Id = c.Id FOR JSON PATH) IS NOT NULL"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT DISTINCT c.Id, (SELECT d.Nombre FROM Cajas d WHERE d.Id = "
                            "c.Id FOR JSON PATH) FROM Cajas c"),
              40517);
    EXPECT_EQ(nativeErrorOf("INSERT INTO Copias SELECT (SELECT d.Nombre FROM Cajas d WHERE d.Id "
                            "= c.Id FOR JSON PATH) FROM Cajas c"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT (SELECT Id FROM NoExiste FOR JSON PATH)"), 208);
}

} // namespace estaciones::db::sqlite::test
