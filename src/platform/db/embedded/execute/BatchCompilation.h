#pragma once

#include "platform/db/embedded/catalog/FunctionCatalog.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/parse/StatementNode.h"

#include <QSet>

namespace estaciones::db::sqlite {

// Compiles a parsed batch before any of it runs, as the server does. Every
// query and data statement, and every IF / WHILE condition, is translated
// and prepared by SQLite with its variables as parameters:
// - a syntax error fails the batch before it starts (102, 156, 191);
// - a column missing from a table that exists fails it too (207);
// - a table that does not exist yet is left to its statement, which
//   resolves it when it runs (208 then), as the server defers the name.
// A variable must be declared above the text that uses it (137; 1087 where
// a table goes).
// Statements after a USE are left to run time: they belong to another
// database.
// SET QUOTED_IDENTIFIER takes effect as the batch is read, for the
// statements after it.
class BatchCompiler {
public:
    explicit BatchCompiler(Session& session)
        : m_session(session), m_quotedIdentifier(session.quotedIdentifier) {}

    // Throws ProviderFailure with the first error found.
    void compile(const std::vector<StatementNode>& nodes);
    // A variable the text may use without declaring it (a procedure's parameter).
    void declareVariable(const QString& name) { m_declared.insert(name.toLower()); }
    // The function whose body is compiled: its calls in the body are known.
    void defineFunction(const FunctionDefinition* function) { m_defining = function; }
    // A table variable the text may use (a multi-statement function's result).
    void declareTableVariable(const QString& name) {
        declareVariable(name);
        m_tableVariables.insert(name.toLower());
    }

private:
    void compileNode(const StatementNode& node, bool firstOfBatch);
    void compileSimple(const StatementNode& node, bool firstOfBatch);
    void declare(const StatementNode& node);
    // 137 for a variable used before its DECLARE; in a procedure call the
    // "@parameter =" names belong to the procedure and are left alone.
    void checkVariables(const tsql::Tokens& tokens, int line, bool isCall) const;
    void prepare(const tsql::Tokens& tokens, int line, bool isCondition) const;

    Session& m_session;
    QSet<QString> m_declared;       // lower case
    QSet<QString> m_tableVariables; // lower case, among m_declared
    QSet<QString> m_labels;         // upper case
    std::vector<StatementNode> m_gotos;
    bool m_otherDatabase = false;
    bool m_quotedIdentifier;
    const FunctionDefinition* m_defining = nullptr;
};

// CREATE / ALTER PROCEDURE: the body is parsed and compiled as the server
// does when it stores a procedure, with the parameters declared; what
// fails there fails the CREATE.
void compileProcedure(Session& session, const tsql::Tokens& definition);
// The same for CREATE / ALTER FUNCTION, which also refuses what a function
// may not do: change a table other than its own table variables or print
// (443), or give a result set (444).
void compileFunction(Session& session, const tsql::Tokens& definition);
// The same for CREATE / ALTER TRIGGER's body.
void compileTrigger(Session& session, const tsql::Tokens& definition);

} // namespace estaciones::db::sqlite
