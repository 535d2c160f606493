// The query blocks of a statement and the tables each one reads: where a
// name in a condition is looked for.
#include "platform/db/embedded/bind/QueryScopes.h"

#include <gtest/gtest.h>

namespace estaciones::db::sqlite {

namespace {

// A statement's pieces and blocks; a piece is found by its text (the
// `occurrence`-th piece that reads so).
struct ParsedStatement {
    explicit ParsedStatement(const QString& text) : pieces(tsql::piecesOf(text)), scopes(pieces) {}
    ParsedStatement(const ParsedStatement&) = delete;

    size_t piece(const QString& text, int occurrence = 1) const {
        for (size_t i = 0; i < pieces.size(); ++i)
            if (pieces[i].text == text && --occurrence == 0)
                return i;
        ADD_FAILURE() << "no piece " << text.toStdString();
        return 0;
    }
    size_t scopeOf(const QString& text, int occurrence = 1) const {
        return scopes.scopeAt(piece(text, occurrence));
    }
    const QueryScope& blockOf(const QString& text, int occurrence = 1) const {
        return scopes.scope(scopeOf(text, occurrence));
    }

    const tsql::Pieces pieces;
    const QueryScopes scopes;
};

QStringList namesOf(const QueryScope& scope) {
    QStringList names;
    for (const QuerySource& source : scope.sources)
        names << (source.derived ? QStringLiteral("(query)") : source.schema + '.' + source.name) +
                     ' ' + source.alias;
    return names;
}

TEST(QueryScopesTest, shouldGiveEachQueryOfAUnionAndEachSubqueryItsOwnTables) {
    const ParsedStatement statement(
        "SELECT a FROM t WHERE a = 1 UNION ALL SELECT b FROM u AS x WHERE b = 2 AND "
        "EXISTS (SELECT 1 FROM w WHERE w.k = x.k)");
    const size_t first = statement.scopeOf("a", 2);
    const size_t second = statement.scopeOf("b", 2);
    ASSERT_NE(first, QueryScope::none);
    EXPECT_NE(first, second);
    EXPECT_EQ(namesOf(statement.scopes.scope(first)), QStringList{".t "});
    EXPECT_EQ(namesOf(statement.scopes.scope(second)), QStringList{".u x"});
    EXPECT_EQ(statement.scopes.scope(second).sourcesText, "u AS x");
    // The subquery's own table first, then the query around it (x.k).
    EXPECT_EQ(namesOf(statement.blockOf("k")), QStringList{".w "});
    EXPECT_EQ(statement.blockOf("k").parent, second);
}

TEST(QueryScopesTest, shouldReadSchemasDerivedTablesAndFunctionsAsSources) {
    const ParsedStatement statement(
        "SELECT * FROM temp.caja AS a JOIN (SELECT 1 AS v) d ON a.i = d.v "
        "CROSS JOIN json_each('[1]') j, plana LEFT JOIN (otra o JOIN mas ON o.i = mas.i) ON 1 = 1 "
        "WHERE d.v = 1");
    const QueryScope& scope = statement.blockOf("WHERE");
    // A table-valued function has no name whose columns could be read.
    EXPECT_EQ(namesOf(scope),
              QStringList({"temp.caja a", "(query) d", ". j", ".plana ", ".otra o", ".mas "}));
    const QuerySource& derived = scope.sources[1];
    EXPECT_EQ(tsql::render(statement.pieces, derived.queryFrom, derived.queryTo), "SELECT 1 AS v");
    EXPECT_TRUE(derived.isNamed("D"));
    EXPECT_FALSE(scope.sources[0].isNamed("caja")) << "an alias hides the table's name";
    // The derived table's query is a block of its own.
    EXPECT_NE(statement.scopeOf("v"), statement.scopeOf("WHERE"));
}

TEST(QueryScopesTest, shouldLetTheQueryAndLaterBodiesSeeCommonTables) {
    const ParsedStatement statement(
        "WITH c (k, v) AS (SELECT 1, 2), e AS (SELECT k FROM c WHERE v = 2) "
        "SELECT * FROM e WHERE k = 1");
    const size_t query = statement.scopeOf("k", 3);
    const size_t body = statement.scopeOf("v", 2);
    ASSERT_NE(query, body);
    const CommonTable* c = statement.scopes.commonTable(body, "C");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->columns, QStringList({"k", "v"}));
    EXPECT_EQ(tsql::render(statement.pieces, c->bodyFrom, c->bodyTo), "SELECT 1, 2");
    EXPECT_NE(statement.scopes.commonTable(query, "e"), nullptr);
    EXPECT_EQ(statement.scopes.commonTable(query, "f"), nullptr);
    EXPECT_EQ(statement.scopes.withText(query),
              "WITH c (k, v) AS (SELECT 1, 2), e AS (SELECT k FROM c WHERE v = 2)");
}

TEST(QueryScopesTest, shouldReadTheTablesOfDataChanges) {
    const ParsedStatement update(
        "UPDATE t AS a SET x = (SELECT max(y) FROM z) FROM u JOIN w ON u.i = w.i WHERE a.i = u.i");
    EXPECT_EQ(namesOf(update.blockOf("WHERE")), QStringList({".t a", ".u ", ".w "}));
    EXPECT_EQ(update.blockOf("WHERE").sourcesText, "t AS a, u JOIN w ON u.i = w.i");
    EXPECT_EQ(namesOf(update.blockOf("y")), QStringList{".z "});

    const ParsedStatement removal("DELETE FROM t WHERE x IN (SELECT y FROM z)");
    EXPECT_EQ(removal.blockOf("x").sourcesText, "t");

    // A MERGE sorts its rows with CREATE TABLE ... AS a query.
    const ParsedStatement made(
        "CREATE TEMP TABLE m AS SELECT s.rowid FROM t AS d JOIN temp.s AS s ON d.k = s.k");
    EXPECT_EQ(namesOf(made.blockOf("ON")), QStringList({".t d", "temp.s s"}));

    // A table's definition has no query block; the trigger that checks it has.
    const ParsedStatement table("CREATE TABLE t (m money CHECK (m > '0'))");
    EXPECT_EQ(table.scopeOf(">"), QueryScope::none);
    const ParsedStatement trigger(
        "CREATE TRIGGER k AFTER INSERT ON t WHEN EXISTS (SELECT 1 FROM t WHERE rowid = NEW.rowid "
        "AND NOT coalesce((m > '0'), 1)) BEGIN SELECT 1; END");
    EXPECT_EQ(namesOf(trigger.blockOf(">")), QStringList{".t "});
}

} // namespace

} // namespace estaciones::db::sqlite
