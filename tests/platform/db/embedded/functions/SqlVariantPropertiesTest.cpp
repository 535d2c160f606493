// SQL_VARIANT_PROPERTY answers from the type of its argument; where the
// engine cannot tell that type (a sql_variant keeps none here) it fails
// rather than guess one from the value.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

class SqlVariantPropertiesTest : public EmbeddedFixture {};

TEST_F(SqlVariantPropertiesTest, shouldTakeTheTypeOfColumnsLiteralsAndConversions) {
    run("CREATE TABLE Saldos (Importe decimal(12,3), Nota varchar(20))\n"
        "INSERT INTO Saldos VALUES (1.5, 'x'), (NULL, NULL)");
    const auto result = rows("SELECT SQL_VARIANT_PROPERTY(Importe, 'Precision'),\n"
                             "  SQL_VARIANT_PROPERTY(Nota, 'MaxLength'),\n"
                             "  SQL_VARIANT_PROPERTY(N'abc', 'MaxLength'),\n"
                             "  SQL_VARIANT_PROPERTY(CAST(Importe AS money), 'BaseType')\n"
                             "FROM Saldos ORDER BY Importe DESC");
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[0][0].toInt64(), 12);
    EXPECT_EQ(result[0][1].toInt64(), 20);
    EXPECT_EQ(result[0][2].toInt64(), 6);
    EXPECT_EQ(result[0][3].toString(), QStringLiteral("money"));
}

TEST_F(SqlVariantPropertiesTest, shouldFailWhereTheBaseTypeIsNotKept) {
    run("CREATE TABLE Variantes (v sql_variant)\n"
        "INSERT INTO Variantes VALUES (CAST(46279.1 AS decimal(8,2)))");
    EXPECT_EQ(nativeErrorOf("SELECT SQL_VARIANT_PROPERTY(v, 'BaseType') FROM Variantes"), 40517);
    EXPECT_EQ(nativeErrorOf("SELECT SQL_VARIANT_PROPERTY(1, 'TotalBytes')"), 40517);
}

} // namespace estaciones::db::sqlite::test
