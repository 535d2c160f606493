// float and real values wherever the engine writes them as text: CAST and
// CONVERT, CONCAT and the text functions, variables, columns, procedure
// parameters and PRINT, each told by the value's type (a money value that
// travels as a double keeps its two decimals). Also real's four bytes in a
// column, a variable and a file. The scientific forms are this engine's
// (three exponent digits).
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

using ApproximateTextTest = EmbeddedFixture;

namespace {

QString textOf(const Variant& value) {
    return value.toString();
}

} // namespace

TEST_F(ApproximateTextTest, shouldWriteScientificNotationInEveryConversionToText) {
    run("CREATE TABLE grandes (f float, v varchar(20))");
    run("INSERT INTO grandes (f) VALUES (2.5e10)");
    const auto row = rows("SELECT CONCAT(f, 'x'), CAST(f AS varchar(20)), CONVERT(varchar(20), f, 1), "
                          "CONVERT(varchar(30), f, 2), LEN(f) FROM grandes")
                         .at(0);
    EXPECT_EQ(textOf(row.at(0)), QStringLiteral("2.5e+010x"));
    EXPECT_EQ(textOf(row.at(1)), QStringLiteral("2.5e+010"));
    EXPECT_EQ(textOf(row.at(2)), QStringLiteral("2.5000000e+010"));
    EXPECT_EQ(textOf(row.at(3)), QStringLiteral("2.500000000000000e+010"));
    EXPECT_EQ(row.at(4).toInt32(), 8);
    // The same text given to a variable, a column and a procedure's parameter.
    run("UPDATE grandes SET v = f");
    EXPECT_EQ(textOf(scalar("SELECT v FROM grandes")), QStringLiteral("2.5e+010"));
    EXPECT_EQ(textOf(scalar("DECLARE @v varchar(20) SELECT @v = f FROM grandes SELECT @v")),
              QStringLiteral("2.5e+010"));
    run("CREATE PROCEDURE eco @p varchar(20) AS SELECT @p");
    EXPECT_EQ(textOf(scalar("DECLARE @f float = 2.5e10 EXEC eco @f")), QStringLiteral("2.5e+010"));
}

TEST_F(ApproximateTextTest, shouldKeepMoneyAndDecimalsApartFromFloatsOfTheSameDouble) {
    // 1234567.5 is a double for all three; only the float is written in six digits.
    run("CREATE TABLE mezcla (m money, d decimal(10,2), f float, t varchar(20), u varchar(20), "
        "w varchar(20))");
    run("INSERT INTO mezcla (m, d, f) VALUES (1234567.5, 1234567.5, 1234567.5)");
    run("UPDATE mezcla SET t = m, u = d, w = f");
    const auto row = rows("SELECT t, u, w, CONCAT(m, '|', d, '|', f) FROM mezcla").at(0);
    EXPECT_EQ(textOf(row.at(0)), QStringLiteral("1234567.50"));
    EXPECT_EQ(textOf(row.at(1)), QStringLiteral("1234567.50"));
    EXPECT_EQ(textOf(row.at(2)), QStringLiteral("1.23457e+006"));
    EXPECT_EQ(textOf(row.at(3)), QStringLiteral("1234567.50|1234567.50|1.23457e+006"));
}

TEST_F(ApproximateTextTest, shouldConvertTheTextArgumentsOfTextFunctions) {
    const auto row = rows("DECLARE @f float = 1.0 / 3e0, @m money = 2.5 "
                          "SELECT LEN(@f), LTRIM(@f), REPLACE(@f, '3', 'x'), CHARINDEX('.', @f), "
                          "LEN(@m), STUFF(@m, 1, 1, @f), LEFT(@f, 2.9)")
                         .at(0);
    EXPECT_EQ(row.at(0).toInt32(), 8);
    EXPECT_EQ(textOf(row.at(1)), QStringLiteral("0.333333"));
    EXPECT_EQ(textOf(row.at(2)), QStringLiteral("0.xxxxxx"));
    EXPECT_EQ(row.at(3).toInt32(), 2);
    EXPECT_EQ(row.at(4).toInt32(), 4);
    EXPECT_EQ(textOf(row.at(5)), QStringLiteral("0.333333.50"));
    // A length is no text: 2.9 stays a number, cut to 2.
    EXPECT_EQ(textOf(row.at(6)), QStringLiteral("0."));
    // Each function alone, in a statement with nothing else to type.
    run("CREATE TABLE medidas (f float)");
    run("INSERT INTO medidas VALUES (1), (2.5)");
    EXPECT_EQ(scalar("SELECT LEN(f) FROM medidas WHERE f = 1").toInt32(), 1);
    EXPECT_EQ(textOf(scalar("SELECT RTRIM(f) FROM medidas WHERE f = 1")), QStringLiteral("1"));
    EXPECT_EQ(textOf(scalar("SELECT STRING_AGG(f, ',') WITHIN GROUP (ORDER BY f) FROM medidas")),
              QStringLiteral("1,2.5"));
    // ISNULL converts its replacement to the checked text's type.
    const auto replaced = rows("DECLARE @v varchar(20) "
                               "SELECT ISNULL(@v, 1e0 / 3), ISNULL(@v, CAST(2.5 AS money)), "
                               "ISNULL(@v, 7)")
                              .at(0);
    EXPECT_EQ(textOf(replaced.at(0)), QStringLiteral("0.333333"));
    EXPECT_EQ(textOf(replaced.at(1)), QStringLiteral("2.50"));
    EXPECT_EQ(textOf(replaced.at(2)), QStringLiteral("7"));
    EXPECT_EQ(nativeErrorOf("SELECT ISNULL(CAST(NULL AS varchar(3)), 123456.7e0)"), 232);
}

