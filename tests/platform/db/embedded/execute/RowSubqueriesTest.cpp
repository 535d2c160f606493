// A FOR XML or FOR JSON subquery reading the outer row, as an item of the
// select list: the outer values it reads, found however they are named, go
// into it for each row, and its column takes its place.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class RowSubqueriesTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Regiones (Codigo nvarchar(5), Nombre nvarchar(20))\n"
            "INSERT INTO Regiones VALUES (N'N', N'Norte'), (N'S', N'Sur'), (N'N', N'Nordeste')\n"
            "CREATE TABLE Oficinas (Id int, Region nvarchar(5), Alta date)\n"
            "INSERT INTO Oficinas VALUES (1, N'N', '20240107'), (2, N'S', '20240301'), "
            "(3, N'N', '20240415')");
    }
};

} // namespace

TEST_F(RowSubqueriesTest, shouldFindTheOuterValuesHoweverTheyAreNamed) {
    // Unqualified, a name the subquery's table lacks is the outer one's.
    const auto byName = rows("SELECT Id, (SELECT Nombre AS [data()] FROM Regiones WHERE Codigo = "
                             "Region ORDER BY Nombre FOR XML PATH('')) FROM Oficinas ORDER BY Id");
    ASSERT_EQ(byName.size(), 3u);
    EXPECT_EQ(byName[0][1].toString(), QStringLiteral("Nordeste Norte"));
    EXPECT_EQ(byName[1][1].toString(), QStringLiteral("Sur"));
    // The outer table's name where the subquery reads the same table under an alias.
    const auto sameTable = rows("SELECT Id, (SELECT o.Id AS [data()] FROM Oficinas o WHERE "
                                "o.Region = Oficinas.Region AND o.Id <> Oficinas.Id FOR XML "
                                "PATH('')) FROM Oficinas ORDER BY Id");
    ASSERT_EQ(sameTable.size(), 3u);
    EXPECT_EQ(sameTable[0][1].toString(), QStringLiteral("3"));
    EXPECT_TRUE(sameTable[1][1].isNull());
    EXPECT_EQ(sameTable[2][1].toString(), QStringLiteral("1"));
}

TEST_F(RowSubqueriesTest, shouldReadGroupedRowsDatesAndVariables) {
    const auto grouped = rows("SELECT Region, (SELECT o.Id AS [data()] FROM Oficinas o WHERE "
                              "o.Region = g.Region ORDER BY o.Id FOR XML PATH('')) FROM Oficinas g "
                              "GROUP BY Region ORDER BY Region");
    ASSERT_EQ(grouped.size(), 2u);
    EXPECT_EQ(grouped[0][1].toString(), QStringLiteral("1 3"));
    EXPECT_EQ(grouped[1][1].toString(), QStringLiteral("2"));
    // A date goes in as a date: compared with the column's dates, not as text.
    const auto later = rows("DECLARE @region nvarchar(5) = N'N'\n"
                            "SELECT t.Id, (SELECT COUNT(*) AS n FROM Oficinas o WHERE o.Alta > "
                            "t.Alta AND o.Region = @region FOR JSON PATH) FROM Oficinas t ORDER BY "
                            "t.Id");
    ASSERT_EQ(later.size(), 3u);
    EXPECT_EQ(later[0][1].toString(), QStringLiteral(R"([{"n":1}])"));
    EXPECT_EQ(later[1][1].toString(), QStringLiteral(R"([{"n":1}])"));
    EXPECT_EQ(later[2][1].toString(), QStringLiteral(R"([{"n":0}])"));
}

TEST_F(RowSubqueriesTest, shouldCountTheItemsBeforeItWhateverTheyHold) {
    const auto result = rows("SELECT Id * 2, COALESCE(Region, N'?'), (SELECT r.Nombre AS [data()] "
                             "FROM Regiones r WHERE r.Codigo = o.Region AND o.Id * 2 > 3 FOR XML "
                             "PATH('')) AS n, Id FROM Oficinas o ORDER BY Id");
    ASSERT_EQ(result.size(), 3u);
    ASSERT_EQ(result[0].size(), 4u);
    EXPECT_EQ(result[0][0].toInt64(), 2);
    EXPECT_TRUE(result[0][2].isNull());
    EXPECT_EQ(result[1][2].toString(), QStringLiteral("Sur"));
    EXPECT_EQ(result[2][1].toString(), QStringLiteral("N"));
    EXPECT_EQ(result[2][3].toInt64(), 3);
}

TEST_F(RowSubqueriesTest, shouldGiveItsColumnTheNameAndTypeOfItsText) {
    const ResultSet result = query(
        "SELECT (SELECT r.Nombre FROM Regiones r WHERE r.Codigo = o.Region FOR XML PATH, TYPE) "
        "AS Nombres, o.Id, (SELECT r.Nombre FROM Regiones r WHERE r.Codigo = o.Region FOR JSON "
        "PATH) FROM Oficinas o WHERE o.Id = 2");
    ASSERT_EQ(result.columns.size(), 3u);
    EXPECT_EQ(result.columns[0].name, QStringLiteral("Nombres"));
    EXPECT_EQ(result.columns[0].type, adtype::LongVarWChar);
    EXPECT_EQ(result.columns[1].name, QStringLiteral("Id"));
    EXPECT_TRUE(result.columns[2].name.isEmpty());
    EXPECT_EQ(result.columns[2].type, adtype::VarWChar);
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0][0].toString(), QStringLiteral("<row><Nombre>Sur</Nombre></row>"));
    EXPECT_EQ(result.rows[0][1].toInt64(), 2);
    EXPECT_EQ(result.rows[0][2].toString(), QStringLiteral(R"([{"Nombre":"Sur"}])"));
}

TEST_F(RowSubqueriesTest, shouldRefuseWhatWouldReadItsColumnsOutOfPlace) {
    // Inside a call it is no item of the list; ORDER BY 2 counts the columns.
    EXPECT_EQ(nativeErrorOf("SELECT Id, COALESCE(NULL, (SELECT r.Nombre FROM Regiones r WHERE "
                            "r.Codigo = o.Region FOR JSON PATH)) FROM Oficinas o"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT Id, (SELECT r.Nombre FROM Regiones r WHERE r.Codigo = "
                            "o.Region FOR JSON PATH) FROM Oficinas o ORDER BY 2"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT Id, (SELECT r.Nombre FROM Regiones r WHERE r.Codigo = "
                            "o.Region FOR JSON PATH) FROM Oficinas o UNION SELECT 1, N''"),
              40517);
}

} // namespace estaciones::db::sqlite::test
