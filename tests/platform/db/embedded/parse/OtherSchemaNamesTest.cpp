#include "platform/db/embedded/parse/OtherSchemaNames.h"
#include "platform/db/embedded/parse/Tokenizer.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace estaciones::db::tsql;

namespace {

Tokens statementTokens(const QString& text) {
    Tokens out;
    for (Token& t : tokenize(text))
        if (!t.isTrivia())
            out.push_back(std::move(t));
    return out;
}

// The statement's tokens after the pass, joined by blanks.
QString merged(const char* text) {
    QStringList parts;
    for (const Token& t : withOtherSchemaNames(statementTokens(QString::fromUtf8(text))))
        parts << t.text;
    return parts.join(QLatin1Char(' '));
}

} // namespace

TEST(OtherSchemaNamesTest, shouldMakeOneNameOfAnObjectOfAnotherSchemaWhereAnObjectIsNamed) {
    EXPECT_EQ(merged("SELECT * FROM ventas.t"), "SELECT * FROM [ventas.t] AS [t]");
    EXPECT_EQ(merged("SELECT * FROM [ventas].[t] x"), "SELECT * FROM [ventas.t] x");
    EXPECT_EQ(merged("SELECT * FROM dbo.a, ventas.t WHERE a.x = 1"),
              "SELECT * FROM dbo . a , [ventas.t] AS [t] WHERE a . x = 1");
    EXPECT_EQ(merged("SELECT * FROM a JOIN ventas.t ON a.x = t.x"),
              "SELECT * FROM a JOIN [ventas.t] AS [t] ON a . x = t . x");
    EXPECT_EQ(merged("INSERT INTO ventas.t (a) VALUES (1)"),
              "INSERT INTO [ventas.t] ( a ) VALUES ( 1 )");
    EXPECT_EQ(merged("INSERT ventas.t VALUES (1)"), "INSERT [ventas.t] VALUES ( 1 )");
    EXPECT_EQ(merged("UPDATE ventas.t SET a = 1"), "UPDATE [ventas.t] SET a = 1");
    EXPECT_EQ(merged("DELETE FROM ventas.t"), "DELETE FROM [ventas.t]");
    EXPECT_EQ(merged("DROP TABLE IF EXISTS ventas.t"), "DROP TABLE IF EXISTS [ventas.t]");
    EXPECT_EQ(merged("TRUNCATE TABLE main.t"), "TRUNCATE TABLE [main.t]");
    EXPECT_EQ(merged("EXEC @r = ventas.p 1"), "EXEC @r = [ventas.p] 1");
    EXPECT_EQ(merged("SELECT NEXT VALUE FOR ventas.s"), "SELECT NEXT VALUE FOR [ventas.s]");
    EXPECT_EQ(merged("CREATE TRIGGER tr ON ventas.t AFTER INSERT AS SELECT 1"),
              "CREATE TRIGGER tr ON [ventas.t] AFTER INSERT AS SELECT 1");
    EXPECT_EQ(merged("CREATE INDEX i ON ventas.t (a)"), "CREATE INDEX i ON [ventas.t] ( a )");
    EXPECT_EQ(merged("SELECT * FROM PRUEBA.ventas.t"), "SELECT * FROM PRUEBA . . [ventas.t] AS [t]");
    EXPECT_EQ(merged("DELETE FROM t OUTPUT deleted.a INTO ventas.h"),
              "DELETE FROM t OUTPUT deleted . a INTO [ventas.h]");
    // A function of another schema called in an expression.
    EXPECT_EQ(merged("SELECT ventas.f(1) + 2"), "SELECT [ventas.f] ( 1 ) + 2");
}

TEST(OtherSchemaNamesTest, shouldLeaveColumnsAliasesAndTheKeptSchemasAsWritten) {
    const char* unchanged[] = {
        "SELECT ventas.a, t.b FROM dbo.t AS ventas JOIN u t ON ventas.x = t.x",
        "SELECT * FROM dbo.t, sys.objects o, INFORMATION_SCHEMA.TABLES",
        "SELECT * FROM OTRA..t",
        "SELECT TRIM(' ' FROM x.a) FROM x",
        "UPDATE t SET t.a = 1, t.b = 2 FROM t, u WHERE t.x = u.x",
        "SELECT x.c.value('(/a)[1]', 'int') FROM x",
        "SELECT a FROM t ORDER BY t.a, t.b",
        "SELECT (SELECT MAX(a) FROM t), u.b FROM u",
        "EXEC sys.sp_help 't'",
    };
    for (const char* text : unchanged) {
        QStringList parts;
        for (const Token& t : statementTokens(QString::fromUtf8(text)))
            parts << t.text;
        EXPECT_EQ(merged(text), parts.join(QLatin1Char(' '))) << text;
    }
}

