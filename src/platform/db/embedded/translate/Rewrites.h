#pragma once

#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/storage/DialectSettings.h"

// The translator's steps, each a rewrite of a statement's pieces in place.
namespace estaciones::db::tsql::rewrite {

// N'x' → 'x'; 0x41 → X'41'; [x] and "x" → "x"; #t → "#t"; @Var → @var; @@X → @__x;
// !< and !> → >= and <=; COLLATE <SQL Server collation> → ours.
void normaliseTokens(Pieces& pieces);
// [db].[dbo].[x], dbo.x, db..x → x; tempdb..sysobjects → tempdbSysobjects.
void stripOwners(Pieces& pieces);
// The name tempdb..sysobjects keeps until mapCatalogViews replaces it.
inline constexpr QStringView tempdbSysobjects = u"tsql_tempdb_sysobjects";
// Table hints (WITH (NOLOCK), (NOLOCK), WITH (INDEX(x))...), storage options
// (WITH (FILLFACTOR = 90), ON [PRIMARY], TEXTIMAGE_ON) and OPTION (...).
void removeHintsAndOptions(Pieces& pieces);

// sysobjects, sys.objects, sys.tables, INFORMATION_SCHEMA.TABLES/COLUMNS/VIEWS
// → subqueries over SQLite's own catalogue.
void mapCatalogViews(Pieces& pieces, const DialectSettings& settings);
// (SELECT ',' + x FROM t FOR XML PATH('')) → the texts joined, escaped as
// XML text is (unless read back with , TYPE).value(...)).
void joinForXmlPath(Pieces& pieces);
// Whether the arguments of an xml value's method `method`(path, type) read
// its text: value('.', '[n]varchar(max)'), the only method the engine
// carries out (it keeps no xml values).
bool readsXmlText(const Token& method, const Token& path, const Token& type);
// PIVOT and UNPIVOT over a derived table or a table → a grouped query with
// one filtered aggregate per value / a union of one query per column; CROSS
// and OUTER APPLY of a table-valued function → a join, of a subquery over
// one table → a join on the rows the subquery picks for each outer row.
// Other APPLY forms fail by name.
void rewriteTableOperators(Pieces& pieces, const DialectSettings& settings);
// A derived table that names its columns, (query) AS t (a, b), → one whose
// query is a common table expression with those names (SQLite's place for them).
void nameDerivedTableColumns(Pieces& pieces);
// GROUP BY ROLLUP (...), CUBE (...), GROUPING SETS (...) and the older
// GROUP BY a, b WITH ROLLUP | WITH CUBE → the UNION ALL of one query per
// grouping set, NULL for what each rolls up, GROUPING() and GROUPING_ID()
// its constants.
void expandGroupingSets(Pieces& pieces);
// NEXT VALUE FOR s → tsql_next_value('s', n), n the times the statement
// names s (each row's n calls give one value); 11721 and 11723 where the
// server refuses it.
void mapNextValues(Pieces& pieces);
// TOP n [PERCENT] in SELECT, UPDATE and DELETE → LIMIT at the statement's level.
void moveTopToLimit(Pieces& pieces);
// ORDER BY ... OFFSET m ROWS [FETCH NEXT n ROWS ONLY] → LIMIT n OFFSET m.
void moveOffsetFetchToLimit(Pieces& pieces);
// A CASE or IIF whose every result is the NULL constant has no type: 8133.
void checkCaseResults(const Pieces& pieces);
// Built-in functions → SQLite's own or the dialect's tsql_* functions.
void mapFunctions(Pieces& pieces);
// SELECT total = a + b, 'Total' = … → SELECT a + b AS total: the item's
// name written before its expression.
void moveLeadingAliases(Pieces& pieces);
// UPDATE t SET a += x → SET a = a + (x): the compound assignment operators
// (+= -= *= /= %= &= |= ^=) in an UPDATE's SET list.
void expandCompoundAssignments(Pieces& pieces);
// SELECT x AS 'Total' … ORDER BY 'Total' → ORDER BY "Total": a text in ORDER
// BY that is the name of a select item sorts by that item, not a constant.
void nameTextSortItems(Pieces& pieces);
// The first piece of the select list of the SELECT at `select` (after
// DISTINCT or ALL and TOP n | TOP (expr) [PERCENT] [WITH TIES]), and the end
// of the list that starts at `from`.
size_t selectListStart(const Pieces& pieces, size_t select);
size_t selectListEnd(const Pieces& pieces, size_t from);
// (SELECT x FROM t ...) used as a value → (SELECT tsql_single_value(x) FROM
// t ...), which ends the statement with 512 when it gives more than one row.
// With `expression`, the pieces are an expression (IF, SET @v = ...), where
// a subquery at the start is a value too.
void checkScalarSubqueries(Pieces& pieces, bool expression = false);
// $1.50 → tsql_convert('money', 1.50): a money literal.
void mapMoneyLiterals(Pieces& pieces);
// In a call tsql_convert('money' or 'decimal(p,s)', literal ...), a number
// literal with more digits than a double keeps → its text, which the
// conversion reads digit by digit.
void keepWideLiteralExact(Pieces& call);
// Every other decimal literal that a double cannot hold, as the exact
// conversion of its text to its own type (1234567890123456.78 is a decimal(18,2)).
void keepWideLiteralsExact(Pieces& pieces);
// 2147483647 + 1 → tsql_int_result(2147483647 + 1): arithmetic on two int
// literals (an int variable's value among them) must give an int, or 8115.
void checkIntLiteralArithmetic(Pieces& pieces);
// a / b → tsql_divide(a, b) and a % b → tsql_modulo(a, b), which end the
// statement on a zero divisor.
void mapDivisionOperators(Pieces& pieces);
// a + b → tsql_add(a, b), which joins text and adds numbers.
void mapPlusOperator(Pieces& pieces);
// a - b → tsql_subtract(a, b): SQLite would read a date kept as text as its year.
void mapMinusOperator(Pieces& pieces);
// x AT TIME ZONE 'zone' → tsql_at_time_zone(x, 'zone').
void mapAtTimeZone(Pieces& pieces);
// A datetimeoffset a function gives → the same COLLATE tsql_date, which a
// column of the type declares: the value compares, sorts, groups and gives
// MIN and MAX by its UTC instant wherever it goes (a derived table's
// column takes its expression's collation).
void collateOffsetValues(Pieces& pieces);
// a ^ b → tsql_bitwise_xor(a, b): SQLite has no exclusive or. a & b and
// a | b the same way: SQLite reads a binary operand as text (0x04 & 14 is 0
// there) and ranks & and | below + and -, where the server ranks them beside.
void mapBitwiseOperators(Pieces& pieces);
// Comparisons whose left side is no column (a function, a variable, a
// literal) get the collation a column would have given them.
void addComparisonCollations(Pieces& pieces);
// The calls that give a text (UPPER, LEFT, a + of texts ...) → the same
// COLLATE tsql_text, as the server gives them their arguments' collation:
// they sort, group, take DISTINCT, MIN and MAX as a column would, wherever
// they go (a derived table's column takes its expression's collation).
void collateTextResults(Pieces& pieces);
// A text literal compared with a number literal (a numeric variable's value)
// → that number's type, as the server converts by type precedence: @n < '10'
// compares numbers. Text that is no number fails with 245 or 8114.
void convertTextComparedWithNumbers(Pieces& pieces);
// 'd/m/yyyy' and 'dd/mm/yy' literals compared with something (not assigned) → canonical 'yyyy-mm-dd
// hh:mm:ss', read in the session's order, so that they compare right even where no date column
// lends its collation (CTE columns, expressions).
void canonicaliseDateLiterals(Pieces& pieces, const DialectSettings& settings);
// CAST('2025-13-01' AS datetime) under SET DATEFORMAT ydm: the text literal
// a conversion to a date type reads without a style, in ISO order as that
// type reads it (inIsoOrder), so that the conversion reads it as written.
void orderWrittenDates(Pieces& pieces, const DialectSettings& settings);
// WITH x AS (... x ...) → WITH RECURSIVE; INSERT t → INSERT INTO t;
// DELETE t → DELETE FROM t.
void completeStatementSyntax(Pieces& pieces);

// INSERT ... VALUES (..., DEFAULT, ...) → the column's default in its place.
void fillDefaultValues(Pieces& pieces);
// INSERT TOP (n) [INTO] t ... SELECT → INSERT INTO t ... SELECT * FROM (SELECT ...) LIMIT n.
void moveInsertTop(Pieces& pieces);

// Everything above that applies to expressions and queries, in order.
void rewriteQuery(Pieces& pieces, const DialectSettings& settings);

} // namespace estaciones::db::tsql::rewrite
