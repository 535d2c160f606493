// TRY_CAST, TRY_CONVERT, the styles of CONVERT and the text built-ins that
// came with the server's later versions, on their reference pages' examples.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class ConversionFunctionsTest : public EmbeddedFixture {
protected:
    QString text(const QString& expression) { return scalar("SELECT " + expression).toString(); }
    bool isNull(const QString& expression) { return scalar("SELECT " + expression).isNull(); }
};

TEST_F(ConversionFunctionsTest, shouldGiveNullWhereATryConversionFails) {
    EXPECT_TRUE(isNull("TRY_CAST('test' AS float)"));
    EXPECT_TRUE(isNull("TRY_CONVERT(float, 'test')"));
    EXPECT_TRUE(isNull("TRY_CAST('12.5' AS int)"));
    EXPECT_EQ(scalar("SELECT TRY_CAST('12' AS int) + 1").toInt64(), 13);
    run("SET DATEFORMAT dmy");
    EXPECT_TRUE(isNull("TRY_CONVERT(datetime2, '12/31/2010')"));
    run("SET DATEFORMAT mdy");
    EXPECT_EQ(text("CONVERT(varchar(10), TRY_CONVERT(datetime2, '12/31/2010'), 120)"),
              "2010-12-31");
    // A conversion the server never allows is an error, TRY_ or not.
    EXPECT_EQ(nativeErrorOf("SELECT TRY_CAST(4 AS xml)"), 529);
    EXPECT_EQ(nativeErrorOf("SELECT TRY_CONVERT(xml, 4)"), 529);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(4 AS date)"), 529);
}

TEST_F(ConversionFunctionsTest, shouldWriteDatesInEveryDocumentedStyle) {
    run("SET LANGUAGE us_english"); // the page's month names; a Spanish session writes Ene
    const QString d = "CAST('2024-01-07 15:45:30.123' AS datetime)";
    const auto styled = [&](int style) {
        return text(QStringLiteral("CONVERT(varchar(40), %1, %2)").arg(d).arg(style));
    };
    EXPECT_EQ(styled(100), "Jan  7 2024  3:45PM"); // day and hour padded with a blank
    EXPECT_EQ(styled(107), "Jan 07, 2024");
    EXPECT_EQ(styled(7), "Jan 07, 24");
    EXPECT_EQ(styled(109), "Jan  7 2024  3:45:30:123PM");
    EXPECT_EQ(styled(113), "07 Jan 2024 15:45:30:123");
    EXPECT_EQ(styled(114), "15:45:30:123");
    EXPECT_EQ(styled(121), "2024-01-07 15:45:30.123");
    EXPECT_EQ(styled(126), "2024-01-07T15:45:30.123");
    // A datetime's number is its days since 1900, to the nearest day for an int.
    EXPECT_EQ(scalar("SELECT CAST(" + d + " AS int)").toInt64(), 45297);
    EXPECT_EQ(scalar("SELECT CAST(CAST('1900-01-02 06:00' AS datetime) AS float)").toDouble(), 1.25);
    EXPECT_EQ(nativeErrorOf("SELECT CONVERT(varchar(30), " + d + ", 999)"), 281);
    // + and - of a datetime with a text or another datetime: by precedence
    // the other side is a datetime (its days since 1900), never joined text.
    EXPECT_EQ(text("CONVERT(varchar(19), " + d + " + '12:00', 120)"), "2024-01-08 03:45:30");
    EXPECT_EQ(text("CONVERT(varchar(19), '12:00' + " + d + ", 120)"), "2024-01-08 03:45:30");
    EXPECT_EQ(text("CONVERT(varchar(19), " + d + " + " + d + ", 120)"), "2148-01-14 07:31:00");
    EXPECT_EQ(text("CONVERT(varchar(19), " + d + " - '1900-01-02', 120)"), "2024-01-06 15:45:30");
    EXPECT_EQ(nativeErrorOf("SELECT 'a' + " + d), 241);
    EXPECT_EQ(nativeErrorOf("SELECT CONVERT(datetime, '2024-01-17', 999)"), 281);
}

