// User-defined functions where the conformance cases cannot look: a body
// running while the calling statement steps on the same connection, the
// errors it ends that statement with, the tables of table-valued functions
// and what a repeated batch keeps of a function that changed.
#include "../EmbeddedFixture.h"

#include "platform/db/embedded/catalog/FunctionCatalog.h"
#include "platform/db/embedded/parse/SignificantTokens.h"

namespace estaciones::db::sqlite::test {
namespace {

class UserFunctionsTest : public EmbeddedFixture {
protected:
    // The tables behind table variables and function results.
    long long variableTables() {
        return scalar("SELECT COUNT(*) FROM sqlite_temp_schema WHERE type = 'table' AND name GLOB "
                      "'#tsql_var_*'")
            .toInt64();
    }
};

TEST_F(UserFunctionsTest, shouldReadOtherTablesAndTableVariablesWhileTheCallingStatementWrites) {
    run("CREATE TABLE tarifa (id int PRIMARY KEY, precio money)");
    run("INSERT INTO tarifa VALUES (1, 2.50), (2, 4.00)");
    run("CREATE TABLE pedido (id int PRIMARY KEY, tarifa int, unidades int, importe money)");
    run("INSERT INTO pedido VALUES (1, 1, 3, NULL), (2, 2, 1, NULL), (3, 1, 2, NULL)");
    run("CREATE FUNCTION dbo.importe(@tarifa int, @unidades int) RETURNS money AS\n"
        "BEGIN\n"
        "    DECLARE @copia TABLE (precio money)\n"
        "    INSERT @copia SELECT precio FROM tarifa WHERE id = @tarifa\n"
        "    RETURN (SELECT precio FROM @copia) * @unidades\n"
        "END");
    // The body declares, fills and drops a table variable for every row the UPDATE changes.
    run("UPDATE pedido SET importe = dbo.importe(tarifa, unidades)");
    const auto result = rows("SELECT id, importe FROM pedido ORDER BY id");
    ASSERT_EQ(result.size(), 3u);
    EXPECT_EQ(result[0][1], Variant(Currency{75000}));
    EXPECT_EQ(result[1][1], Variant(Currency{40000}));
    EXPECT_EQ(result[2][1], Variant(Currency{50000}));
    // A function reading the very table being updated sees it as the statement goes.
    run("CREATE FUNCTION dbo.maximo() RETURNS money AS BEGIN RETURN (SELECT MAX(importe) FROM "
        "pedido) END");
    run("UPDATE pedido SET importe = dbo.maximo() WHERE id = 3");
    EXPECT_EQ(scalar("SELECT importe FROM pedido WHERE id = 3"), Variant(Currency{75000}));
}

TEST_F(UserFunctionsTest, shouldEndTheCallingStatementWithTheBodysErrorAndUndoIt) {
    run("CREATE TABLE cuenta (id int PRIMARY KEY, saldo int)");
    run("INSERT INTO cuenta VALUES (1, 10), (2, 0), (3, 5)");
    run("CREATE FUNCTION dbo.reparto(@x int) RETURNS int AS BEGIN RETURN 100 / @x END");
    EXPECT_EQ(nativeErrorOf("UPDATE cuenta SET saldo = dbo.reparto(saldo)"), 8134);
    // The row before the failing one is not left changed.
    EXPECT_EQ(scalar("SELECT saldo FROM cuenta WHERE id = 1").toInt64(), 10);
    // CATCH sees the body's error and the function as the place it was raised.
    const auto caught = rows("BEGIN TRY\n"
                             "    SELECT dbo.reparto(0)\n"
                             "END TRY\n"
                             "BEGIN CATCH\n"
                             "    SELECT ERROR_NUMBER(), ERROR_PROCEDURE()\n"
                             "END CATCH");
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0][0].toInt64(), 8134);
    EXPECT_EQ(caught[0][1].toString(), "reparto");
    // Errors that would end only a statement of a procedure end the function.
    run("CREATE TABLE unico (id int PRIMARY KEY)");
    run("CREATE FUNCTION dbo.sigue() RETURNS int AS\n"
        "BEGIN\n"
        "    DECLARE @t TABLE (id int PRIMARY KEY)\n"
        "    INSERT @t VALUES (1), (1)\n"
        "    RETURN 7\n"
        "END");
    EXPECT_EQ(nativeErrorOf("SELECT dbo.sigue()"), 2627);
}

TEST_F(UserFunctionsTest, shouldDropTheTablesOfMultiStatementFunctionsWhenTheStatementEnds) {
    run("CREATE FUNCTION dbo.uno(@n int) RETURNS @r TABLE (n int) AS\n"
        "BEGIN\n"
        "    DECLARE @ayuda TABLE (n int)\n"
        "    INSERT @ayuda VALUES (@n)\n"
        "    INSERT @r SELECT n FROM @ayuda\n"
        "    RETURN\n"
        "END");
    const long long before = variableTables();
    const ExecutionResult result =
        run("SELECT n FROM dbo.uno(1)\nSELECT a.n + b.n FROM dbo.uno(2) a CROSS JOIN dbo.uno(3) b");
    ASSERT_EQ(result.resultSets.size(), 2u);
    EXPECT_EQ(result.resultSets[1].rows.front()[0].toInt64(), 5);
    EXPECT_EQ(variableTables(), before);
    // The body's INSERTs are the function's own: no counts reach the client.
    EXPECT_EQ(result.rowsAffected, -1);
}

