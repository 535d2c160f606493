// TOP's row count reaches SQLite as a LIMIT, which takes a negative count as
// no limit at all: a count the server refuses must fail the statement, not
// return every row; and WITH TIES must keep the tied rows or say it cannot.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class TopCountTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE puestos (id int PRIMARY KEY, puntos int)");
        run("INSERT INTO puestos VALUES (1, 9), (2, 8), (3, 8), (4, 7)");
    }
};

TEST_F(TopCountTest, shouldFailInsteadOfReturningEveryRowForACountOutOfRange) {
    EXPECT_NE(nativeErrorOf("SELECT TOP (-1) id FROM puestos"), 0);
    EXPECT_NE(nativeErrorOf("DECLARE @n int = -3 SELECT TOP (@n) id FROM puestos"), 0);
    EXPECT_NE(nativeErrorOf("DELETE TOP (-1) FROM puestos"), 0);
    EXPECT_NE(nativeErrorOf("SELECT TOP 101 PERCENT id FROM puestos"), 0);
    EXPECT_NE(nativeErrorOf("SELECT TOP (1.5) id FROM puestos"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM puestos").toInt64(), 4);
}

TEST_F(TopCountTest, shouldTakeCountsThatAreWholeOrAShareOfAHundred) {
    EXPECT_EQ(rows("SELECT TOP (2.0) id FROM puestos ORDER BY id").size(), 2u);
    EXPECT_EQ(rows("SELECT TOP 0 id FROM puestos").size(), 0u);
    EXPECT_EQ(rows("DECLARE @p float = 100 SELECT TOP (@p) PERCENT id FROM puestos").size(), 4u);
    // A count that only starts with 100 is no TOP 100 PERCENT.
    EXPECT_EQ(rows("SELECT TOP (100 - 50) PERCENT id FROM puestos ORDER BY id").size(), 2u);
}

TEST_F(TopCountTest, shouldKeepTheRowsTiedWithTheLastOrRefuseTheFormsItCannotRank) {
    EXPECT_EQ(rows("SELECT TOP 2 WITH TIES id FROM puestos ORDER BY puntos DESC").size(), 3u);
    EXPECT_EQ(rows("SELECT TOP 1 WITH TIES p.id FROM dbo.puestos AS p ORDER BY p.puntos").size(),
              1u);
    EXPECT_NE(nativeErrorOf("SELECT TOP 2 WITH TIES id FROM puestos"), 0);
    EXPECT_EQ(nativeErrorOf("SELECT TOP 2 WITH TIES a.id FROM puestos AS a JOIN puestos AS b "
                            "ON a.id = b.id ORDER BY a.puntos"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT TOP 2 WITH TIES id, puntos FROM puestos ORDER BY 2"), 40517);
}

} // namespace
} // namespace estaciones::db::sqlite::test
