// Statement boundaries without semicolons, and the nesting of control flow.
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/ScriptBatches.h"
#include "platform/db/embedded/parse/Tokenizer.h"

#include "platform/db/Engine.h"

#include <gtest/gtest.h>

namespace estaciones::db::sqlite::test {

namespace {

// The first word of each top-level statement.
QStringList firstWords(const QString& batch) {
    QStringList words;
    for (const StatementNode& node : parseBatch(batch)) {
        words << (node.kind == StatementNode::Kind::Sql || node.kind == StatementNode::Kind::Return
                      ? node.firstWord()
                  : node.kind == StatementNode::Kind::If    ? QStringLiteral("<if>")
                  : node.kind == StatementNode::Kind::While ? QStringLiteral("<while>")
                  : node.kind == StatementNode::Kind::Block ? QStringLiteral("<block>")
                  : node.kind == StatementNode::Kind::Label ? QStringLiteral("<label>")
                  : node.kind == StatementNode::Kind::Goto  ? QStringLiteral("<goto>")
                                                            : QStringLiteral("<other>"));
    }
    return words;
}

int parseError(const QString& batch) {
    try {
        parseBatch(batch);
    } catch (const ProviderFailure& failure) {
        return failure.nativeError();
    }
    return 0;
}

} // namespace

TEST(BatchParser, LabelsAndGotoAreStatementsOfTheirOwn) {
    // A label ends the statement before it; '::' is no label.
    EXPECT_EQ(firstWords("GOTO fin SELECT 1 fin: SELECT 2"),
              (QStringList{"<goto>", "SELECT", "<label>", "SELECT"}));
    EXPECT_EQ(firstWords("UPDATE T SET a = 1\nfin:\nPRINT 'x'"),
              (QStringList{"UPDATE", "<label>", "PRINT"}));
    EXPECT_EQ(firstWords("GRANT SELECT ON SCHEMA::dbo TO u"), (QStringList{"GRANT"}));
    const std::vector<StatementNode> nodes = parseBatch("IF 1 = 1 GOTO Salida\nSalida:");
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].children[0].kind, StatementNode::Kind::Goto);
    EXPECT_EQ(nodes[0].children[0].tokens[1].text, QStringLiteral("Salida"));
    EXPECT_EQ(nodes[1].kind, StatementNode::Kind::Label);
    EXPECT_EQ(parseError("GOTO"), 102);
}

TEST(BatchParser, StatementsEndWhereTheNextOneStarts) {
    const std::vector<std::pair<QString, QStringList>> cases{
        {"SET NOCOUNT ON UPDATE T SET a = 1 SELECT 1", {"SET", "UPDATE", "SELECT"}},
        {"SET NOCOUNT ON\nDECLARE @f datetime", {"SET", "DECLARE"}},
        {"INSERT INTO T SELECT a FROM B SELECT * FROM T", {"INSERT", "SELECT"}},
        {"INSERT INTO T VALUES (1) SELECT 2", {"INSERT", "SELECT"}},
        {"INSERT INTO T (a) SELECT 1 UNION ALL SELECT 2", {"INSERT"}},
        {"WITH C AS (SELECT 1 AS a) INSERT INTO T SELECT a FROM C SELECT 3", {"WITH", "SELECT"}},
        {"SELECT * FROM T WITH (NOLOCK) WHERE a IN (SELECT a FROM B) DELETE FROM T",
         {"SELECT", "DELETE"}},
        {"SELECT CASE WHEN a = 1 THEN 'x' ELSE 'y' END FROM T PRINT 'ok'", {"SELECT", "PRINT"}},
        {"ALTER TABLE T WITH CHECK ADD CONSTRAINT FK FOREIGN KEY (a) REFERENCES B (a) "
         "ON DELETE CASCADE SELECT 1",
         {"ALTER", "SELECT"}},
        {"ALTER TABLE T DROP COLUMN c SELECT 1", {"ALTER", "SELECT"}},
        // An ALTER TABLE's own ALTER COLUMN, DROP and SET, and the statements after it.
        {"ALTER TABLE T ALTER COLUMN a int NOT NULL", {"ALTER"}},
        {"ALTER TABLE T DROP CK_T, COLUMN c", {"ALTER"}},
        {"ALTER TABLE T SET (LOCK_ESCALATION = TABLE)", {"ALTER"}},
        {"ALTER TABLE T ADD e varchar(5) NULL\nALTER TABLE T ALTER COLUMN a int NOT NULL",
         {"ALTER", "ALTER"}},
        {"ALTER TABLE T ADD e int NULL DROP TABLE U SET NOCOUNT ON DROP INDEX T.I",
         {"ALTER", "DROP", "SET", "DROP"}},
        {"ALTER DATABASE D SET RECOVERY SIMPLE WITH ROLLBACK IMMEDIATE SET NOCOUNT ON",
         {"ALTER", "SET"}},
        {"ALTER DATABASE CURRENT SET MULTI_USER", {"ALTER"}},
        {"ALTER TABLE T ADD g int NULL REFERENCES G (id) ON DELETE SET NULL ON UPDATE SET DEFAULT",
         {"ALTER"}},
        {"DROP TABLE IF EXISTS T CREATE TABLE T (a int)", {"DROP", "CREATE"}},
        {"CREATE PROCEDURE P AS SELECT 1 SELECT 2", {"CREATE"}},
        {"CREATE VIEW V AS SELECT a FROM T", {"CREATE"}},
        {"BEGIN TRAN INSERT INTO T VALUES (1) COMMIT TRAN", {"BEGIN", "INSERT", "COMMIT"}},
        {"SELECT 1; ;SELECT 2;", {"SELECT", "SELECT"}},
        {"-- comentario\nSELECT 1 /* SELECT 2 */", {"SELECT"}},
        {"ts_CreaCalendario '20240101','20241231'", {"TS_CREACALENDARIO"}},
        {"", {}},
    };
    for (const auto& [batch, expected] : cases) {
        EXPECT_EQ(firstWords(batch), expected) << batch.toStdString();
    }
}

