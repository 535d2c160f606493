// A value that is one of several (CASE, COALESCE, the queries of a UNION)
// takes the type of highest precedence among them, whichever of them the
// first row happens to hold; money and decimal keep that type when they
// are converted to text or to a whole number.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class PrecedenceTypesTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Cobros (Id int PRIMARY KEY, Importe money NULL, Peso decimal(8,3) NULL,"
            " Fecha datetime NULL, Nota varchar(10) NULL)\n"
            "INSERT INTO Cobros VALUES (1, 10.5, 2.5, '20240107', 'x')\n"
            "INSERT INTO Cobros VALUES (2, NULL, NULL, NULL, NULL)");
    }

    // The batch's first result set; out_of_range (a failed test) when it has none.
    ResultSet query(const QString& sql) { return run(sql).resultSets.at(0); }
};

} // namespace

TEST_F(PrecedenceTypesTest, CaseAndCoalesceTakeTheHighestOfTheirResults) {
    for (const char* id : {"1", "2"}) {
        const ResultSet result = query(
            QStringLiteral("SELECT CASE WHEN Id = 1 THEN 3 ELSE Importe END, "
                           "COALESCE(Peso, 1), CASE Id WHEN 2 THEN Fecha ELSE NULL END, "
                           "COALESCE(Nota, 'y') FROM Cobros WHERE Id = %1")
                .arg(QLatin1String(id)));
        ASSERT_EQ(result.columns.size(), 4u);
        EXPECT_EQ(result.columns[0].type, adtype::Currency) << "row " << id;
        EXPECT_EQ(result.columns[1].type, adtype::Numeric) << "row " << id;
        EXPECT_EQ(result.columns[1].numericScale, 3);
        EXPECT_EQ(result.columns[2].type, adtype::DBTimeStamp) << "row " << id;
        EXPECT_EQ(result.columns[3].type, adtype::VarChar);
    }
    EXPECT_EQ(scalar("SELECT CASE WHEN Id = 1 THEN 3 ELSE Importe END FROM Cobros WHERE Id = 1"),
              Variant(Currency::fromDouble(3)));
}

TEST_F(PrecedenceTypesTest, UnionColumnsUniteTheirQueriesTypes) {
    const ResultSet result =
        query("SELECT Id, Peso FROM Cobros WHERE Id = 1 UNION ALL SELECT 2.25, Importe FROM Cobros "
              "WHERE Id = 1 ORDER BY 1");
    ASSERT_EQ(result.columns.size(), 2u);
    // int and decimal(3,2): decimal(12,2); decimal(8,3) and money (19,4): (19,4).
    EXPECT_EQ(result.columns[0].type, adtype::Numeric);
    EXPECT_EQ(result.columns[0].numericScale, 2);
    EXPECT_EQ(result.columns[1].type, adtype::Numeric);
    EXPECT_EQ(result.columns[1].numericScale, 4);
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_DOUBLE_EQ(result.rows[0][0].toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(result.rows[1][1].toDouble(), 10.5);
    // Texts alone keep the first query's type.
    EXPECT_EQ(query("SELECT Nota FROM Cobros UNION SELECT 'b'").columns.at(0).type,
              adtype::VarChar);
}

TEST_F(PrecedenceTypesTest, MoneyAndDecimalBecomeTextWithTheirOwnDecimals) {
    const auto values =
        rows("SELECT CAST(Importe AS varchar(20)), CONVERT(varchar(20), Importe * 1000, 1), "
             "CONVERT(varchar(20), Importe, 2), CAST(Peso AS varchar(10)), CAST(Importe AS int), "
             "CAST(-Importe AS int), CAST(Peso AS int) FROM Cobros WHERE Id = 1");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0][0].toString(), QStringLiteral("10.50"));
    EXPECT_EQ(values[0][1].toString(), QStringLiteral("10,500.00"));
    EXPECT_EQ(values[0][2].toString(), QStringLiteral("10.5000"));
    EXPECT_EQ(values[0][3].toString(), QStringLiteral("2.500"));
    // money rounds to a whole number, decimal truncates.
    EXPECT_EQ(values[0][4].toInt64(), 11);
    EXPECT_EQ(values[0][5].toInt64(), -11);
    EXPECT_EQ(values[0][6].toInt64(), 2);
    // Text too short for the number is an error, for whole numbers a '*'.
    EXPECT_EQ(nativeErrorOf("SELECT CAST(Importe * 1000 AS varchar(4)) FROM Cobros"), 8115);
    EXPECT_EQ(scalar("SELECT CAST(123 AS varchar(2))").toString(), QStringLiteral("*"));
    EXPECT_EQ(nativeErrorOf("SELECT CONVERT(varchar(20), Importe, 3) FROM Cobros"), 281);
}

TEST_F(PrecedenceTypesTest, MoneyQuotientsKeepFourDecimalsAtEveryStep) {
    EXPECT_EQ(scalar("SELECT Importe / 3 * 3 FROM Cobros WHERE Id = 1"),
              Variant(Currency::fromDouble(10.5)));
    EXPECT_EQ(scalar("SELECT CAST(1 AS money) / 3 * 3"), Variant(Currency::fromDouble(0.9999)));
    EXPECT_EQ(scalar("DECLARE @m money = 2 SELECT @m / 3"),
              Variant(Currency::fromDouble(0.6667)));
}

TEST_F(PrecedenceTypesTest, WholeColumnsRefuseWhatDoesNotFitAndKeepTheirRows) {
    run("CREATE TABLE Contadores (Id int PRIMARY KEY, Pequeno tinyint, Medio smallint, "
        "Grande bigint)\nINSERT INTO Contadores VALUES (1, 255, -32768, 9223372036854775807)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Contadores VALUES (2, 256, 0, 0)"), 220);
    EXPECT_EQ(nativeErrorOf("INSERT INTO Contadores VALUES (3, 0, 0, 0), (2147483648, 0, 0, 0)"),
              8115);
    EXPECT_EQ(nativeErrorOf("UPDATE Contadores SET Medio = Medio - 1"), 220);
    EXPECT_EQ(nativeErrorOf("INSERT INTO Contadores VALUES (4, 'mucho', 0, 0)"), 245);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Contadores"), Variant(1));
    EXPECT_EQ(scalar("SELECT Medio FROM Contadores"), Variant(-32768));
}

TEST_F(PrecedenceTypesTest, AbsOfTheSmallestIntIsNoInt) {
    EXPECT_EQ(nativeErrorOf("DECLARE @i int = -2147483648 SELECT ABS(@i)"), 8115);
    EXPECT_EQ(scalar("DECLARE @i int = -2147483647 SELECT ABS(@i)"), Variant(2147483647));
    // As a literal it is a decimal, whose absolute value fits.
    EXPECT_DOUBLE_EQ(scalar("SELECT ABS(-2147483648)").toDouble(), 2147483648.0);
}

} // namespace estaciones::db::sqlite::test
