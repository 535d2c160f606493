// The expressions outside select lists that the binder types: the operands
// of conditions, and what UPDATE, DELETE, INSERT and MERGE compute with
// them on money and decimals.
#include "platform/db/embedded/EmbeddedFixture.h"
#include "platform/db/embedded/bind/StatementExpressions.h"
#include "platform/db/embedded/parse/Tokenizer.h"

namespace estaciones::db::sqlite::test {

namespace {

// The operands of the condition `text` that hold arithmetic, as text.
QStringList operandsOf(const QString& text) {
    const tsql::Pieces pieces = tsql::toPieces(tsql::tokenize(text));
    QStringList operands;
    for (const auto& [from, to] : arithmeticOperands(pieces, 0, pieces.size())) {
        operands << tsql::render(pieces, from, to);
    }
    return operands;
}

} // namespace

TEST(StatementExpressions, shouldFindBothSidesOfEveryComparisonThroughAndOrNot) {
    EXPECT_EQ(operandsOf("a * 2 = b - 1 AND NOT (c + 1 > 3 OR d <= e * f)"),
              (QStringList{"a * 2", "b - 1", "c + 1", "e * f"}));
    // Plain operands have nothing to type.
    EXPECT_TRUE(operandsOf("a = 1 AND b <> 'x' OR c IS NULL").isEmpty());
}

// The translator follows a computed operand with the text collation; the
// operand to type is the value before it.
TEST(StatementExpressions, shouldTakeTheOperandBeforeItsCollation) {
    EXPECT_EQ(operandsOf("tsql_add(m, n) COLLATE tsql_text = ?1 AND "
                         "tsql_divide(m, 3) COLLATE tsql_text IN (0.1, 0.2)"),
              (QStringList{"tsql_add(m, n)", "tsql_divide(m, 3)"}));
    // A simple CASE's operand is one such value, in parentheses or not.
    const tsql::Pieces pieces = tsql::toPieces(tsql::tokenize(u"(a * 3) COLLATE tsql_text"));
    const auto operand = arithmeticOperand(pieces, 0, pieces.size());
    ASSERT_TRUE(operand.has_value());
    EXPECT_EQ(tsql::render(pieces, operand->first, operand->second), QStringLiteral("a * 3"));
    const tsql::Pieces plain = tsql::toPieces(tsql::tokenize(u"m COLLATE tsql_text"));
    EXPECT_FALSE(arithmeticOperand(plain, 0, plain.size()).has_value());
}

TEST(StatementExpressions, shouldTellBetweensAndFromTheConjunction) {
    EXPECT_EQ(operandsOf("a * 3 BETWEEN b - 1 AND c + 1 AND d * 2 = 4"),
              (QStringList{"a * 3", "b - 1", "c + 1", "d * 2"}));
}

TEST(StatementExpressions, shouldTakeInListsAndLikeButLeaveSubqueriesAlone) {
    EXPECT_EQ(operandsOf("a * 2 IN (1, b * 3, 4) AND x NOT LIKE y + '%'"),
              (QStringList{"a * 2", "b * 3", "y + '%'"}));
    EXPECT_TRUE(operandsOf("a IN (SELECT b * 2 FROM t) AND EXISTS (SELECT c * 2 FROM u)")
                    .isEmpty());
    // COUNT(*), a sign and t.* are no arithmetic.
    EXPECT_TRUE(operandsOf("COUNT(*) > 1 AND a = -1").isEmpty());
}

using ExactStatementsTest = EmbeddedFixture;

// 1.30 * 1.15 is 1.4950, which a decimal(10,2) keeps as 1.50; in doubles the
// product is 1.49499999..., which rounds to 1.49.
TEST_F(ExactStatementsTest, shouldStoreExactProductsFromUpdateInsertAndMerge) {
    run("CREATE TABLE Precios (id int PRIMARY KEY, importe decimal(10,2))");
    run("INSERT INTO Precios VALUES (1, 1.30), (2, 0.10), (3, 0.70)");
    run("UPDATE Precios SET importe = importe * 1.15 WHERE id = 1");
    EXPECT_EQ(scalar("SELECT importe FROM Precios WHERE id = 1").toDecimal().toString(),
              QStringLiteral("1.50"));
    run("INSERT INTO Precios SELECT 4, importe * 1.15 FROM Precios WHERE id = 3");
    run("INSERT INTO Precios VALUES (5, CAST(1.90 AS decimal(10,2)) * 1.05)");
    run("MERGE Precios AS p USING (SELECT 2 AS id) AS s ON p.id = s.id "
        "WHEN MATCHED THEN UPDATE SET importe = p.importe * 1.15;");
    const auto values = rows("SELECT importe FROM Precios ORDER BY id");
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[1][0].toDecimal().toString(), QStringLiteral("0.12"));
    EXPECT_EQ(values[3][0].toDecimal().toString(), QStringLiteral("0.81"));
    EXPECT_EQ(values[4][0].toDecimal().toString(), QStringLiteral("2.00"));
}

TEST_F(ExactStatementsTest, shouldCompareExactValuesInWhereAndHaving) {
    run("CREATE TABLE Medidas (grupo int, d decimal(6,2))");
    run("INSERT INTO Medidas VALUES (1, 0.10), (1, 0.20), (2, 0.70)");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Medidas WHERE d * 3 = 0.30").toInt32(), 1);
    EXPECT_EQ(scalar("SELECT grupo FROM Medidas GROUP BY grupo HAVING SUM(d) * 3 = 0.90")
                  .toInt32(),
              1);
    run("DELETE FROM Medidas WHERE d * 1.15 = 0.805");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Medidas").toInt32(), 2);
    // A statement whose expressions cannot be typed runs as it was written.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Medidas WHERE d * 2 > 0 AND grupo + 0 = 1").toInt32(),
              2);
}

// The line of an error inside sp_executesql is the line in its own text.
TEST_F(ExactStatementsTest, shouldGiveTheLineOfTheDynamicTextInsideSpExecuteSql) {
    const ExecutionResult batch = run("BEGIN TRY\n"
                             "  EXEC sp_executesql N'SELECT 1\n"
                             "SELECT 1 / 0', N'@a int,\n"
                             "@b int', 1, 2\n"
                             "END TRY\n"
                             "BEGIN CATCH\n"
                             "  SELECT ERROR_NUMBER(), ERROR_LINE()\n"
                             "END CATCH");
    // The dynamic text's first SELECT, then the CATCH block's.
    ASSERT_EQ(batch.resultSets.size(), 2u);
    const auto& result = batch.resultSets.back().rows;
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0][0].toInt32(), 8134);
    EXPECT_EQ(result[0][1].toInt32(), 2);
}

} // namespace estaciones::db::sqlite::test