TEST(BatchParser, ControlFlowNests) {
    const std::vector<StatementNode> nodes = parseBatch(
        "IF EXISTS (SELECT * FROM T) BEGIN SELECT 1 SELECT 2 END ELSE IF @a = 1 "
        "SELECT 3 ELSE SELECT 4\nWHILE @i < 3 BEGIN SET @i = @i + 1 IF @i = 2 BREAK END");
    ASSERT_EQ(nodes.size(), 2u);
    const StatementNode& test = nodes[0];
    ASSERT_EQ(test.kind, StatementNode::Kind::If);
    EXPECT_EQ(joinTokens(test.condition), "EXISTS ( SELECT * FROM T )");
    ASSERT_EQ(test.children.size(), 2u);
    EXPECT_EQ(test.children[0].kind, StatementNode::Kind::Block);
    EXPECT_EQ(test.children[0].children.size(), 2u);
    ASSERT_EQ(test.children[1].kind, StatementNode::Kind::If);
    EXPECT_EQ(test.children[1].children.size(), 2u);

    const StatementNode& loop = nodes[1];
    ASSERT_EQ(loop.kind, StatementNode::Kind::While);
    ASSERT_EQ(loop.children[0].children.size(), 2u);
    EXPECT_EQ(loop.children[0].children[1].children[0].kind, StatementNode::Kind::Break);
}

TEST(BatchParser, TryCatchBlocksNestAndKeepTheirLines) {
    const std::vector<StatementNode> nodes =
        parseBatch("SELECT 1\nBEGIN TRY\n  BEGIN TRY THROW 50001, 'a', 1 END TRY\n"
                   "  BEGIN CATCH THROW END CATCH\nEND TRY\nBEGIN CATCH\n  SELECT 2\nEND CATCH");
    ASSERT_EQ(nodes.size(), 2u);
    const StatementNode& outer = nodes[1];
    ASSERT_EQ(outer.kind, StatementNode::Kind::TryCatch);
    EXPECT_EQ(outer.line, 2);
    ASSERT_EQ(outer.children.size(), 2u);
    ASSERT_EQ(outer.children[0].children.size(), 1u);
    const StatementNode& inner = outer.children[0].children[0];
    ASSERT_EQ(inner.kind, StatementNode::Kind::TryCatch);
    EXPECT_EQ(inner.children[0].children[0].firstWord(), "THROW");
    EXPECT_EQ(inner.children[0].children[0].tokens.size(), 6u);
    EXPECT_EQ(inner.children[1].children[0].tokens.size(), 1u); // THROW alone
    EXPECT_EQ(outer.children[1].children[0].line, 7);

    EXPECT_EQ(parseError("BEGIN TRY SELECT 1 END TRY"), 102);           // no CATCH
    EXPECT_EQ(parseError("BEGIN TRY SELECT 1 END CATCH"), 156);         // wrong closer
    EXPECT_EQ(parseError("BEGIN TRY SELECT 1 END TRY SELECT 2"), 102); // CATCH must follow
    EXPECT_EQ(parseError("BEGIN TRY SELECT 1 END TRY BEGIN CATCH END"), 156);
}

