// A text compared with a money or decimal column compares as the column's
// number, whatever form the comparison takes and wherever the text comes from.
#include "platform/db/embedded/EmbeddedFixture.h"

#include "platform/db/embedded/bind/TextComparedWithExactColumns.h"
#include "platform/db/embedded/storage/RawFile.h"

#include <QStringList>

namespace estaciones::db::sqlite::test {

namespace {

class TextComparedWithExactColumnsTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE precio (id int PRIMARY KEY, m money, s smallmoney, d decimal(10,2), "
            "n numeric(8,3), c varchar(10))");
        run("INSERT INTO precio VALUES (1, 2.5, 2.5, 2.50, 2.5, '2.5'), "
            "(2, 10, 10, 10.00, 10, '10.00'), (3, 7.25, 7.25, 7.25, 7.25, 'x')");
    }

    // The ids the query gives, in its order.
    QStringList ids(const QString& query, const std::vector<Variant>& parameters = {}) {
        const ExecutionResult result = run(query, parameters);
        QStringList found;
        if (!result.resultSets.empty())
            for (const auto& row : result.resultSets.front().rows)
                found << row.at(0).toString();
        return found;
    }
};

TEST_F(TextComparedWithExactColumnsTest, EveryComparisonOperatorComparesNumbers) {
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m = '2.5'"), QStringList{"1"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE '10' = d"), QStringList{"2"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE s <> '2.50' ORDER BY id"), QStringList({"2", "3"}));
    // As texts '10' < '7' would hold; as numbers it does not.
    EXPECT_EQ(ids("SELECT id FROM precio WHERE n > '7' ORDER BY id"), QStringList({"2", "3"}));
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m <= '7.25' AND m >= '2.5' ORDER BY id"),
              QStringList({"1", "3"}));
    EXPECT_EQ(ids("SELECT id FROM precio WHERE d != '10' AND d < '3' ORDER BY id"),
              QStringList{"1"});
    EXPECT_EQ(ids("SELECT p.id FROM precio AS p WHERE p.m = '7.25'"), QStringList{"3"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE precio.d = ' 7.25 '"), QStringList{"3"});
}

TEST_F(TextComparedWithExactColumnsTest, RangesListsAndSimpleCaseCompareNumbers) {
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m BETWEEN '3' AND '10' ORDER BY id"),
              QStringList({"2", "3"}));
    EXPECT_EQ(ids("SELECT id FROM precio WHERE d NOT BETWEEN '3' AND '10'"), QStringList{"1"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE n IN ('10', '2.500') ORDER BY id"),
              QStringList({"1", "2"}));
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m NOT IN ('10', 2.5)"), QStringList{"3"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m IN (SELECT c FROM precio WHERE id < 3) "
                  "ORDER BY id"),
              QStringList({"1", "2"}));
    EXPECT_EQ(nativeErrorOf("SELECT id FROM precio WHERE m IN (SELECT c FROM precio)"), 235)
        << "row 3's 'x' is no money";
    EXPECT_EQ(ids("SELECT id FROM precio WHERE d IN (SELECT DISTINCT '10.0')"), QStringList{"2"});
    const auto rows = this->rows("SELECT CASE d WHEN '2.5' THEN 'a' WHEN '10.0' THEN 'b' "
                                 "ELSE 'c' END FROM precio ORDER BY id");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].at(0).toString(), QStringLiteral("a"));
    EXPECT_EQ(rows[1].at(0).toString(), QStringLiteral("b"));
    EXPECT_EQ(rows[2].at(0).toString(), QStringLiteral("c"));
}

