// FOR XML PATH: column names read as paths, the names it refuses with the
// server's errors, and subqueries worked out beforehand or for each row.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class ForXmlPathTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Tarifas (Id int, Zona nvarchar(20), Precio money, Desde date)\n"
            "INSERT INTO Tarifas VALUES (1, N'Norte', 12.5, '20240107'), (2, N'Sur', NULL, "
            "'20240301'), (3, N'Norte', 3, '20240415')");
    }

    QString xml(const QString& batch) {
        QString text;
        for (const std::vector<Variant>& row : rows(batch))
            text += row.front().toString();
        return text;
    }
};

} // namespace

TEST_F(ForXmlPathTest, shouldSpaceDataValuesOnlyWhenOneFollowsAnother) {
    // Without a row element the values of the rows follow one another.
    EXPECT_EQ(xml("SELECT Id AS [data()] FROM Tarifas ORDER BY Id FOR XML PATH('')"),
              QStringLiteral("1 2 3"));
    EXPECT_EQ(xml("SELECT Id AS [data()] FROM Tarifas ORDER BY Id FOR XML PATH('t')"),
              QStringLiteral("<t>1</t><t>2</t><t>3</t>"));
    EXPECT_EQ(xml("SELECT Id AS [data()], Zona AS [data()], Zona AS [text()] FROM Tarifas "
                  "WHERE Id = 1 FOR XML PATH('t')"),
              QStringLiteral("<t>1 NorteNorte</t>"));
}

TEST_F(ForXmlPathTest, shouldWriteValuesByTheirTypesAndLeaveNullsOut) {
    EXPECT_EQ(xml("SELECT Id AS [@id], Precio AS [p/@precio], Desde AS [p] FROM Tarifas ORDER BY "
                  "Id FOR XML PATH('t'), ROOT('tarifas')"),
              QStringLiteral("<tarifas><t id=\"1\"><p precio=\"12.5000\">2024-01-07</p></t>"
                             "<t id=\"2\"><p>2024-03-01</p></t>"
                             "<t id=\"3\"><p precio=\"3.0000\">2024-04-15</p></t></tarifas>"));
}

TEST_F(ForXmlPathTest, shouldRefuseNamesItCannotWrite) {
    EXPECT_EQ(nativeErrorOf("SELECT Id AS [/a] FROM Tarifas FOR XML PATH"), 6849);
    EXPECT_EQ(nativeErrorOf("SELECT Id AS [a/] FROM Tarifas FOR XML PATH"), 6849);
    EXPECT_EQ(nativeErrorOf("SELECT Id AS [a//b] FROM Tarifas FOR XML PATH"), 6849);
    EXPECT_EQ(nativeErrorOf("SELECT Id AS [a b] FROM Tarifas FOR XML PATH"), 6850);
    EXPECT_EQ(nativeErrorOf("SELECT Id AS [1a] FROM Tarifas FOR XML PATH"), 6850);
    EXPECT_EQ(nativeErrorOf("SELECT Id AS [processing-instruction()] FROM Tarifas FOR XML PATH"),
              6854);
    EXPECT_EQ(nativeErrorOf("SELECT Id AS [@id] FROM Tarifas FOR XML PATH('')"), 6864);
    EXPECT_EQ(nativeErrorOf("SELECT Id FROM Tarifas FOR XML PATH, ROOT('')"), 6861);
    EXPECT_EQ(nativeErrorOf("SELECT Id FROM Tarifas FOR XML PATH('a b')"), 6856);
    // In a nested element too, and even with no rows to write.
    EXPECT_EQ(nativeErrorOf("SELECT Zona AS [a/b], Id AS [a/@id] FROM Tarifas WHERE 1 = 0 FOR "
                            "XML PATH"),
              6852);
    // An attribute of an element opened anew after others is in order.
    EXPECT_EQ(xml("SELECT Zona AS [a/b], Id AS [c/@id] FROM Tarifas WHERE Id = 1 FOR XML PATH"),
              QStringLiteral("<row><a><b>Norte</b></a><c id=\"1\" /></row>"));
    // An xml value cannot be an attribute's or a node test's.
    EXPECT_EQ(nativeErrorOf("SELECT (SELECT Id FROM Tarifas FOR XML PATH, TYPE) AS [@x] FOR XML "
                            "PATH"),
              6851);
    EXPECT_EQ(nativeErrorOf("SELECT (SELECT Id FROM Tarifas FOR XML PATH, TYPE) AS [text()] FOR "
                            "XML PATH"),
              6853);
}

