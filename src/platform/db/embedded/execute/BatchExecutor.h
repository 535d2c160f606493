#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/catalog/FunctionCatalog.h"
#include "platform/db/embedded/catalog/ProcedureCatalog.h"
#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/execute/Cursors.h"
#include "platform/db/embedded/execute/DataStatement.h"
#include "platform/db/embedded/execute/DerivedTexts.h"
#include "platform/db/embedded/execute/HelpProcedures.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/SqlRunner.h"
#include "platform/db/embedded/execute/SystemProcedures.h"
#include "platform/db/embedded/execute/UserFunctionCalls.h"
#include "platform/db/embedded/execute/VariableScope.h"
#include "platform/db/embedded/parse/StatementNode.h"

namespace estaciones::db::sqlite {

class ChangeCapture;

// Runs T-SQL batches on an embedded session: control flow, variables,
// procedures, USE / CREATE DATABASE, transactions and SET options here;
// everything else is translated by the dialect and run by SQLite.
//
// The batch is parsed and compiled whole before any of it runs
// (BatchCompiler). Errors follow SQL Server: constraint, truncation and
// "already exists" errors end only their statement and the batch goes on;
// the rest (invalid names, THROW) end the batch; SET XACT_ABORT ON makes
// every run-time error end the batch and roll the transaction back; inside
// TRY any error goes to its CATCH block. The call fails at its end with
// every error that reached it.
class BatchExecutor {
public:
    BatchExecutor(Session& session, const std::vector<Variant>& parameters, int timeoutSeconds);

    // Rows affected: the sum of the counts of the INSERT, UPDATE and DELETE
    // statements run while NOCOUNT was off; -1 when there were none.
    ExecutionResult run(const QString& batch);

private:
    enum class Flow { Normal, Break, Continue, Return, Goto };

    // A batch's or procedure's statements: a GOTO finds its label here or in
    // a block around it.
    void runBody(const std::vector<StatementNode>& nodes, VariableScope& scope, bool atBatchStart);
    // BatchCompiler's checks, skipped for a batch that passed them before.
    void compileOnce(const std::vector<StatementNode>& nodes, const QString& batch);

    Flow runNodes(const std::vector<StatementNode>& nodes, VariableScope& scope, bool atBatchStart);
    Flow runNode(const StatementNode& node, VariableScope& scope, bool firstOfBatch);
    Flow runStatement(const StatementNode& node, VariableScope& scope, bool firstOfBatch);
    Flow runTryCatch(const StatementNode& node, VariableScope& scope);
    void runSimple(const StatementNode& node, VariableScope& scope, bool firstOfBatch);

    void declare(const tsql::Tokens& tokens, VariableScope& scope);
    // DECLARE @t TABLE (...): the variable's temporary table (TableVariables.h).
    void declareTable(const QString& name, const tsql::Tokens& definition, VariableScope& scope,
                      const void* site);
    void set(const tsql::Tokens& tokens, VariableScope& scope);
    bool selectIntoVariables(const tsql::Tokens& tokens, VariableScope& scope);
    void create(const StatementNode& node, VariableScope& scope);
    // CREATE [OR ALTER] VIEW or ALTER VIEW (208 for a view that is not there),
    // its text kept as written.
    // `text` is what the catalogue keeps of it (definitionText).
    void defineView(const tsql::Tokens& tokens, const QString& text, VariableScope& scope,
                    bool alter);
    void drop(const tsql::Tokens& tokens, VariableScope& scope);
    // Procedure calls (ProcedureCall.cpp).
    void execute(const tsql::Tokens& tokens, std::size_t start, VariableScope& scope);
    std::vector<CallArgument> readArguments(const tsql::Tokens& tokens, std::size_t from,
                                            VariableScope& scope);
    // The procedure's return status; OUTPUT arguments are assigned in `caller`.
    int callProcedure(const QString& name, const std::vector<CallArgument>& arguments,
                      VariableScope& caller);
    // The result sets and messages of sp_help and its kind (HelpProcedures.h).
    void recordHelp(std::vector<HelpOutput> outputs);
    int callDefinition(const ProcedureDefinition& procedure,
                       const std::vector<CallArgument>& arguments, VariableScope& caller,
                       int levels);
    // The parameter each argument goes to.
    std::vector<std::size_t> bindArguments(const ProcedureDefinition& procedure,
                                           const std::vector<CallArgument>& arguments);
    void runDynamic(const QString& text);
    // Runs a procedure's body or a dynamic batch `levels` deeper (@@NESTLEVEL).
    void runNested(const std::vector<StatementNode>& nodes, VariableScope& scope, int levels,
                   bool asProcedure);
    void returnFrom(const tsql::Tokens& tokens, VariableScope& scope);

