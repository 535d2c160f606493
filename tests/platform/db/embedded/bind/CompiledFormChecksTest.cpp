// The checks a batch's statements pass before anything runs, read from their
// tokens: what they must refuse, and the look-alikes they must let through
// (a table named like a function, a type's size, a windowed ORDER BY ...).
#include "platform/db/embedded/bind/BuiltInArgumentCounts.h"
#include "platform/db/embedded/bind/DataTypeNames.h"
#include "platform/db/embedded/bind/GroupedColumns.h"
#include "platform/db/embedded/bind/OrderByInSelectList.h"
#include "platform/db/embedded/bind/OrderByItems.h"
#include "platform/db/embedded/bind/OrderByPlacement.h"
#include "platform/db/embedded/parse/SignificantTokens.h"

#include <gtest/gtest.h>

namespace estaciones::db::sqlite {

namespace {

using Check = std::optional<ProviderError> (*)(const tsql::Tokens&);

// The error's number and text, or "" when the statement passes.
std::string refusal(Check check, const char* statement) {
    const std::optional<ProviderError> error = check(tsql::significantTokens(QString::fromUtf8(statement)));
    return error ? std::to_string(error->nativeError) + " " + error->description.toStdString()
                 : std::string();
}

TEST(BuiltInArgumentCounts, NamesFollowedByParenthesesThatAreNoCallsPass) {
    for (const char* statement :
         {"CREATE TABLE format (a int, b int)", "INSERT INTO space (a, b) VALUES (1, 2)",
          "SELECT dbo.len(1, 2)", "SELECT CAST(x AS char(10)), CONVERT(nchar(2), y)",
          "SELECT COUNT(*), COUNT(DISTINCT a), TRIM('x' FROM b) FROM t",
          "SELECT a FROM t LEFT JOIN (SELECT 1 AS k) AS d ON 1 = 1", "SELECT len(a,) FROM t",
          "CREATE INDEX i ON left (a, b)", "WITH replace (a, b) AS (SELECT 1, 2) SELECT a FROM replace"})
        EXPECT_EQ(refusal(builtInArgumentCountError, statement), "") << statement;
}

TEST(BuiltInArgumentCounts, EachCallIsCountedWhereverItStands) {
    EXPECT_EQ(refusal(builtInArgumentCountError, "SELECT UPPER(LEFT(a)) FROM t"),
              "174 The left function requires 2 argument(s).");
    EXPECT_EQ(refusal(builtInArgumentCountError, "UPDATE t SET a = ROUND(b, 1, 0, 1)"),
              "189 The round function requires 2 to 3 arguments.");
    EXPECT_EQ(refusal(builtInArgumentCountError, "SELECT SUBSTRING('abc', (1), 2)"), "");
    EXPECT_EQ(builtInArgumentCount(QStringLiteral("concat"))->most, 254);
    EXPECT_FALSE(builtInArgumentCount(QStringLiteral("coalesce")));
}

TEST(DataTypeNames, VariablesAndColumnsAreNumberedByTheirPlace) {
    EXPECT_EQ(refusal(unknownDataTypeError, "DECLARE @a int, @b AS entero"),
              "2715 Column, parameter, or variable #2: Cannot find data type entero.");
    // A table constraint is no column; a computed column is one.
    EXPECT_EQ(refusal(unknownDataTypeError,
                      "CREATE TABLE t (a int, CONSTRAINT pk PRIMARY KEY (a), c AS a + 1, d texto)"),
              "2715 Column, parameter, or variable #3: Cannot find data type texto.");
    EXPECT_EQ(refusal(unknownDataTypeError, "ALTER TABLE t ADD b int, c moneda"),
              "2715 Column, parameter, or variable #2: Cannot find data type moneda.");
    EXPECT_EQ(refusal(unknownDataTypeError, "DECLARE @t TABLE (a int, b nada)"),
              "2715 Column, parameter, or variable #2: Cannot find data type nada.");
    EXPECT_EQ(refusal(unknownDataTypeError, "SELECT TRY_CONVERT(numero, '1')"),
              "243 Type numero is not a defined system type.");
}

TEST(DataTypeNames, TheServersOwnNamesPass) {
    for (const char* statement :
         {"DECLARE @a sysname, @b rowversion, @c integer, @d dec(5, 2), @e national character varying(4)",
          "DECLARE c CURSOR FOR SELECT 1", "CREATE TABLE t (a dbo.tipo, b [varchar](10) NOT NULL)",
          "SELECT CAST(1 AS bigint), CONVERT(datetime2(3), '2024-01-01', 121)"})
        EXPECT_EQ(refusal(unknownDataTypeError, statement), "") << statement;
}

TEST(OrderByInSelectList, WhatTheListHoldsIsSortedBy) {
    for (const char* statement :
         {"SELECT DISTINCT a AS x, t.b FROM t ORDER BY x, b, 1, t.a DESC",
          "SELECT DISTINCT a, ROW_NUMBER() OVER (ORDER BY c) FROM t ORDER BY a",
          "SELECT DISTINCT * FROM t ORDER BY c", "SELECT a FROM t ORDER BY c",
          "SELECT a AS x FROM t UNION SELECT b FROM u ORDER BY x",
          "SELECT a FROM (SELECT a FROM t UNION SELECT b FROM u) AS d ORDER BY a"})
        EXPECT_EQ(refusal(orderByNotInSelectListError, statement), "") << statement;
    EXPECT_EQ(refusal(orderByNotInSelectListError, "SELECT DISTINCT a FROM t ORDER BY a + 1")
                  .substr(0, 3),
              "145");
    // A UNION's ORDER BY names the first query's columns.
    EXPECT_EQ(refusal(orderByNotInSelectListError, "SELECT a FROM t UNION SELECT b FROM u ORDER BY b")
                  .substr(0, 3),
              "104");
}

TEST(OrderByPlacement, OnlyWhereItLimitsOrShapesRows) {
    for (const char* statement :
         {"SELECT a FROM t ORDER BY a", "SELECT * FROM (SELECT TOP 3 a FROM t ORDER BY a) AS d",
          "SELECT * FROM (SELECT a FROM t ORDER BY a OFFSET 2 ROWS) AS d",
          "SELECT (SELECT ',' + a FROM t ORDER BY a FOR XML PATH(''))",
          "SELECT STRING_AGG(a, ',') WITHIN GROUP (ORDER BY a), RANK() OVER (ORDER BY b) FROM t",
          "INSERT INTO u (a) SELECT a FROM t ORDER BY a", "DECLARE c CURSOR FOR SELECT a FROM t ORDER BY a"})
        EXPECT_EQ(refusal(misplacedOrderByError, statement), "") << statement;
    for (const char* statement :
         {"SELECT * FROM (SELECT a FROM t ORDER BY a) AS d", "CREATE VIEW v AS SELECT a FROM t ORDER BY a",
          "CREATE FUNCTION f () RETURNS TABLE AS RETURN SELECT a FROM t ORDER BY a"})
        EXPECT_EQ(refusal(misplacedOrderByError, statement).substr(0, 4), "1033") << statement;
}

TEST(OrderByItems, ConstantsAndRepeatsAreRefusedInTheQuerysOwnList) {
    for (const char* statement :
         {"SELECT a FROM t ORDER BY 1, 2 DESC", "SELECT a FROM t ORDER BY t.a, u.a",
          "SELECT a FROM t ORDER BY a + 1, a", "SELECT a FROM t ORDER BY (SELECT NULL)",
          "SELECT a AS [Total Salary] FROM t ORDER BY 'total salary' DESC",
          "SELECT a FROM t ORDER BY @v, LEN('x')",
          "SELECT ROW_NUMBER() OVER (ORDER BY a, a) FROM t ORDER BY a",
          "SELECT a FROM (SELECT TOP 1 a FROM t ORDER BY a) d ORDER BY a",
          "SELECT a FROM t ORDER BY a OFFSET 1 ROWS FETCH NEXT 1 ROWS ONLY"})
        EXPECT_EQ(refusal(orderByItemsError, statement), "") << statement;
    EXPECT_EQ(refusal(orderByItemsError, "SELECT a FROM t ORDER BY a, NULL"),
              "408 A constant expression was encountered in the ORDER BY list, position 2.");
    EXPECT_EQ(refusal(orderByItemsError, "SELECT a FROM t ORDER BY a, -1.5 DESC").substr(0, 3), "408");
    EXPECT_EQ(refusal(orderByItemsError, "SELECT a FROM t ORDER BY [A] ASC, a DESC").substr(0, 3),
              "169");
    EXPECT_EQ(refusal(orderByItemsError, "SELECT a FROM t UNION SELECT b FROM u ORDER BY 1, 1")
                  .substr(0, 3),
              "169");
    EXPECT_EQ(refusal(orderByItemsError,
                      "SELECT * FROM (SELECT TOP 2 a FROM t ORDER BY a, 'x') d").substr(0, 3),
              "408");
}

// The server names the column by the table the FROM clause writes (its
// schema too), a derived table by its alias.
TEST(GroupedColumns, TheColumnIsNamedByItsTable) {
    const auto refusedWith = [](const char* statement) {
        const ColumnLookup hasColumn = [](const QString& table, const QString& column) {
            return table == QLatin1String("u") && column == QLatin1String("c");
        };
        const ColumnList columnsOf = [](const QString& table) {
            return table == QLatin1String("t") ? QStringList{QStringLiteral("a"), QStringLiteral("b")}
                                               : QStringList{};
        };
        const auto error = ungroupedColumnError(
            tsql::significantTokens(QString::fromUtf8(statement)), hasColumn, columnsOf);
        return error ? error->description.section(QLatin1Char('\''), 1, 1).toStdString()
                     : std::string();
    };
    EXPECT_EQ(refusedWith("SELECT x.b, COUNT(*) FROM t AS x"), "t.b");
    EXPECT_EQ(refusedWith("SELECT b FROM [dbo].[t] GROUP BY a"), "dbo.t.b");
    EXPECT_EQ(refusedWith("SELECT d.k FROM (SELECT 1 AS k) AS d GROUP BY d.j"), "d.k");
    EXPECT_EQ(refusedWith("SELECT c, MAX(a) FROM t JOIN u ON t.a = u.a"), "u.c");
    EXPECT_EQ(refusedWith("SELECT a FROM t GROUP BY a HAVING MAX(b) > 1 AND b > 2"), "t.b");
    // A star stands for its table's columns; a subquery names the outer ones
    // by their table or alias.
    EXPECT_EQ(refusedWith("SELECT * FROM t GROUP BY a"), "t.b");
    EXPECT_EQ(refusedWith("SELECT x.* FROM t x JOIN u ON 1 = 1 GROUP BY x.a"), "t.b");
    EXPECT_EQ(refusedWith("SELECT a, (SELECT COUNT(*) FROM u WHERE u.c = x.b) FROM t x GROUP BY a"),
              "t.b");
    for (const char* statement :
         {"SELECT a, b FROM t GROUP BY a, b WITH ROLLUP",
          "SELECT a, SUM(b) FROM t GROUP BY GROUPING SETS ((a), ())",
          "SELECT (a + b) * 2 FROM t GROUP BY a + b", "SELECT a, (SELECT MAX(b) FROM u) FROM t GROUP BY a",
          "SELECT a, DATEADD(day, 1, a), CAST(a AS varchar(3)), CURRENT_TIMESTAMP FROM t GROUP BY a",
          "SELECT a, b FROM t", "SELECT COUNT(*) FROM t HAVING COUNT(*) > 1",
          "SELECT * FROM t GROUP BY a, b", "SELECT u.* FROM t JOIN u ON 1 = 1 GROUP BY t.a",
          "SELECT a, (SELECT COUNT(*) FROM u WHERE u.c = t.a) FROM t GROUP BY a",
          "SELECT a, (SELECT MAX(t.b) FROM u) FROM t GROUP BY a",
          "SELECT a, (SELECT COUNT(*) FROM t x WHERE x.b = 1) FROM t x GROUP BY a"})
        EXPECT_EQ(refusedWith(statement), "") << statement;
}

} // namespace

} // namespace estaciones::db::sqlite