TEST_F(ForXmlPathTest, shouldInsertTypedXmlAsItIsAndEscapeText) {
    const QString inner = QStringLiteral("(SELECT Zona FROM Tarifas WHERE Id < 3 ORDER BY Id FOR "
                                         "XML PATH('')%1)");
    EXPECT_EQ(xml(QStringLiteral("SELECT %1 AS z FOR XML PATH('r')").arg(inner.arg(", TYPE"))),
              QStringLiteral("<r><z><Zona>Norte</Zona><Zona>Sur</Zona></z></r>"));
    EXPECT_EQ(xml(QStringLiteral("SELECT %1 AS z FOR XML PATH('r')").arg(inner.arg(QString()))),
              QStringLiteral("<r><z>&lt;Zona&gt;Norte&lt;/Zona&gt;&lt;Zona&gt;Sur&lt;/Zona&gt;</z>"
                             "</r>"));
    EXPECT_EQ(xml(QStringLiteral("SELECT %1 FOR XML PATH('r')").arg(inner.arg(", TYPE"))),
              QStringLiteral("<r><Zona>Norte</Zona><Zona>Sur</Zona></r>"));
}

TEST_F(ForXmlPathTest, shouldReadTypedXmlBackAsTextAndRefuseOtherMethods) {
    EXPECT_EQ(xml("SELECT (SELECT Zona AS [@z], N'a<b' AS [text()] FROM Tarifas WHERE Id = 1 FOR "
                  "XML PATH('t'), TYPE).value('.', 'nvarchar(max)')"),
              QStringLiteral("a<b"));
    EXPECT_EQ(nativeErrorOf("SELECT (SELECT Zona FROM Tarifas FOR XML PATH(''), TYPE).value('(/"
                            "Zona)[1]', 'nvarchar(20)')"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT (SELECT ',' + Zona FROM Tarifas FOR XML PATH(''), TYPE).value("
                            "'.', 'int')"),
              40517);
}

TEST_F(ForXmlPathTest, shouldWorkOutACorrelatedSubqueryForEachRowWithItsValuesTyped) {
    // The outer money and date values go in as money and dates.
    const auto result = rows(
        "SELECT t.Id, (SELECT o.Id AS [@id], o.Precio AS [data()] FROM Tarifas o WHERE o.Precio > "
        "t.Precio AND o.Desde < t.Desde ORDER BY o.Id FOR XML PATH('o'), TYPE) AS Otras FROM "
        "Tarifas t ORDER BY t.Id");
    ASSERT_EQ(result.size(), 3u);
    EXPECT_TRUE(result[0][1].isNull());
    EXPECT_TRUE(result[1][1].isNull());
    EXPECT_EQ(result[2][1].toString(), QStringLiteral("<o id=\"1\">12.5000</o>"));
    // Two subqueries, each reading other outer values, keep their places.
    const auto two = rows("SELECT (SELECT COUNT(*) AS n FROM Tarifas o WHERE o.Zona = t.Zona FOR "
                          "XML RAW), t.Id, (SELECT t.Zona AS [@z], t.Id AS [@i] FOR XML PATH('x')) "
                          "FROM Tarifas t WHERE t.Id = 3");
    ASSERT_EQ(two.size(), 1u);
    ASSERT_EQ(two[0].size(), 3u);
    EXPECT_EQ(two[0][0].toString(), QStringLiteral("<row n=\"2\" />"));
    EXPECT_EQ(two[0][1].toInt64(), 3);
    EXPECT_EQ(two[0][2].toString(), QStringLiteral("<x z=\"Norte\" i=\"3\" />"));
}

TEST_F(ForXmlPathTest, shouldJoinCorrelatedTextsAndNotTakeAColumnForText) {
    EXPECT_EQ(xml("SELECT (SELECT ',' + CAST(o.Precio AS varchar(10)) FROM Tarifas o WHERE o.Zona "
                  "= t.Zona ORDER BY o.Id FOR XML PATH('')) FROM Tarifas t WHERE t.Id = 1"),
              QStringLiteral(",12.50,3.00"));
    EXPECT_EQ(xml("SELECT (SELECT o.Id AS [data()] FROM Tarifas o WHERE o.Zona = t.Zona ORDER BY "
                  "o.Id FOR XML PATH('')) FROM Tarifas t WHERE t.Id = 1"),
              QStringLiteral("1 3"));
    // A column keeps its name: an element, not the bare text.
    EXPECT_EQ(xml("SELECT (SELECT Zona FROM Tarifas WHERE Id = 1 FOR XML PATH(''))"),
              QStringLiteral("<Zona>Norte</Zona>"));
}

} // namespace estaciones::db::sqlite::test