TEST(OtherSchemaNamesTest, shouldLeaveTheNameACreateGivesForTheStatementToRefuse) {
    EXPECT_EQ(merged("CREATE TABLE ventas.t (a int)"), "CREATE TABLE ventas . t ( a int )");
    EXPECT_EQ(merged("CREATE OR ALTER PROCEDURE ventas.p AS SELECT 1"),
              "CREATE OR ALTER PROCEDURE ventas . p AS SELECT 1");
    EXPECT_EQ(merged("SELECT a INTO ventas.t FROM u"), "SELECT a INTO ventas . t FROM u");

    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("CREATE TABLE ventas.t (a int)")), "ventas");
    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("CREATE VIEW [Ventas].v AS SELECT 1 AS a")),
              "Ventas");
    EXPECT_EQ(
        otherSchemaOfDefinition(statementTokens("CREATE OR ALTER FUNCTION guest.f() RETURNS int")),
        "guest");
    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("SELECT a INTO PRUEBA.ventas.t FROM u")),
              "ventas");
    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("CREATE TABLE dbo.t (a int)")), "");
    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("CREATE TABLE t (a int)")), "");
    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("CREATE INDEX i ON ventas.t (a)")), "");
    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("SELECT a FROM ventas.t")), "");
    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("SELECT (SELECT 1 INTO x.y) FROM t")), "");
}

// A table source without an alias is named by its object's name, as the
// server exposes it; one with an alias, a target of a change and a table
// function keep what they have.
TEST(OtherSchemaNamesTest, shouldExposeAnUnaliasedTableSourceByItsObjectsName) {
    EXPECT_EQ(merged("SELECT t.a FROM ventas.t WHERE t.a = 1"),
              "SELECT t . a FROM [ventas.t] AS [t] WHERE t . a = 1");
    EXPECT_EQ(merged("SELECT * FROM ventas.t AS v, ventas.u w, ventas.x"),
              "SELECT * FROM [ventas.t] AS v , [ventas.u] w , [ventas.x] AS [x]");
    EXPECT_EQ(merged("SELECT * FROM ventas.t WITH (NOLOCK) JOIN ventas.u ON 1 = 1"),
              "SELECT * FROM [ventas.t] AS [t] WITH ( NOLOCK ) JOIN [ventas.u] AS [u] ON 1 = 1");
    EXPECT_EQ(merged("SELECT * FROM (SELECT a FROM ventas.t) d"),
              "SELECT * FROM ( SELECT a FROM [ventas.t] AS [t] ) d");
    EXPECT_EQ(merged("SELECT * FROM ventas.f(1)"), "SELECT * FROM [ventas.f] ( 1 )");
    EXPECT_EQ(merged("DELETE FROM ventas.t WHERE a = 1"), "DELETE FROM [ventas.t] WHERE a = 1");
    EXPECT_EQ(merged("DELETE TOP (2) FROM ventas.t"), "DELETE TOP ( 2 ) FROM [ventas.t]");
    EXPECT_EQ(merged("DELETE v FROM ventas.t v"), "DELETE v FROM [ventas.t] v");
    EXPECT_EQ(merged("DELETE ventas.t FROM ventas.t JOIN u ON 1 = 1"),
              "DELETE [ventas.t] FROM [ventas.t] AS [t] JOIN u ON 1 = 1");
    EXPECT_EQ(merged("UPDATE ventas.t SET a = 1"), "UPDATE [ventas.t] SET a = 1");
    EXPECT_EQ(merged("MERGE INTO ventas.t USING ventas.u ON t.a = u.a WHEN MATCHED THEN DELETE;"),
              "MERGE INTO [ventas.t] AS [t] USING [ventas.u] AS [u] ON t . a = u . a WHEN MATCHED "
              "THEN DELETE ;");
    EXPECT_EQ(merged("MERGE ventas.t AS d USING ventas.u s ON 1 = 1"),
              "MERGE [ventas.t] AS d USING [ventas.u] s ON 1 = 1");
}

// schema.table.column reads the column through the exposed name; a
// three-part name of no table source of the batch stays for the later steps
// to refuse.
TEST(OtherSchemaNamesTest, shouldReadThreePartColumnsThroughTheExposedName) {
    EXPECT_EQ(merged("SELECT ventas.t.a, t.b FROM ventas.t ORDER BY ventas.t.a"),
              "SELECT [t] . a , t . b FROM [ventas.t] AS [t] ORDER BY [t] . a");
    EXPECT_EQ(merged("SELECT VENTAS.T.a FROM ventas.t"), "SELECT [T] . a FROM [ventas.t] AS [t]");
    EXPECT_EQ(merged("SELECT ventas.t.*, 1 FROM ventas.t"),
              "SELECT [t] . * , 1 FROM [ventas.t] AS [t]");
    EXPECT_EQ(merged("SELECT ventas.t.a FROM ventas.t AS v"),
              "SELECT ventas . t . a FROM [ventas.t] AS v");
    EXPECT_EQ(merged("SELECT compras.t.a FROM ventas.t"),
              "SELECT compras . t . a FROM [ventas.t] AS [t]");
    EXPECT_EQ(merged("SELECT x.c.value('a', 'int') FROM ventas.x"),
              "SELECT x . c . value ( 'a' , 'int' ) FROM [ventas.x] AS [x]");
}

