// FOR XML RAW and AUTO: the text's rows, the cases it cannot place and
// refuses, and the values written as XML must write them.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class ForXmlTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Empleados (Id int, Nombre nvarchar(40), Jefe int)\n"
            "INSERT INTO Empleados VALUES (1, N'Ana', NULL), (2, N'Luis', 1), (3, N'Eva', 1)");
    }

    QString joinedText(const QString& batch) {
        QString text;
        for (const std::vector<Variant>& row : rows(batch))
            text += row.front().toString();
        return text;
    }
};

} // namespace

TEST_F(ForXmlTest, shouldCutALongTextIntoRowsUnlessItIsTyped) {
    run("CREATE TABLE Largos (Texto varchar(max))\n"
        "INSERT INTO Largos VALUES (REPLICATE(CAST('x' AS varchar(max)), 5000))");
    const auto split = rows("SELECT Texto FROM Largos FOR XML RAW");
    ASSERT_EQ(split.size(), 3u);
    EXPECT_EQ(split[0].front().toString().size(), 2033);
    EXPECT_EQ(split[1].front().toString().size(), 2033);
    EXPECT_EQ(joinedText("SELECT Texto FROM Largos FOR XML RAW"),
              QStringLiteral("<row Texto=\"%1\" />").arg(QString(5000, QLatin1Char('x'))));
    EXPECT_EQ(rows("SELECT Texto FROM Largos FOR XML RAW, TYPE").size(), 1u);
    EXPECT_TRUE(rows("SELECT Id FROM Empleados WHERE Id = 0 FOR XML RAW").empty());
}

TEST_F(ForXmlTest, shouldNestTwoAliasesOfOneTableWhenTheListNamesThem) {
    EXPECT_EQ(joinedText("SELECT j.Nombre, e.Nombre FROM Empleados j JOIN Empleados e ON e.Jefe = "
                         "j.Id ORDER BY e.Id FOR XML AUTO"),
              QStringLiteral("<j Nombre=\"Ana\"><e Nombre=\"Luis\" /><e Nombre=\"Eva\" /></j>"));
}

TEST_F(ForXmlTest, shouldRefuseWhatItCannotPlaceOrWrite) {
    // Through a star, a column of a table read twice could be either alias's.
    EXPECT_EQ(nativeErrorOf("SELECT * FROM Empleados j JOIN Empleados e ON e.Jefe = j.Id FOR XML "
                            "AUTO"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT j.*, e.* FROM Empleados j JOIN Empleados e ON e.Jefe = j.Id "
                            "FOR XML AUTO"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(Id AS varbinary(4)) AS b FROM Empleados FOR XML RAW"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT Id FROM Empleados FOR XML EXPLICIT"), 40517);
}

TEST_F(ForXmlTest, shouldWriteBinaryAsBase64AndKeepTheTextWellFormed) {
    EXPECT_EQ(joinedText("SELECT CAST('abc' AS varbinary(4)) AS b FOR XML RAW, BINARY BASE64"),
              QStringLiteral("<row b=\"YWJj\" />"));
    EXPECT_EQ(joinedText("SELECT N'a<b & \"c\"' AS t FOR XML RAW"),
              QStringLiteral("<row t=\"a&lt;b &amp; &quot;c&quot;\" />"));
    EXPECT_EQ(joinedText("SELECT N'a<b & c' AS t FOR XML RAW, ELEMENTS"),
              QStringLiteral("<row><t>a&lt;b &amp; c</t></row>"));
}

} // namespace estaciones::db::sqlite::test