// Decimal and money keep their scale in text: the stored number has lost
// the zeros, the type the text names has not.
TEST_F(ConversionFunctionsTest, shouldWriteDecimalsAtTheirScale) {
    EXPECT_EQ(text("CONVERT(varchar(20), CAST(1234.5 AS decimal(10,2)))"), "1234.50");
    EXPECT_EQ(text("CAST(CAST(-0.05 AS decimal(4,3)) AS varchar(10))"), "-0.050");
    EXPECT_EQ(text("CAST(1.50 AS varchar(10))"), "1.50");
    EXPECT_EQ(text("CONVERT(varchar(20), CAST(1234567.5 AS money), 1)"), "1,234,567.50");
    EXPECT_EQ(text("CONVERT(varchar(20), CAST(3.5 AS money), 2)"), "3.5000");
}

TEST_F(ConversionFunctionsTest, shouldQuoteTranslateAndCheckTexts) {
    EXPECT_EQ(text("QUOTENAME('abc[]def')"), "[abc[]]def]");
    EXPECT_EQ(text("QUOTENAME('abc', '''')"), "'abc'");
    EXPECT_TRUE(isNull("QUOTENAME('abc', 'x')"));
    EXPECT_EQ(text("TRANSLATE('2*[3+4]/{7-2}', '[]{}', '()()')"), "2*(3+4)/(7-2)");
    EXPECT_EQ(nativeErrorOf("SELECT TRANSLATE('abc', 'ab', 'x')"), 9828);
    EXPECT_EQ(text("TRIM('.,! ' FROM '     #     test    .')"), "#     test");
    EXPECT_EQ(scalar("SELECT CASE WHEN CHECKSUM(1, 'a') = CHECKSUM(1, 'a') THEN 1 ELSE 0 END")
                  .toInt64(),
              1);
    // The signs and currency symbols alone are numeric.
    EXPECT_EQ(scalar("SELECT ISNUMERIC('+') + ISNUMERIC('-') + ISNUMERIC('$') + ISNUMERIC('12.5')")
                  .toInt64(),
              4);
    EXPECT_EQ(scalar("SELECT ISNUMERIC('abc') + ISNUMERIC(NULL)").toInt64(), 0);
    EXPECT_TRUE(isNull("NULLIF('a', 'A')"));
    // A case-sensitive collation on the searched text makes CHARINDEX exact.
    EXPECT_EQ(scalar("SELECT CHARINDEX('TEST', 'This is a Test' COLLATE Latin1_General_CS_AS)")
                  .toInt64(),
              0);
    EXPECT_EQ(scalar("SELECT CHARINDEX('Test', 'This is a Test' COLLATE Latin1_General_CS_AS)")
                  .toInt64(),
              11);
}

TEST_F(ConversionFunctionsTest, shouldSplitAndJoinTexts) {
    EXPECT_EQ(rows("SELECT value FROM STRING_SPLIT('Lorem ipsum dolor sit amet.', ' ')").size(),
              5u);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM STRING_SPLIT('a,,b', ',')").toInt64(), 3);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM STRING_SPLIT(NULL, ',')").toInt64(), 0);
    EXPECT_EQ(nativeErrorOf("SELECT value FROM STRING_SPLIT('a,b', ',,')"), 214);
    run("CREATE TABLE producto (id int, etiquetas varchar(40))");
    run("INSERT INTO producto VALUES (1, 'rojo,grande'), (2, 'azul')");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM producto CROSS APPLY STRING_SPLIT(etiquetas, ',')")
                  .toInt64(),
              3);
    EXPECT_EQ(text("STRING_AGG(etiquetas, '; ') WITHIN GROUP (ORDER BY id DESC) FROM producto"),
              "azul; rojo,grande");
    EXPECT_TRUE(isNull("STRING_AGG(etiquetas, ',') FROM producto WHERE id > 5"));
    // NULL values are left out with their separator; NULL keys sort first.
    run("INSERT INTO producto VALUES (3, NULL), (NULL, 'verde')");
    EXPECT_EQ(text("STRING_AGG(etiquetas, '|') WITHIN GROUP (ORDER BY id) FROM producto"),
              "verde|rojo,grande|azul");
}