TEST_F(ApproximateTextTest, shouldPrintNumbersAsTheyConvertToText) {
    const ExecutionResult result =
        run("DECLARE @f float = 1.0 / 3e0, @m money = 2.5 PRINT @f PRINT @m PRINT 2.5e10 PRINT 7");
    QStringList printed;
    for (const BatchOutput& output : result.output) {
        if (output.kind == BatchOutput::Kind::Message) {
            printed << output.message.description;
        }
    }
    EXPECT_EQ(printed, (QStringList{"0.333333", "2.50", "2.5e+010", "7"}));
}

TEST_F(ApproximateTextTest, shouldRefuseATextTooShortForTheFloat) {
    EXPECT_EQ(nativeErrorOf("SELECT CAST(2.5e10 AS char(7))"), 232);
    EXPECT_EQ(nativeErrorOf("DECLARE @n nvarchar(3) SET @n = 0.125e0"), 232);
    run("CREATE TABLE cortos (c char(4))");
    EXPECT_EQ(nativeErrorOf("INSERT INTO cortos VALUES (1e0 / 3)"), 232);
    // TRY_CAST answers NULL instead; char(n) fills what fits with blanks.
    EXPECT_TRUE(scalar("SELECT TRY_CAST(2.5e10 AS char(7))").isNull());
    EXPECT_EQ(textOf(scalar("SELECT TRY_CONVERT(varchar(10), CAST(2.5 AS money))")),
              QStringLiteral("2.50"));
    EXPECT_EQ(textOf(scalar("SELECT CAST(2.5e0 AS char(5))")), QStringLiteral("2.5  "));
}

TEST_F(ApproximateTextTest, shouldRefuseAFloatBeyondAnIntegerType) {
    EXPECT_EQ(nativeErrorOf("SELECT CAST(3e9 AS int)"), 232);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(256e0 AS tinyint)"), 232);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(-1e0 AS tinyint)"), 232);
    EXPECT_EQ(scalar("SELECT CAST(-2147483648.9e0 AS int)").toInt64(), -2147483648LL);
    EXPECT_EQ(scalar("SELECT CAST(255.9e0 AS tinyint)").toInt64(), 255);
}

TEST_F(ApproximateTextTest, shouldKeepARealInFourBytesWhereverItIsStored) {
    run("CREATE TABLE sencillo (r real, f float(20), d float)");
    run("INSERT INTO sencillo VALUES (0.1, 0.1, 0.1)");
    // In the file: the double of the single value, for real and float(n <= 24) alike.
    EXPECT_EQ(pastTheEngine("SELECT r = CAST(0.1 AS REAL) FROM sencillo"), "0");
    EXPECT_EQ(pastTheEngine("SELECT (r = 0.100000001490116119384765625) || "
                            "(f = 0.100000001490116119384765625) || (d = 0.1) FROM sencillo"),
              "111");
    // The result set's real column shows the digits of its four bytes.
    const ResultSet set = query("SELECT r, d FROM sencillo");
    EXPECT_EQ(set.columns.at(0).type, adtype::Single);
    EXPECT_DOUBLE_EQ(set.rows.at(0).at(0).toDouble(), static_cast<double>(0.1f));
    // Variables and CAST round the same way; 4 bytes in binary.
    EXPECT_EQ(scalar("DECLARE @r real = 1e0 / 3 SELECT CAST(@r AS float)").toDouble(),
              static_cast<double>(1.0f / 3.0f));
    EXPECT_EQ(textOf(scalar("SELECT CAST(CAST(1 AS real) AS varbinary(8))")),
              textOf(Variant::fromBytes(QByteArray::fromHex("3f800000"))));
    EXPECT_EQ(scalar("SELECT CAST(0x3DCCCCCD AS real)").toDouble(), static_cast<double>(0.1f));
    EXPECT_EQ(nativeErrorOf("SELECT CAST(1e39 AS real)"), 232);
    // A table SELECT ... INTO makes of a real keeps it so for the rows put in later.
    run("SELECT CAST(0.5 AS real) AS r INTO copia_sencilla");
    run("INSERT INTO copia_sencilla VALUES (0.1)");
    EXPECT_EQ(scalar("SELECT CAST(r AS float) FROM copia_sencilla WHERE r < 0.5").toDouble(),
              static_cast<double>(0.1f));
}

} // namespace estaciones::db::sqlite::test