TEST_F(UserFunctionsTest, shouldRefuseAMultiStatementFunctionOverTheColumnsOfEachRow) {
    run("CREATE TABLE base (n int)");
    run("INSERT INTO base VALUES (1), (2)");
    run("CREATE FUNCTION dbo.copia(@n int) RETURNS @r TABLE (n int) AS\n"
        "BEGIN INSERT @r VALUES (@n) RETURN END");
    // Never one row's table for all rows: named as what is not done.
    EXPECT_EQ(nativeErrorOf("SELECT c.n FROM base b CROSS APPLY dbo.copia(b.n) c"), 40517);
    EXPECT_NE(lastFailure.front().description.indexOf("copia"), -1);
}

TEST_F(UserFunctionsTest, shouldRunTheNewBodyWhenARepeatedBatchCallsAChangedFunction) {
    run("CREATE FUNCTION dbo.valor() RETURNS int AS BEGIN RETURN 1 END");
    run("CREATE FUNCTION dbo.lista() RETURNS TABLE AS RETURN SELECT 1 AS v");
    const QString batch = QStringLiteral("SELECT dbo.valor(), (SELECT v FROM dbo.lista())");
    EXPECT_EQ(rows(batch).front()[0].toInt64(), 1);
    run("ALTER FUNCTION dbo.valor() RETURNS int AS BEGIN RETURN 2 END");
    run("ALTER FUNCTION dbo.lista() RETURNS TABLE AS RETURN SELECT 3 AS v");
    const auto again = rows(batch);
    EXPECT_EQ(again.front()[0].toInt64(), 2);
    EXPECT_EQ(again.front()[1].toInt64(), 3);
    // A return type that changes changes the value's type too.
    run("ALTER FUNCTION dbo.valor() RETURNS varchar(5) AS BEGIN RETURN 'x' + 'yz' END");
    EXPECT_EQ(rows(batch).front()[0].toString(), "xyz");
}

TEST_F(UserFunctionsTest, shouldCompileARepeatedBatchAgainWhenAFunctionWasDropped) {
    run("CREATE TABLE marca (n int)");
    run("CREATE FUNCTION dbo.f() RETURNS int AS BEGIN RETURN 1 END");
    const QString batch = QStringLiteral("INSERT INTO marca VALUES (1)\nSELECT dbo.f()");
    run(batch);
    run("DROP FUNCTION dbo.f");
    // The call no longer compiles: the INSERT before it does not run.
    EXPECT_EQ(nativeErrorOf(batch), 4121);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM marca").toInt64(), 1);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.objects WHERE name LIKE 'estaciones%'").toInt64(), 0);
}

TEST_F(UserFunctionsTest, shouldCompileABodyThatQueriesTheFunctionItDefines) {
    // The body's SELECT is compiled with the CREATE, before the catalogue holds the function.
    run("CREATE FUNCTION dbo.suma_hasta(@n int) RETURNS int AS\n"
        "BEGIN\n"
        "    DECLARE @r int = 0\n"
        "    IF @n > 0 SELECT @r = @n + dbo.suma_hasta(@n - 1)\n"
        "    RETURN @r\n"
        "END");
    EXPECT_EQ(scalar("SELECT dbo.suma_hasta(4)").toInt64(), 10);
}

TEST_F(UserFunctionsTest, shouldCallTheFunctionOfTheDatabaseInUse) {
    run("CREATE FUNCTION dbo.origen() RETURNS varchar(10) AS BEGIN RETURN 'prueba' END");
    run("CREATE DATABASE OTRA");
    run("USE OTRA");
    run("CREATE FUNCTION dbo.origen() RETURNS varchar(10) AS BEGIN RETURN 'otra' END");
    const ExecutionResult result =
        run("USE PRUEBA\nSELECT dbo.origen()\nUSE OTRA\nSELECT dbo.origen()\nUSE PRUEBA");
    ASSERT_EQ(result.resultSets.size(), 2u);
    EXPECT_EQ(result.resultSets[0].rows.front()[0].toString(), "prueba");
    EXPECT_EQ(result.resultSets[1].rows.front()[0].toString(), "otra");
}

TEST_F(UserFunctionsTest, shouldGiveMoneyBeyondADoublesDigitsExactly) {
    run("CREATE FUNCTION dbo.igual(@m money) RETURNS money AS BEGIN RETURN @m END");
    EXPECT_EQ(scalar("SELECT dbo.igual(922337203685477.5807)"),
              Variant(Currency{std::numeric_limits<std::int64_t>::max()}));
    EXPECT_EQ(scalar("SELECT dbo.igual(-922337203685477.5807)"),
              Variant(Currency{-std::numeric_limits<std::int64_t>::max()}));
}