TEST_F(TextComparedWithExactColumnsTest, VariablesParametersAndCharacterColumnsConvert) {
    EXPECT_EQ(ids("DECLARE @p varchar(10) = '7.25'\nSELECT id FROM precio WHERE m = @p"),
              QStringList{"3"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE d = ?", {Variant(QStringLiteral("10"))}),
              QStringList{"2"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE ? < m ORDER BY id", {Variant(QStringLiteral("5"))}),
              QStringList({"2", "3"}));
    // The character column converts row by row: 'x' never meets a money value.
    EXPECT_EQ(ids("SELECT a.id FROM precio a JOIN precio b ON a.m = b.c WHERE b.id < 3 "
                  "ORDER BY a.id"),
              QStringList({"1", "2"}));
    // A call or a subquery that gives text converts when it runs.
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m = LTRIM(' 10')"), QStringList{"2"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE (SELECT c FROM precio WHERE id = 1) = d"),
              QStringList{"1"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m = ROUND(m, 0) ORDER BY id"), QStringList{"2"});
    // A float is above money: it is not rounded to four decimals first.
    EXPECT_EQ(ids("DECLARE @f float = 2.50001\nSELECT id FROM precio WHERE m = @f"), QStringList{});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m = ?", {Variant(2.50001)}), QStringList{});
}

TEST_F(TextComparedWithExactColumnsTest, ViewsAndTemporaryTablesLendTheirColumnsTypes) {
    run("CREATE VIEW v_precio AS SELECT id, m FROM precio");
    EXPECT_EQ(ids("SELECT id FROM v_precio WHERE m = '7.25'"), QStringList{"3"});
    run("CREATE TABLE #caja (id int, m money)");
    run("INSERT INTO #caja VALUES (1, 4.5)");
    EXPECT_EQ(ids("SELECT id FROM #caja WHERE m = '4.50'"), QStringList{"1"});
}

TEST_F(TextComparedWithExactColumnsTest, ChangesFindTheirRowsAndAssignmentsStayAssignments) {
    run("UPDATE precio SET m = '3.75', c = '3.75' WHERE m = '2.5'");
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m = 3.75"), QStringList{"1"});
    EXPECT_EQ(scalar("SELECT c FROM precio WHERE id = 1").toString(), QStringLiteral("3.75"));
    run("DELETE FROM precio WHERE d IN ('10')");
    EXPECT_EQ(ids("SELECT id FROM precio ORDER BY id"), QStringList({"1", "3"}));
}

TEST_F(TextComparedWithExactColumnsTest, TextThatIsNoNumberFailsAsTheServerDoes) {
    EXPECT_EQ(nativeErrorOf("SELECT id FROM precio WHERE m = 'abc'"), 235);
    EXPECT_EQ(nativeErrorOf("SELECT id FROM precio WHERE d > 'abc'"), 8114);
    EXPECT_EQ(nativeErrorOf("SELECT id FROM precio WHERE n IN ('1', 'dos')"), 8114);
    // A character column with a 'x' in it fails once it meets a money value.
    EXPECT_EQ(nativeErrorOf("SELECT a.id FROM precio a JOIN precio b ON a.m = b.c"), 235);
}

TEST_F(TextComparedWithExactColumnsTest, OtherColumnsAndAmbiguousNamesAreLeftAlone) {
    run("CREATE TABLE codigo (m varchar(10))");
    run("INSERT INTO codigo VALUES ('2.50')");
    // The inner m is the text column; converting it would find '2.5' there.
    EXPECT_EQ(ids("SELECT id FROM precio WHERE EXISTS (SELECT 1 FROM codigo WHERE m = '2.5')"),
              QStringList{});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE c = '10.00'"), QStringList{"2"});
}

TEST_F(TextComparedWithExactColumnsTest, EachQueryBlockLooksForItsColumnsInItsOwnTablesFirst) {
    run("CREATE TABLE codigo (id int, m varchar(10))");
    run("INSERT INTO codigo VALUES (1, '2.50')");
    // The outer m is money, the inner one text: each compares its own way.
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m = '2.5' AND "
                  "EXISTS (SELECT 1 FROM codigo WHERE m = '2.50')"),
              QStringList{"1"});
    // A name the subquery's tables do not have is the outer query's.
    EXPECT_EQ(ids("SELECT id FROM precio p WHERE EXISTS (SELECT 1 FROM codigo k WHERE k.m = p.m)"),
              QStringList{"1"});
    // An expression over the outer query's columns is typed over its tables.
    EXPECT_EQ(ids("SELECT id FROM precio p WHERE EXISTS "
                  "(SELECT 1 FROM codigo k WHERE COALESCE(p.m, 0) = k.m)"),
              QStringList{"1"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE d IN (SELECT m FROM codigo)"), QStringList{"1"});
}

TEST_F(TextComparedWithExactColumnsTest, ColumnListsAndExactOperationsKeepTheirTypes) {
    EXPECT_EQ(ids("SELECT clave FROM (SELECT id, m FROM precio) AS x (clave, importe) "
                  "WHERE importe = '10'"),
              QStringList{"2"});
    run("CREATE VIEW v_lista (clave, importe) AS SELECT id, d FROM precio");
    EXPECT_EQ(ids("SELECT clave FROM v_lista WHERE importe = '7.25'"), QStringList{"3"});
    // money + int is money, decimal(10,2) + int a decimal.
    EXPECT_EQ(ids("SELECT id FROM precio WHERE m + 1 = '3.5'"), QStringList{"1"});
    EXPECT_EQ(ids("SELECT id FROM precio WHERE '11' = d + 1"), QStringList{"2"});
    // Two texts through a derived table stay texts.
    EXPECT_EQ(ids("SELECT id FROM (SELECT id, c FROM precio) x WHERE x.c = '10'"), QStringList{});
}

TEST(TextComparedWithExactColumns, AConstantKeepsTheColumnsIndex) {
    RawFile db(QStringLiteral(":memory:"));
    ASSERT_EQ(db.rows("CREATE TABLE t (id INT, m money blob, c varchar(10))"), "");
    ASSERT_EQ(db.rows("CREATE INDEX ix_t_m ON t (m)"), "");
    const QString query =
        withTextComparedAsNumbers(db.handle(), QStringLiteral("SELECT id FROM t WHERE m = '2.5'"));
    EXPECT_EQ(query, QStringLiteral("SELECT id FROM t WHERE m = tsql_text_as_number('money', '2.5')"));
    const std::string plan = db.rows(("EXPLAIN QUERY PLAN " + query).toUtf8().constData());
    EXPECT_NE(plan.find("ix_t_m (m=?)"), std::string::npos) << plan;
    // Through a common table expression, which SQLite reads as the table itself.
    const QString throughCte = withTextComparedAsNumbers(
        db.handle(), QStringLiteral("WITH c AS (SELECT id, m FROM t) SELECT id FROM c WHERE m = '2.5'"));
    EXPECT_EQ(throughCte, QStringLiteral("WITH c AS (SELECT id, m FROM t) SELECT id FROM c WHERE "
                                         "m = tsql_text_as_number('money', '2.5')"));
    const std::string cteplan = db.rows(("EXPLAIN QUERY PLAN " + throughCte).toUtf8().constData());
    EXPECT_NE(cteplan.find("ix_t_m (m=?)"), std::string::npos) << cteplan;
    // Neither an assignment nor a comparison of two other columns is touched.
    const QString update = QStringLiteral("UPDATE t SET m = '1', c = '2' WHERE c = '3'");
    EXPECT_EQ(withTextComparedAsNumbers(db.handle(), update), update);
    EXPECT_EQ(withTextComparedAsNumbers(db.handle(),
                                        QStringLiteral("UPDATE t SET c = '2' WHERE m > '3'")),
              QStringLiteral("UPDATE t SET c = '2' WHERE m > tsql_text_as_number('money', '3')"));
}

// x IN (m, 'a') is x = m OR x = 'a': the text items leave the list that
// meets x as money, wherever they stand in it.
TEST(TextComparedWithExactColumns, TextItemsOfAMixedListMeetTheTextUnconverted) {
    RawFile db(QStringLiteral(":memory:"));
    ASSERT_EQ(db.rows("CREATE TABLE t (id INT, m money blob, c varchar(10))"), "");
    const auto rewritten = [&](const char* query) {
        return withTextComparedAsNumbers(db.handle(), QString::fromUtf8(query));
    };
    EXPECT_EQ(rewritten("SELECT id FROM t WHERE c IN ('1', m, '2', 3)"),
              QStringLiteral("SELECT id FROM t WHERE (tsql_text_as_number('money', c) IN (m, 3) "
                             "OR c IN ('1', '2'))"));
    EXPECT_EQ(rewritten("SELECT id FROM t WHERE c NOT IN (m, '1') AND id = 1"),
              QStringLiteral("SELECT id FROM t WHERE (tsql_text_as_number('money', c) NOT IN (m) "
                             "AND c NOT IN ('1')) AND id = 1"));
    // A list of texts only, or of exact items only, stays one list.
    const QString texts = QStringLiteral("SELECT id FROM t WHERE c IN ('1', '2')");
    EXPECT_EQ(rewritten("SELECT id FROM t WHERE c IN ('1', '2')"), texts);
    EXPECT_EQ(rewritten("SELECT id FROM t WHERE c IN (m, 2)"),
              QStringLiteral("SELECT id FROM t WHERE tsql_text_as_number('money', c) IN (m, 2)"));
}

} // namespace

// Binary is the lowest type: meeting a whole number it converts to the
// number's type, a column of either kind or a literal, on either side.
TEST(TextComparedWithExactColumns, BinaryMeetingAWholeNumberTakesItsType) {
    RawFile db(QStringLiteral(":memory:"));
    ASSERT_EQ(db.rows("CREATE TABLE t (id INT, v varbinary(8), n bigint)"), "");
    const auto rewritten = [&](const char* query) {
        return withTextComparedAsNumbers(db.handle(), QString::fromUtf8(query));
    };
    EXPECT_EQ(rewritten("SELECT id FROM t WHERE v = 10"),
              QStringLiteral("SELECT id FROM t WHERE tsql_convert('int', v) = 10"));
    EXPECT_EQ(rewritten("SELECT id FROM t WHERE n > v"),
              QStringLiteral("SELECT id FROM t WHERE n > tsql_convert('bigint', v)"));
    EXPECT_EQ(rewritten("SELECT id FROM t WHERE X'01' = id"),
              QStringLiteral("SELECT id FROM t WHERE tsql_convert('int', X'01') = id"));
    EXPECT_EQ(rewritten("SELECT CASE WHEN 3 IN (X'03', 7) THEN 1 END"),
              QStringLiteral("SELECT CASE WHEN 3 IN (tsql_convert('int', X'03'), 7) THEN 1 END"));
    // Two binary values, or binary and text, compare as they are.
    const QString bytes = QStringLiteral("SELECT id FROM t WHERE v = X'01' OR v = 'a'");
    EXPECT_EQ(rewritten("SELECT id FROM t WHERE v = X'01' OR v = 'a'"), bytes);
}

} // namespace estaciones::db::sqlite::test