// The table an UPDATE or DELETE changes names its columns by schema.table
// too; a table source of the statement's FROM exposes them under its alias.
TEST(OtherSchemaNamesTest, shouldReadThreePartColumnsOfTheChangedTable) {
    EXPECT_EQ(merged("UPDATE ventas.t SET a = 1 WHERE ventas.t.b = 2"),
              "UPDATE [ventas.t] SET a = 1 WHERE [ventas.t] . b = 2");
    EXPECT_EQ(merged("DELETE FROM ventas.t WHERE ventas.t.a = 1"),
              "DELETE FROM [ventas.t] WHERE [ventas.t] . a = 1");
    EXPECT_EQ(merged("DELETE ventas.t WHERE ventas.t.a = 1"),
              "DELETE [ventas.t] WHERE [ventas.t] . a = 1");
    EXPECT_EQ(merged("UPDATE ventas.t SET ventas.t.a = u.a FROM ventas.t JOIN u ON ventas.t.b = u.b"),
              "UPDATE [ventas.t] SET [t] . a = u . a FROM [ventas.t] AS [t] JOIN u ON [t] . b = u . b");
    EXPECT_EQ(merged("INSERT INTO ventas.t (a) SELECT ventas.t.a FROM u"),
              "INSERT INTO [ventas.t] ( a ) SELECT ventas . t . a FROM u");
}

// Its own name alone qualifies them too, in SET, WHERE and OUTPUT, unless
// something else of the batch may go by that name: then it stays as written.
TEST(OtherSchemaNamesTest, shouldReadTwoPartColumnsOfTheChangedTable) {
    EXPECT_EQ(merged("UPDATE ventas.t SET t.a = t.b + 1 OUTPUT deleted.a WHERE t.b = 2"),
              "UPDATE [ventas.t] SET [ventas.t] . a = [ventas.t] . b + 1 OUTPUT deleted . a WHERE [ventas.t] . b = 2");
    EXPECT_EQ(merged("DELETE FROM [ventas].[t] WHERE T.a = 1"), "DELETE FROM [ventas.t] WHERE [ventas.t] . a = 1");
    EXPECT_EQ(merged("DELETE ventas.t WHERE EXISTS (SELECT 1 FROM u WHERE u.a = t.a)"),
              "DELETE [ventas.t] WHERE EXISTS ( SELECT 1 FROM u WHERE u . a = [ventas.t] . a )");
    // Another table or an alias of that name.
    EXPECT_EQ(merged("UPDATE ventas.t SET a = 1 WHERE t.b IN (SELECT b FROM dbo.t)"),
              "UPDATE [ventas.t] SET a = 1 WHERE t . b IN ( SELECT b FROM dbo . t )");
    EXPECT_EQ(merged("UPDATE ventas.t SET a = 1; SELECT t.b FROM u t"),
              "UPDATE [ventas.t] SET a = 1 ; SELECT t . b FROM u t");
    // Only the statement's own: the next one reads its own table sources.
    EXPECT_EQ(merged("DELETE ventas.t WHERE t.b = 2 SELECT t.a FROM ventas.t"),
              "DELETE [ventas.t] WHERE [ventas.t] . b = 2 SELECT t . a FROM [ventas.t] AS [t]");
    EXPECT_EQ(merged("UPDATE ventas.t SET a = CASE WHEN t.b = 1 THEN 0 END WHERE t.b > 0; SELECT t.b FROM dbo.t"),
              "UPDATE [ventas.t] SET a = CASE WHEN [ventas.t] . b = 1 THEN 0 END WHERE [ventas.t] . b > 0 ; "
              "SELECT t . b FROM dbo . t");
    // A table source of the statement exposes it under its own name already.
    EXPECT_EQ(merged("UPDATE ventas.t SET a = 1 FROM ventas.t WHERE t.b = 2"),
              "UPDATE [ventas.t] SET a = 1 FROM [ventas.t] AS [t] WHERE t . b = 2");
    // A function of a schema, and what an INSERT names, are no such columns.
    EXPECT_EQ(merged("UPDATE ventas.t SET a = t.f(1)"), "UPDATE [ventas.t] SET a = [t.f] ( 1 )");
    EXPECT_EQ(merged("INSERT INTO ventas.t (a) SELECT t.a FROM u AS x"),
              "INSERT INTO [ventas.t] ( a ) SELECT t . a FROM u AS x");
}