// Blank text is zero or day zero to every type but decimal, so that ISNULL
// and COALESCE of a number or a date with '' give one.
TEST_F(ConversionFunctionsTest, shouldReadBlankTextAsZeroOrDayZero) {
    const auto values = rows("SELECT CAST('' AS int), CAST(' ' AS money), CAST('' AS float), "
                             "CAST('' AS bit), CAST('' AS date), CAST('' AS datetime), "
                             "ISNULL(CAST(NULL AS int), ''), COALESCE(NULL, '', 5)");
    ASSERT_EQ(values.size(), 1u);
    const auto& row = values[0];
    EXPECT_EQ(row[0].toInt32(), 0);
    EXPECT_EQ(row[1], Variant(Currency{0}));
    EXPECT_EQ(row[2].toDouble(), 0.0);
    EXPECT_EQ(row[3].toInt32(), 0);
    EXPECT_EQ(row[4].toDate().date, QDate(1900, 1, 1));
    EXPECT_EQ(row[5].toDate().date, QDate(1900, 1, 1));
    EXPECT_EQ(row[6].toInt32(), 0);
    EXPECT_EQ(row[7].toInt32(), 0);
    EXPECT_EQ(nativeErrorOf("SELECT CAST('' AS decimal(5,2))"), 8114);
}

// What dates here cannot keep is refused by its name, never half done: the
// Hijri styles and an offset from UTC.
// Binary data beside money, a decimal or a float would be read in the
// server's byte layout of that type, which SQLite takes as 0: refused.
TEST_F(ConversionFunctionsTest, shouldRefuseArithmeticOfBinaryDataWithInexactOrScaledNumbers) {
    EXPECT_EQ(nativeErrorOf("DECLARE @b varbinary(8) = 0x01 SELECT CAST(2 AS money) * @b"), 40517);
    EXPECT_EQ(nativeErrorOf("SELECT 2.5E0 - 0x01"), 40517);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(1.5 AS decimal(5,1)) + 0x01"), 40517);
    // Beside a whole number the bytes are that number.
    EXPECT_EQ(scalar("DECLARE @b varbinary(8) = 0x0102 SELECT 2 * @b").toInt64(), 2 * 0x0102);
}

TEST_F(ConversionFunctionsTest, shouldRefuseHijriStylesByName) {
    for (const char* batch : {"SELECT CONVERT(varchar(40), CAST('2024-01-07' AS datetime), 130)",
                              "SELECT CONVERT(datetime, '25/06/1445 12:00:00:000AM', 131)"}) {
        EXPECT_EQ(nativeErrorOf(QString::fromLatin1(batch)), 40517) << batch;
    }
    ASSERT_FALSE(lastFailure.empty());
    EXPECT_TRUE(lastFailure.front().description.contains(QLatin1String("Hijri")));
    // No style is known to format a datetimeoffset as text: refused by name, not guessed.
    EXPECT_EQ(nativeErrorOf("SELECT CONVERT(varchar(40), CAST('2024-01-07 10:00 +01:00' AS "
                            "datetimeoffset), 126)"),
              40517);
    // A style that exists for no conversion is still an invalid one.
    EXPECT_EQ(nativeErrorOf("SELECT CONVERT(varchar(40), CAST('2024-01-07' AS datetime), 99)"), 281);
}

} // namespace
} // namespace estaciones::db::sqlite::test