    // User-defined functions (FunctionCall.cpp).
    struct LoadedFunction {
        FunctionDefinition definition;
        std::vector<StatementNode> body;
    };
    // CREATE / ALTER / CREATE OR ALTER FUNCTION, its body compiled first.
    void defineFunction(const tsql::Tokens& tokens, const QString& text,
                        ProcedureCatalog::Store how);
    // DROP FUNCTION [IF EXISTS] a, b, ... from the first name at `from`.
    void dropFunctions(const tsql::Tokens& tokens, std::size_t from, bool ifExists);
    // The function as this batch knows it: read and parsed once per batch.
    const LoadedFunction& loadedFunction(const QString& name);
    // tsql_udf's call (ScalarFunctionCall.h): the body run for the arguments
    // SQLite passes, its RETURN value in the declared type.
    Variant callScalarFunction(const QString& name, int count, sqlite3_value** values);
    // EXEC [@r =] dbo.f arguments: false when `name` is no scalar function.
    bool executeScalarFunction(const QString& name, const std::vector<CallArgument>& arguments,
                               const QString& resultVariable, VariableScope& caller);
    Variant scalarValue(const LoadedFunction& function, const std::vector<Variant>& arguments);
    // The temporary table a multi-statement function's body filled for
    // constant arguments; it is dropped when the calling statement ends.
    // 40517 for an argument read from a row of the query.
    QString fillTableFunction(const FunctionDefinition& function,
                              const std::vector<tsql::Tokens>& arguments);
    // Runs the body one nesting level deeper with the parameters set; a
    // scalar function's RETURN value goes to `result`.
    void runFunctionBody(const LoadedFunction& function, const std::vector<Variant>& arguments,
                         VariableScope& scope, Variant* result);
    // Drops the function tables made since `mark` (the statement's start).
    void dropFunctionTables(qsizetype mark);
    // INSERT ... EXEC (InsertExec.cpp): the rows of the call's result sets go to the table.
    void insertExec(const tsql::Tokens& tokens, std::size_t execAt, VariableScope& scope);

    // MERGE (Merge.cpp): its actions as SQLite statements over the rows it matches.
    void merge(const tsql::Tokens& tokens, VariableScope& scope);
    // INSERT ... SELECT FROM (a change with OUTPUT) AS t: false for any other statement.
    bool insertFromChange(const tsql::Tokens& tokens, VariableScope& scope);
    // DBCC CHECKIDENT (IdentityCheck.cpp); any other DBCC command is refused by name.
    void dbcc(const tsql::Tokens& tokens, VariableScope& scope);

    void transaction(const tsql::Tokens& tokens, VariableScope& scope);
    // SET IMPLICIT_TRANSACTIONS ON: the statement opens the transaction it runs in.
    void openImplicitTransaction(const StatementNode& node);
    // 266 when a procedure returns with another @@TRANCOUNT than it began with.
    void checkTransactionCount(int before) const;
    void raiseError(const tsql::Tokens& tokens, VariableScope& scope);
    void throwError(const tsql::Tokens& tokens, VariableScope& scope);
    // WaitFor.cpp: WAITFOR DELAY and WAITFOR TIME.
    void waitFor(const tsql::Tokens& tokens, VariableScope& scope);

    // ErrorHandling.cpp: what a failed statement ends, and the @@ values a
    // statement that ran sets.
    void onStatementFailure(const ProviderFailure& failure, const StatementNode& node);
    void endBatch(std::vector<ProviderError>& records);
    void setStatementStatus(const StatementNode& node);
    // SCOPE_IDENTITY(), XACT_STATE() and the ERROR_...() functions of CATCH.
    std::optional<tsql::Token> sessionFunctionValue(const QString& name) const;

    bool isTrue(const tsql::Tokens& condition, VariableScope& scope);
    // The value an expression gives a variable or message of `type`: a date
    // becoming text is written as CAST writes its own type (a datetime in
    // style 0, a date as yyyy-mm-dd), which its value alone does not tell.
    Variant evaluateAs(const tsql::Tokens& expression, const QString& type, VariableScope& scope);
    Variant evaluate(const tsql::Tokens& expression, VariableScope& scope);
    // The statement with variables, @@ values and query hints resolved: the
    // T-SQL the dialect translates.
    QString resolvedText(const tsql::Tokens& tokens, const VariableScope& scope) const;
    // The resolved statement as SQLite statements ("" when there is nothing to run).
    QString sqliteText(const tsql::Tokens& tokens, const VariableScope& scope) const;
    void runSql(const tsql::Tokens& tokens, VariableScope& scope);
    // A statement for SQLite; INSERT, UPDATE and DELETE with their triggers
    // and OUTPUT clause. The caller records what it gave.
    StatementOutcome runChange(const tsql::Tokens& tokens, VariableScope& scope);
    StatementOutcome runTranslated(const tsql::Tokens& tokens, VariableScope& scope);
    // A resolved statement as SQLite statements, derived once per text.
    DerivedTexts translatedStatement(const QString& resolved);