TEST(OtherSchemaNamesTest, shouldMergeEachNameOfADropList) {
    EXPECT_EQ(merged("DROP TABLE ventas.a, dbo.b, [ventas].[c]"),
              "DROP TABLE [ventas.a] , dbo . b , [ventas.c]");
    EXPECT_EQ(merged("DROP VIEW IF EXISTS c, ventas.v"), "DROP VIEW IF EXISTS c , [ventas.v]");
}

TEST(OtherSchemaNamesTest, shouldReadAStoredDefinitionAsTheParserWould) {
    QStringList parts;
    for (const Token& t : storedDefinitionTokens(u"CREATE TRIGGER ventas.tr ON ventas.t AFTER INSERT AS\r\n"
                                                 u"-- nota\r\nSELECT 1"))
        parts << t.text;
    EXPECT_EQ(parts.join(QLatin1Char(' ')),
              "CREATE TRIGGER ventas . tr ON [ventas.t] AFTER INSERT AS SELECT 1");
}

TEST(OtherSchemaNamesTest, shouldMergeTheNameACreateGivesOnceItsSchemaIsChecked) {
    const auto defined = [](const char* text) {
        QStringList parts;
        for (const Token& t : withDefinitionInSchema(statementTokens(QString::fromUtf8(text))))
            parts << t.text;
        return parts.join(QLatin1Char(' '));
    };
    EXPECT_EQ(defined("CREATE TABLE ventas.t (a int)"), "CREATE TABLE [ventas.t] ( a int )");
    EXPECT_EQ(defined("CREATE OR ALTER VIEW [ventas].[v] AS SELECT 1 AS a"),
              "CREATE OR ALTER VIEW [ventas.v] AS SELECT 1 AS a");
    EXPECT_EQ(defined("SELECT a INTO PRUEBA.ventas.t FROM u"), "SELECT a INTO [ventas.t] FROM u");
    EXPECT_EQ(defined("CREATE TABLE dbo.t (a int)"), "CREATE TABLE dbo . t ( a int )");

    QString database;
    EXPECT_EQ(otherSchemaOfDefinition(statementTokens("CREATE TABLE OTRA.ventas.t (a int)"),
                                      &database),
              "ventas");
    EXPECT_EQ(database, "OTRA");
    otherSchemaOfDefinition(statementTokens("CREATE TABLE ventas.t (a int)"), &database);
    EXPECT_EQ(database, "");
}

// In a module of schema ventas a one-part name is ventas' object where it has
// one; DDL, temporary tables, the trigger tables and two-part names keep theirs.
TEST(OtherSchemaNamesTest, shouldReadAModulesOnePartNamesInItsSchemaFirst) {
    const auto inVentas = [](const char* text) {
        const auto held = [](const QString& stored) {
            return stored.compare(QLatin1String("ventas.pedido"), Qt::CaseInsensitive) == 0 ||
                   stored.compare(QLatin1String("ventas.alta"), Qt::CaseInsensitive) == 0;
        };
        QStringList parts;
        for (const Token& t :
             withModuleSchema(statementTokens(QString::fromUtf8(text)), QStringLiteral("ventas"), held))
            parts << t.text;
        return parts.join(QLatin1Char(' '));
    };
    EXPECT_EQ(inVentas("SELECT pedido.id FROM pedido JOIN otra ON 1 = 1"),
              "SELECT pedido . id FROM [ventas.pedido] AS [pedido] JOIN otra ON 1 = 1");
    EXPECT_EQ(inVentas("INSERT INTO pedido SELECT * FROM inserted"),
              "INSERT INTO [ventas.pedido] SELECT * FROM inserted");
    EXPECT_EQ(inVentas("UPDATE p SET a = 1 FROM Pedido p"),
              "UPDATE p SET a = 1 FROM [ventas.Pedido] p");
    EXPECT_EQ(inVentas("EXEC alta 1"), "EXEC [ventas.alta] 1");
    const char* unchanged[] = {"DROP TABLE pedido", "SELECT * FROM dbo.pedido",
                               "SELECT * FROM [ventas.pedido] AS [pedido]",
                               "SELECT * FROM #pedido", "CREATE TABLE pedido (a int)",
                               "TRUNCATE TABLE pedido"};
    for (const char* text : unchanged) {
        QStringList parts;
        for (const Token& t : statementTokens(QString::fromUtf8(text)))
            parts << t.text;
        EXPECT_EQ(inVentas(text), parts.join(QLatin1Char(' '))) << text;
    }
}
