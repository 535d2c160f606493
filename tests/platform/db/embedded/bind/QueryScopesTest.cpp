// The query blocks of a statement and the tables each one reads: where a
// name in a condition is looked for.
#include "platform/db/embedded/bind/QueryScopes.h"

#include <gtest/gtest.h>

namespace estaciones::db::sqlite {

namespace {

// The index of the `occurrence`-th piece whose text is `text`.
size_t pieceOf(const tsql::Pieces& pieces, const QString& text, int occurrence = 1) {
    for (size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].text == text && --occurrence == 0)
            return i;
    ADD_FAILURE() << "no piece " << text.toStdString();
    return 0;
}

QStringList namesOf(const QueryScope& scope) {
    QStringList names;
    for (const QuerySource& source : scope.sources)
        names << (source.derived ? QStringLiteral("(query)") : source.schema + '.' + source.name) +
                     ' ' + source.alias;
    return names;
}

TEST(QueryScopesTest, shouldGiveEachQueryOfAUnionAndEachSubqueryItsOwnTables) {
    const tsql::Pieces pieces =
        tsql::piecesOf("SELECT a FROM t WHERE a = 1 UNION ALL SELECT b FROM u AS x WHERE b = 2 AND "
                       "EXISTS (SELECT 1 FROM w WHERE w.k = x.k)");
    const QueryScopes scopes(pieces);
    const size_t first = scopes.scopeAt(pieceOf(pieces, "a", 2));
    const size_t second = scopes.scopeAt(pieceOf(pieces, "b", 2));
    const size_t inner = scopes.scopeAt(pieceOf(pieces, "k"));
    ASSERT_NE(first, QueryScope::none);
    EXPECT_NE(first, second);
    EXPECT_EQ(namesOf(scopes.scope(first)), QStringList{".t "});
    EXPECT_EQ(namesOf(scopes.scope(second)), QStringList{".u x"});
    // The subquery's own table first, then the query around it (x.k).
    EXPECT_EQ(namesOf(scopes.scope(inner)), QStringList{".w "});
    EXPECT_EQ(scopes.scope(inner).parent, second);
    EXPECT_EQ(scopes.scope(second).sourcesText, "u AS x");
}

TEST(QueryScopesTest, shouldReadSchemasDerivedTablesAndFunctionsAsSources) {
    const tsql::Pieces pieces = tsql::piecesOf(
        "SELECT * FROM temp.caja AS a JOIN (SELECT 1 AS v) d ON a.i = d.v "
        "CROSS JOIN json_each('[1]') j, plana LEFT JOIN (otra o JOIN mas ON o.i = mas.i) ON 1 = 1 "
        "WHERE d.v = 1");
    const QueryScopes scopes(pieces);
    const QueryScope& scope = scopes.scope(scopes.scopeAt(pieceOf(pieces, "WHERE")));
    // A table-valued function has no name whose columns could be read.
    EXPECT_EQ(namesOf(scope),
              QStringList({"temp.caja a", "(query) d", ". j", ".plana ", ".otra o", ".mas "}));
    const QuerySource& derived = scope.sources[1];
    EXPECT_EQ(tsql::render(pieces, derived.queryFrom, derived.queryTo), "SELECT 1 AS v");
    EXPECT_TRUE(derived.isNamed("D"));
    EXPECT_FALSE(scope.sources[0].isNamed("caja")) << "an alias hides the table's name";
    // The derived table's query is a block of its own.
    EXPECT_NE(scopes.scopeAt(pieceOf(pieces, "v")), scopes.scopeAt(pieceOf(pieces, "WHERE")));
}

TEST(QueryScopesTest, shouldLetTheQueryAndLaterBodiesSeeCommonTables) {
    const tsql::Pieces pieces =
        tsql::piecesOf("WITH c (k, v) AS (SELECT 1, 2), e AS (SELECT k FROM c WHERE v = 2) "
                       "SELECT * FROM e WHERE k = 1");
    const QueryScopes scopes(pieces);
    const size_t query = scopes.scopeAt(pieceOf(pieces, "k", 3));
    const size_t body = scopes.scopeAt(pieceOf(pieces, "v", 2));
    ASSERT_NE(query, body);
    const CommonTable* c = scopes.commonTable(body, "C");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->columns, QStringList({"k", "v"}));
    EXPECT_EQ(tsql::render(pieces, c->bodyFrom, c->bodyTo), "SELECT 1, 2");
    EXPECT_NE(scopes.commonTable(query, "e"), nullptr);
    EXPECT_EQ(scopes.commonTable(query, "f"), nullptr);
    EXPECT_EQ(scopes.withText(query),
              "WITH c (k, v) AS (SELECT 1, 2), e AS (SELECT k FROM c WHERE v = 2)");
}

TEST(QueryScopesTest, shouldReadTheTablesOfDataChanges) {
    const tsql::Pieces update = tsql::piecesOf(
        "UPDATE t AS a SET x = (SELECT max(y) FROM z) FROM u JOIN w ON u.i = w.i WHERE a.i = u.i");
    const QueryScopes updating(update);
    const QueryScope& set = updating.scope(updating.scopeAt(pieceOf(update, "WHERE")));
    EXPECT_EQ(namesOf(set), QStringList({".t a", ".u ", ".w "}));
    EXPECT_EQ(set.sourcesText, "t AS a, u JOIN w ON u.i = w.i");
    EXPECT_EQ(namesOf(updating.scope(updating.scopeAt(pieceOf(update, "y")))), QStringList{".z "});

    const tsql::Pieces removal = tsql::piecesOf("DELETE FROM t WHERE x IN (SELECT y FROM z)");
    const QueryScopes removing(removal);
    EXPECT_EQ(removing.scope(removing.scopeAt(pieceOf(removal, "x"))).sourcesText, "t");

    // A MERGE sorts its rows with CREATE TABLE ... AS a query.
    const tsql::Pieces made = tsql::piecesOf(
        "CREATE TEMP TABLE m AS SELECT s.rowid FROM t AS d JOIN temp.s AS s ON d.k = s.k");
    const QueryScopes making(made);
    EXPECT_EQ(namesOf(making.scope(making.scopeAt(pieceOf(made, "ON")))),
              QStringList({".t d", "temp.s s"}));
    // A table's definition has no query block; the trigger that checks it has.
    const tsql::Pieces table = tsql::piecesOf("CREATE TABLE t (m money CHECK (m > '0'))");
    EXPECT_EQ(QueryScopes(table).scopeAt(pieceOf(table, ">")), QueryScope::none);
    const tsql::Pieces trigger = tsql::piecesOf(
        "CREATE TRIGGER k AFTER INSERT ON t WHEN EXISTS (SELECT 1 FROM t WHERE rowid = NEW.rowid "
        "AND NOT coalesce((m > '0'), 1)) BEGIN SELECT 1; END");
    const QueryScopes checking(trigger);
    EXPECT_EQ(namesOf(checking.scope(checking.scopeAt(pieceOf(trigger, ">")))), QStringList{".t "});
}

} // namespace

} // namespace estaciones::db::sqlite
