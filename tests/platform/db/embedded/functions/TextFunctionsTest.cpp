// Built-ins the scripts use, on the examples of their reference pages.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class TextFunctionsTest : public EmbeddedFixture {
protected:
    QString text(const QString& expression) { return scalar("SELECT " + expression).toString(); }
    long long number(const QString& expression) { return scalar("SELECT " + expression).toInt64(); }
};

TEST_F(TextFunctionsTest, shouldAnswerTheTextFunctionsExamples) {
    EXPECT_EQ(number("PATINDEX('%ter%', 'interesting data')"), 3);
    EXPECT_EQ(number("PATINDEX('%en_ure%', 'Please ensure the door is locked!')"), 8);
    EXPECT_EQ(number("PATINDEX('%[0-9]%', 'abc7x')"), 4);
    EXPECT_EQ(number("PATINDEX('%xyz%', 'abc')"), 0);
    EXPECT_EQ(number("PATINDEX('ab%', 'ABC')"), 1); // the collation ignores case
    EXPECT_TRUE(scalar("SELECT PATINDEX('%a%', NULL)").isNull());
    EXPECT_EQ(text("STUFF('abcdef', 2, 3, 'ijklmn')"), "aijklmnef");
    EXPECT_TRUE(scalar("SELECT STUFF('abc', 5, 1, 'x')").isNull());
    EXPECT_EQ(text("STUFF('abc', 2, 10, NULL)"), "a");
    EXPECT_EQ(text("REVERSE('abc')"), "cba");
    EXPECT_EQ(number("DATALENGTH('abc  ')"), 5);
    EXPECT_EQ(number("LEN('abc  ')"), 3);
    EXPECT_EQ(text("CONCAT('Happy ', 'Birthday ', 11, '/', '25')"), "Happy Birthday 11/25");
    EXPECT_EQ(text("CONCAT('a', NULL, 'b')"), "ab");
    EXPECT_EQ(text("CONCAT_WS(',', '1 Microsoft Way', NULL, NULL, 'Redmond', 'WA', 98052)"),
              "1 Microsoft Way,Redmond,WA,98052");
    EXPECT_EQ(text("CHOOSE(3, 'Manager', 'Director', 'Developer', 'Tester')"), "Developer");
    EXPECT_TRUE(scalar("SELECT CHOOSE(5, 'a', 'b')").isNull());
    EXPECT_EQ(text("IIF(45 > 30, 'TRUE', 'FALSE')"), "TRUE");
}

TEST_F(TextFunctionsTest, shouldBuildDatesFromTheirParts) {
    EXPECT_EQ(number("year(EOMONTH('2011-12-01'))"), 2011);
    EXPECT_EQ(number("day(EOMONTH('2011-12-01'))"), 31);
    EXPECT_EQ(number("day(EOMONTH('2012-02-10'))"), 29);
    EXPECT_EQ(number("month(EOMONTH('2011-12-01', 1))"), 1);
    EXPECT_EQ(number("day(EOMONTH('2011-12-01', -1))"), 30);
    EXPECT_EQ(number("day(DATEFROMPARTS(2010, 12, 31))"), 31);
    EXPECT_EQ(number("datepart(hour, DATETIMEFROMPARTS(2010, 12, 31, 23, 59, 59, 0))"), 23);
    EXPECT_TRUE(scalar("SELECT DATEFROMPARTS(2010, NULL, 31)").isNull());
    EXPECT_EQ(nativeErrorOf("SELECT DATEFROMPARTS(2010, 2, 30)"), 289);
}

TEST_F(TextFunctionsTest, shouldJoinTextsWithForXmlPath) {
    run("CREATE TABLE Zonas (Nombre varchar(10) NULL)");
    run("INSERT INTO Zonas VALUES ('Norte'); INSERT INTO Zonas VALUES ('Sur & Este'); INSERT INTO "
        "Zonas VALUES (NULL)");
    EXPECT_EQ(text("STUFF((SELECT ',' + Nombre FROM Zonas ORDER BY Nombre FOR XML PATH('')), 1, 1, "
                   "'')"),
              "Norte,Sur &amp; Este");
    // Read back as a value, the text is not escaped.
    EXPECT_EQ(text("STUFF((SELECT ', ' + Nombre FROM Zonas WHERE Nombre IS NOT NULL ORDER BY "
                   "Nombre DESC FOR XML PATH(''), TYPE).value('.', 'varchar(max)'), 1, 2, '')"),
              "Sur & Este, Norte");
    EXPECT_TRUE(
        scalar("SELECT (SELECT ',' + Nombre FROM Zonas WHERE 1 = 0 FOR XML PATH(''))").isNull());
    // A named column or row is an element: the subquery's XML is worked out beforehand.
    EXPECT_EQ(text("(SELECT Nombre FROM Zonas WHERE Nombre IS NOT NULL ORDER BY Nombre FOR XML "
                   "PATH('zona'))"),
              "<zona><Nombre>Norte</Nombre></zona><zona><Nombre>Sur &amp; Este</Nombre></zona>");
    EXPECT_EQ(text("(SELECT Nombre FROM Zonas WHERE Nombre IS NOT NULL ORDER BY Nombre FOR XML "
                   "PATH(''))"),
              "<Nombre>Norte</Nombre><Nombre>Sur &amp; Este</Nombre>");
}

} // namespace
} // namespace estaciones::db::sqlite::test