TEST(BatchParser, ModuleDefinitionsMustOpenTheirBatch) {
    EXPECT_EQ(parseError("SELECT 1 CREATE VIEW V AS SELECT 1"), 111);
    EXPECT_EQ(parseError("SET NOCOUNT ON\nCREATE OR ALTER PROCEDURE P AS SELECT 1"), 111);
    EXPECT_EQ(parseError("IF 1 = 1 CREATE TRIGGER T ON A AFTER INSERT AS SELECT 1"), 111);
    EXPECT_EQ(parseError("-- comentario\n;CREATE PROCEDURE P AS SELECT 1"), 0);
    EXPECT_EQ(parseError("SELECT 1 CREATE TABLE T (a int)"), 0);
}

// A module keeps the text it was written with, while the statement that
// runs reads the names of other schemas as the file keeps them.
TEST(BatchParser, ModuleDefinitionsKeepTheirWrittenText) {
    const std::vector<StatementNode> view =
        parseBatch(QStringLiteral("CREATE VIEW ventas.v AS SELECT ventas.t.a FROM ventas.t;"));
    ASSERT_EQ(view.size(), 1u);
    EXPECT_EQ(definitionText(view.front()),
              QStringLiteral("CREATE VIEW ventas.v AS SELECT ventas.t.a FROM ventas.t;"));
    EXPECT_TRUE(joinTokens(view.front().tokens).contains(QStringLiteral("[ventas.t] AS [t]")));

    const std::vector<StatementNode> procedure = parseBatch(
        QStringLiteral("ALTER PROCEDURE [ventas].[p] AS\n  DELETE FROM ventas.t WHERE ventas.t.a = 1"));
    ASSERT_EQ(procedure.size(), 1u);
    EXPECT_EQ(definitionText(procedure.front()),
              QStringLiteral("ALTER PROCEDURE [ventas].[p] AS\n  DELETE FROM ventas.t WHERE ventas.t.a = 1"));

    // Any other statement is only the one that runs.
    const std::vector<StatementNode> select = parseBatch(QStringLiteral("SELECT a FROM ventas.t"));
    EXPECT_TRUE(select.front().written.empty());
}

// The text kept is the batch's own from the definition's first word: its
// comments, the blanks that start its lines and its line ends stay; the
// comments and blanks before it do not, nor the blanks after its last word.
TEST(BatchParser, DefinitionTextIsTheSourceAsWritten) {
    const auto text = [](const char* batch) {
        const std::vector<StatementNode> nodes = parseBatch(QString::fromUtf8(batch));
        return nodes.empty() ? QStringLiteral("<nada>") : definitionText(nodes.front());
    };
    EXPECT_EQ(text("-- cabecera\r\n\r\n  CREATE PROCEDURE p\r\nAS\r\n    /* uno */ SELECT 1 -- fin\r\n"),
              QStringLiteral("CREATE PROCEDURE p\r\nAS\r\n    /* uno */ SELECT 1 -- fin"));
    EXPECT_EQ(text("create   or alter view v as\n\tselect 'a -- b' AS [x /* y */] /* final */ \n\n"),
              QStringLiteral("create   or alter view v as\n\tselect 'a -- b' AS [x /* y */] /* final */"));
    EXPECT_EQ(text("CREATE TRIGGER tr ON t AFTER INSERT AS\nBEGIN\n  /* a /* anidado */ b */\n  SELECT 1\nEND\n-- uno\n-- dos"),
              QStringLiteral("CREATE TRIGGER tr ON t AFTER INSERT AS\nBEGIN\n  /* a /* anidado */ b */\n  SELECT 1\nEND\n-- uno\n-- dos"));
}

TEST(BatchParser, UnbalancedBlocksAreSyntaxErrors) {
    EXPECT_EQ(parseError("BEGIN SELECT 1"), 102);
    EXPECT_EQ(parseError("SELECT 1 END"), 156);
    EXPECT_EQ(parseError("ELSE SELECT 1"), 156);
    EXPECT_EQ(parseError("IF"), 102);
    EXPECT_EQ(parseError("IF 1 = 1"), 102);
    EXPECT_EQ(parseError("WHILE 1 = 1 BEGIN ELSE END"), 156);
}

TEST(ScriptBatches, GoLinesSeparateBatches) {
    EXPECT_EQ(splitBatches("CREATE TABLE A (a int)\r\nGO\r\nSELECT 1\r\n  go  \r\n"),
              (QStringList{"CREATE TABLE A (a int)\n", "SELECT 1\n"}));
    EXPECT_EQ(splitBatches("SELECT 1\nGOTO fin\nGO\n\nGO\n-- fin"),
              (QStringList{"SELECT 1\nGOTO fin\n", "-- fin\n"}));
    EXPECT_TRUE(splitBatches("GO\n\n").isEmpty());
}

} // namespace estaciones::db::sqlite::test