    // Cursors (CursorStatements.cpp). DECLARE name CURSOR: the query keeps
    // the variables' values of now.
    void declareCursor(const tsql::Tokens& tokens, VariableScope& scope);
    // A cursor's query with the variables' and the caller's '?' values of now.
    tsql::Tokens cursorQueryText(const tsql::Tokens& query, const VariableScope& scope);
    // SET @c = CURSOR ... FOR select, SET @c = name, SET @c = @d.
    void setCursorVariable(const tsql::Tokens& tokens, VariableScope& scope);
    void openCursor(const tsql::Tokens& tokens, VariableScope& scope);
    void closeCursor(const tsql::Tokens& tokens, VariableScope& scope);
    void deallocateCursor(const tsql::Tokens& tokens, VariableScope& scope);
    void fetch(const tsql::Tokens& tokens, VariableScope& scope);
    // A local cursor before a global one of the same name, unless GLOBAL is
    // said; 16916 when there is none, 16950 for a variable holding none.
    std::shared_ptr<Cursor> cursorNamed(const CursorReference& reference,
                                        const VariableScope& scope) const;
    // UPDATE / DELETE ... WHERE CURRENT OF cursor: the row fetched last, by its row id.
    tsql::Tokens positionedChange(const tsql::Tokens& tokens, std::size_t currentAt,
                                  const VariableScope& scope) const;
    // CURSOR_STATUS('local' | 'global' | 'variable', 'name') put in as its value.
    tsql::Tokens withCursorStatus(const tsql::Tokens& tokens, const VariableScope& scope) const;
    ResultSet cursorQuery(const QString& query, const std::vector<Variant>& values);
    // 40517 for a keyed cursor used from a database other than the one it was opened in.
    void refuseAnotherDatabase(const Cursor& cursor) const;
    bool isBaseTable(const QString& name) const;
    bool hasUniqueKey(const QString& table) const;
    // DataChange.cpp: nullopt when the statement fires no trigger and has no OUTPUT.
    std::optional<StatementOutcome> runDataChange(const DataStatement& data, VariableScope& scope);
    // One OUTPUT list over the captured rows: to the caller (answers true),
    // or INSERTed `into` a table.
    bool runOutput(const DataStatement& data, const tsql::Tokens& list, const tsql::Tokens& into,
                   const ChangeCapture& capture, VariableScope& scope);
    // Without the triggers running now that may not fire again (recursion is off).
    std::vector<TriggerDefinition> notFiringAgain(std::vector<TriggerDefinition> triggers) const;
    // Each trigger in turn; 3609 when one ended the transaction.
    void fireTriggers(const std::vector<TriggerDefinition>& triggers, const QStringList& updated,
                      const ChangeCapture& capture, long long rows);
    // `updated`: the columns UPDATE(column) is true of.
    void runTrigger(const TriggerDefinition& trigger, const QStringList& updated,
                    const ChangeCapture& capture, long long rows);
    // DISABLE / ENABLE TRIGGER, on their own or in ALTER TABLE.
    void switchTriggers(const tsql::Tokens& tokens);
    void record(StatementOutcome outcome);
    // PRINT, informational RAISERROR and errors join the batch's output in order.
    void print(const tsql::Tokens& tokens, VariableScope& scope);
    void noteMessages(const std::vector<ProviderError>& messages);
    // Fails with `records`, keeping what the batch printed until now.
    [[noreturn]] void throwWithOutput(std::vector<ProviderError> records);

    Session& m_session;
    SqlRunner m_runner;
    ExecutionResult m_result;
    std::vector<ProviderError> m_errors;
    int m_nesting = 0;          // @@NESTLEVEL
    bool m_inProcedure = false; // RETURN may give a status
    int m_returnStatus = 0;
    int m_insertExecDepth = 0;

    struct CaughtError {
        ProviderError error;
        QString procedure; // where it was raised; empty in the batch itself
    };
    int m_tryDepth = 0;                // TRY blocks running, in any procedure
    std::vector<CaughtError> m_caught; // the errors of the CATCH blocks running, innermost last
    QStringList m_procedures;          // the procedures running, innermost last
    QStringList m_triggers;            // the triggers running, innermost last
    int m_captureLevel = 0;            // data statements noting their rows, nested
    static constexpr int maximumNesting = 32;
    QString m_gotoLabel; // the label a GOTO on its way up looks for, upper case

    // By lower-case "database.function".
    QHash<QString, std::shared_ptr<const LoadedFunction>> m_functions;
    QStringList m_functionTables;        // filled by table-valued functions, oldest first
    int m_functionDepth = 0;             // function bodies running (EXEC is refused in them)
    Variant* m_functionResult = nullptr; // where the running scalar function's RETURN goes
    TableFunctionFiller m_fillTable;
};

} // namespace estaciones::db::sqlite