TEST_F(UserFunctionsTest, shouldReadDatesOfArgumentsAndResultsWhateverTheDateFormat) {
    run("CREATE FUNCTION dbo.manana(@d datetime) RETURNS datetime AS BEGIN RETURN @d + 1 END");
    // The stored form of a date must not be read again as day-month text.
    const Variant value =
        scalar("SET DATEFORMAT dmy\nSELECT dbo.manana(CONVERT(datetime, '2024-01-07', 23))");
    ASSERT_TRUE(value.isDate());
    EXPECT_EQ(value.toDate().date, QDate(2024, 1, 8));
}

TEST_F(UserFunctionsTest, shouldTellCallsFromTableNamesFollowedByColumnLists) {
    // dbo.name (...) names a table here: no function is looked for (4121).
    run("CREATE TABLE dbo.madre (id int PRIMARY KEY)");
    run("CREATE TABLE dbo.hija (id int PRIMARY KEY, madre int REFERENCES dbo.madre (id))");
    run("CREATE INDEX ix_hija ON dbo.hija (madre)");
    run("INSERT INTO dbo.madre (id) VALUES (1)");
    run("INSERT dbo.hija (id, madre) VALUES (1, 1)");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM dbo.hija").toInt64(), 1);
    // ... and wherever a value goes, a call is one.
    run("CREATE FUNCTION dbo.uno() RETURNS int AS BEGIN RETURN 1 END");
    const auto values = rows("SELECT TOP 1 dbo.uno(), -dbo.uno(), CASE WHEN dbo.uno() = 1 THEN "
                             "dbo.uno() END, (dbo.uno()), 2 * dbo.uno() FROM dbo.hija WHERE "
                             "madre IN (dbo.uno()) AND NOT dbo.uno() = 2 ORDER BY dbo.uno()");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0][0].toInt64(), 1);
    EXPECT_EQ(values[0][1].toInt64(), -1);
    EXPECT_EQ(values[0][2].toInt64(), 1);
    EXPECT_EQ(values[0][3].toInt64(), 1);
    EXPECT_EQ(values[0][4].toInt64(), 2);
    EXPECT_EQ(nativeErrorOf("SELECT dbo.dos()"), 4121);
}

TEST(FunctionDefinitionTest, shouldReadTheThreeKindsOfDefinition) {
    const FunctionDefinition scalar = parseFunction(tsql::significantTokens(
        u"CREATE FUNCTION dbo.f(@a int, @b varchar(10) = 'x') RETURNS decimal(10, 2) "
        u"WITH SCHEMABINDING, RETURNS NULL ON NULL INPUT AS BEGIN RETURN @a END"));
    EXPECT_EQ(scalar.name, "f");
    EXPECT_EQ(scalar.kind, FunctionKind::Scalar);
    EXPECT_EQ(scalar.returnType, "decimal(10,2)");
    ASSERT_EQ(scalar.parameters.size(), 2u);
    EXPECT_TRUE(scalar.parameters[1].defaultValue.has_value());
    EXPECT_TRUE(scalar.nullOnNullInput);

    // AS is optional before an inline function's RETURN; the parentheses
    // around its query are not part of it.
    const FunctionDefinition inlined = parseFunction(tsql::significantTokens(
        u"CREATE OR ALTER FUNCTION g() RETURNS TABLE RETURN (SELECT 1 AS a) ;"));
    EXPECT_EQ(inlined.kind, FunctionKind::InlineTable);
    EXPECT_EQ(inlined.typeCode(), "IF");
    ASSERT_FALSE(inlined.query.empty());
    EXPECT_TRUE(inlined.query.front().isWord(u"SELECT"));
    EXPECT_TRUE(inlined.query.back().isWord(u"a"));

    const FunctionDefinition table = parseFunction(tsql::significantTokens(
        u"ALTER FUNCTION dbo.h(@n int) RETURNS @t TABLE (a int, b money) WITH EXECUTE AS CALLER "
        u"AS BEGIN INSERT @t VALUES (@n, 1) RETURN END"));
    EXPECT_EQ(table.kind, FunctionKind::Table);
    EXPECT_EQ(table.resultVariable, "@t");
    EXPECT_TRUE(table.resultColumns.front().isPunctuation(u"("));
    EXPECT_TRUE(table.resultColumns.back().isPunctuation(u")"));
    EXPECT_TRUE(table.body.front().isWord(u"BEGIN"));
}

TEST(FunctionDefinitionTest, shouldRefuseADefinitionWithoutReturnsOrParentheses) {
    for (const char16_t* text : {u"CREATE FUNCTION dbo.f(@a int) AS BEGIN RETURN 1 END",
                                 u"CREATE FUNCTION dbo.f RETURNS int AS BEGIN RETURN 1 END",
                                 u"CREATE FUNCTION dbo.f() RETURNS int AS RETURN 1"}) {
        try {
            parseFunction(tsql::significantTokens(text));
            ADD_FAILURE() << "accepted: " << QString::fromUtf16(text).toStdString();
        } catch (const ProviderFailure& failure) {
            EXPECT_EQ(failure.nativeError(), 102);
        }
    }
}

} // namespace
} // namespace estaciones::db::sqlite::test
