#include "platform/db/embedded/execute/BatchCompilation.h"

#include "platform/db/embedded/bind/BuiltInArgumentCounts.h"
#include "platform/db/embedded/bind/DataTypeNames.h"
#include "platform/db/embedded/bind/ComparisonsAsValues.h"
#include "platform/db/embedded/bind/GroupedColumns.h"
#include "platform/db/embedded/bind/OrderByInSelectList.h"
#include "platform/db/embedded/bind/OrderByItems.h"
#include "platform/db/embedded/bind/OrderByPlacement.h"
#include "platform/db/embedded/catalog/FunctionCatalog.h"
#include "platform/db/embedded/catalog/ProcedureCatalog.h"
#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/ChangeRowsSource.h"
#include "platform/db/embedded/errors/TableVariableNames.h"
#include "platform/db/embedded/execute/CursorQuery.h"
#include "platform/db/embedded/execute/Cursors.h"
#include "platform/db/embedded/execute/DataStatement.h"
#include "platform/db/embedded/execute/DatabaseReferences.h"
#include "platform/db/embedded/execute/DerivedTexts.h"
#include "platform/db/embedded/execute/EngineInternals.h"
#include "platform/db/embedded/execute/UserSchemaStatements.h"
#include "platform/db/embedded/parse/OtherSchemaNames.h"
#include "platform/db/embedded/execute/ForJson.h"
#include "platform/db/embedded/execute/ForXml.h"
#include "platform/db/embedded/execute/NestedForJson.h"
#include "platform/db/embedded/execute/ErrorHandling.h"
#include "platform/db/embedded/execute/MaintenanceStatements.h"
#include "platform/db/embedded/execute/NulCharacters.h"
#include "platform/db/embedded/execute/ResolvedText.h"
#include "platform/db/embedded/execute/SessionSettings.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/TriggerBody.h"
#include "platform/db/embedded/execute/UpdateAssignments.h"
#include "platform/db/embedded/execute/UserFunctionCalls.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/sqlite/StatementCache.h"
#include "platform/db/embedded/translate/Translator.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// What a failed preparation tells before anything runs: the syntax, a
// missing column, and the shape of a query over tables that exist (an
// ambiguous name, an aggregate out of place, unequal UNION branches ...);
// other failures (missing tables, functions, translation limits) wait for
// their statement.
bool failsAtCompilation(int number) {
    switch (number) {
    case native::SyntaxError:
    case native::SyntaxErrorNearKeyword:
    case native::NestedTooDeeply:
    case native::InvalidColumnName:
    case native::MultiPartIdentifierNotBound:
    case native::AmbiguousColumnName:
    case native::DuplicateCommonTableExpression:
    case native::OrderByPositionOutOfRange:
    case native::SubqueryOfSeveralColumns:
    case native::AggregateOfAggregate:
    case native::AggregateInGroupBy:
    case native::AggregateInWhere:
    case native::AggregateInUpdateSet:
    case native::CompoundColumnCountMismatch:
    case native::NotAWindowFunction:
    case native::OrderByNotInCompoundList:
        return true;
    default:
        return false;
    }
}

// What the server refuses in a statement's text before it runs anything:
// a built-in's number of arguments, a type it does not define, an ORDER BY
// outside a DISTINCT's or a UNION's select list or where it orders nothing.
std::optional<ProviderError> writtenFormError(const Tokens& tokens) {
    for (const auto check : {builtInArgumentCountError, unknownDataTypeError,
                             orderByNotInSelectListError, misplacedOrderByError,
                             orderByItemsError}) {
        if (std::optional<ProviderError> error = check(tokens)) {
            return error;
        }
    }
    return std::nullopt;
}

bool isDataStatement(const QString& first) {
    return first == QLatin1String("SELECT") || first == QLatin1String("INSERT") ||
           first == QLatin1String("UPDATE") || first == QLatin1String("DELETE") ||
           first == QLatin1String("WITH");
}

[[noreturn]] void failOnLine(ProviderError error, int line) {
    error.line = line > 0 ? line : error.line;
    throw CompileFailure({std::move(error)});
}

// What `read` refuses fails the batch before it runs, on `line`.
template <class Read> auto onLine(int line, Read read) {
    try {
        return read();
    } catch (const CompileFailure&) {
        throw;
    } catch (const ProviderFailure& failure) {
        failOnLine(failure.records().front(), line);
    }
}

// The query of DECLARE name CURSOR ... or SET @c = CURSOR ...; nullopt for
// any other statement.
std::optional<Tokens> cursorQueryOf(const StatementNode& node) {
    const Tokens& tokens = node.tokens;
    const QString first = node.firstWord();
    std::size_t from = 0;
    if (first == QLatin1String("DECLARE") && tokens.size() > 2 &&
        tokens[1].kind != TokenKind::Variable) {
        from = 2;
    } else if (first == QLatin1String("SET") && tokens.size() > 3 &&
               tokens[1].kind == TokenKind::Variable && tokens[2].isPunctuation(u"=") &&
               (tokens[3].isWord(u"CURSOR") || tokens[3].isWord(u"SCROLL") ||
                tokens[3].isWord(u"INSENSITIVE"))) {
        from = 3;
    } else {
        return std::nullopt;
    }
    return onLine(node.line, [&] { return readCursorDefinition(tokens, from).query; });
}

// A statement cut short ('SELECT a FROM t WHERE' before END) is, for the
// server, wrong near the token the batch goes on with: SQLite names its last.
[[noreturn]] void failNearNext(const CompileFailure& failure, const StatementNode& node) {
    const ProviderError& error = failure.records().front();
    const bool cutShort =
        error.nativeError == native::SyntaxError && node.next && !node.tokens.empty() &&
        error.description ==
            sqlServerError(native::SyntaxError, {node.tokens.back().text}).description;
    if (!cutShort) {
        throw failure;
    }
    const tsql::Token& next = *node.next;
    const bool keyword = next.kind == TokenKind::Word &&
                         sqlite3_keyword_check(next.text.toUtf8().constData(),
                                               static_cast<int>(next.text.toUtf8().size()));
    failOnLine(keyword ? sqlServerError(native::SyntaxErrorNearKeyword, {next.text.toUpper()})
                       : sqlServerError(native::SyntaxError, {next.text}),
               next.line > 0 ? next.line : error.line);
}

} // namespace

void BatchCompiler::compile(const std::vector<StatementNode>& nodes) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        compileNode(nodes[i], i == 0);
    }
    // A GOTO may jump to a label further down: all are known only now.
    for (const StatementNode& jump : m_gotos) {
        if (!m_labels.contains(jump.tokens[1].text.toUpper())) {
            failOnLine(sqlServerError(native::LabelUndeclared, {jump.tokens[1].text}), jump.line);
        }
    }
}

void BatchCompiler::compileNode(const StatementNode& node, bool firstOfBatch) {
    switch (node.kind) {
    case StatementNode::Kind::Block:
    case StatementNode::Kind::TryCatch:
        for (const StatementNode& child : node.children) {
            compileNode(child, false);
        }
        return;
    case StatementNode::Kind::If:
    case StatementNode::Kind::While:
        if (std::optional<ProviderError> error = internalNameError(node.condition)) {
            failOnLine(std::move(*error), node.line);
        }
        if (std::optional<ProviderError> error = writtenFormError(node.condition)) {
            failOnLine(std::move(*error), node.line);
        }
        checkVariables(node.condition, node.line, false);
        prepare(node.condition, node.line, true);
        for (const StatementNode& child : node.children) {
            compileNode(child, false);
        }
        return;
    case StatementNode::Kind::Sql:
    case StatementNode::Kind::Return:
        try {
            compileSimple(node, firstOfBatch);
        } catch (const CompileFailure& failure) {
            failNearNext(failure, node);
        }
        return;
    case StatementNode::Kind::Label: {
        const QString name = node.tokens.front().text;
        if (m_labels.contains(name.toUpper())) {
            failOnLine(sqlServerError(native::LabelRedeclared, {name}), node.line);
        }
        m_labels.insert(name.toUpper());
        return;
    }
    case StatementNode::Kind::Goto:
        m_gotos.push_back(node);
        return;
    case StatementNode::Kind::Break:
    case StatementNode::Kind::Continue:
        return;
    }
}

void BatchCompiler::compileSimple(const StatementNode& node, bool firstOfBatch) {
    const QString first = node.firstWord();
    // What the script sends must not reach SQLite's own statements or the
    // engine's tables (the engine's own statements do, and are not compiled here).
    if (std::optional<ProviderError> error = engineInternalsError(node.tokens)) {
        failOnLine(std::move(*error), node.line);
    }
    if (std::optional<ProviderError> error = maintenanceRefusal(node.tokens)) {
        failOnLine(std::move(*error), node.line);
    }
    if (std::optional<ProviderError> error = writtenFormError(node.tokens)) {
        failOnLine(std::move(*error), node.line);
    }
    if (isSchemaStatement(node.tokens) || !tsql::otherSchemaOfDefinition(node.tokens).isEmpty()) {
        return; // made in its schema when it runs, or refused then, as the server refuses it
    }
    if (const std::optional<Tokens> query = cursorQueryOf(node)) {
        checkVariables(*query, node.line, false);
        prepare(*query, node.line, false);
        return;
    }
    if (first == QLatin1String("DECLARE")) {
        declare(node);
        return;
    }
    if (first == QLatin1String("OPEN") || first == QLatin1String("CLOSE") ||
        first == QLatin1String("DEALLOCATE") || first == QLatin1String("FETCH")) {
        onLine(node.line, [&] {
            first == QLatin1String("FETCH") ? (void)readFetch(node.tokens)
                                            : (void)readCursorTarget(node.tokens);
        });
        // FETCH's INTO names scalar variables, not a table.
        Tokens named;
        std::copy_if(node.tokens.begin(), node.tokens.end(), std::back_inserter(named),
                     [](const Token& token) { return !token.isWord(u"INTO"); });
        checkVariables(named, node.line, false);
        return;
    }
    if ((first == QLatin1String("UPDATE") || first == QLatin1String("DELETE")) &&
        currentOfStart(node.tokens) < node.tokens.size()) {
        // The row is known when the statement runs; the rest compiles now.
        Tokens positioned = slice(node.tokens, 0, currentOfStart(node.tokens));
        positioned.push_back(Token::word(QString::fromLatin1(rowIdColumn)));
        positioned.push_back(Token::word(QStringLiteral("IS")));
        positioned.push_back(Token::word(QStringLiteral("NULL")));
        checkVariables(positioned, node.line, false);
        prepare(positioned, node.line, false);
        return;
    }
    if (first == QLatin1String("USE")) {
        m_otherDatabase = true;
        return;
    }
    if (first == QLatin1String("SET") && node.word(1) == QLatin1String("QUOTED_IDENTIFIER")) {
        m_quotedIdentifier = node.word(2) != QLatin1String("OFF");
        return;
    }
    if (first == QLatin1String("CREATE") || first == QLatin1String("ALTER")) {
        return; // a procedure's or view's body is its own scope; tables have no variables
    }
    // INSERT ... EXEC is a call whose rows the table takes; SQLite has no such form to prepare.
    const bool insertsACall = insertExecStart(node.tokens) < node.tokens.size();
    const bool isCall = first == QLatin1String("EXEC") || first == QLatin1String("EXECUTE") ||
                        insertsACall ||
                        (firstOfBatch && node.kind == StatementNode::Kind::Sql &&
                         !first.isEmpty() && !isStatementKeyword(first));
    checkVariables(node.tokens, node.line, isCall);
    if (const std::optional<UpdateAssignments> split = splitUpdateAssignments(node.tokens)) {
        prepare(split->select, node.line, false);
        if (!split->update.empty()) {
            prepare(split->update, node.line, false);
        }
    } else if (isDataStatement(first) && !insertsACall) {
        // OUTPUT is read from the rows the statement changed, not by SQLite.
        const std::optional<DataStatement> data = readDataStatement(node.tokens);
        // FOR JSON and FOR XML are made of the query's rows, not by SQLite.
        const std::optional<ForJson> json = readForJson(node.tokens);
        const std::optional<ForXml> xml = json ? std::nullopt : readForXml(node.tokens);
        prepare(json ? json->query : xml ? xml->query : data ? data->statement : node.tokens,
                node.line, false);
    }
}

void BatchCompiler::declare(const StatementNode& node) {
    for (const Range& range : splitByCommas(node.tokens, 1, node.tokens.size())) {
        if (range.from < range.to && node.tokens[range.from].kind == TokenKind::Variable) {
            // A name declared twice in the text, even where the second DECLARE never runs.
            const QString name = node.tokens[range.from].text;
            if (m_declared.contains(name.toLower())) {
                failOnLine(sqlServerError(native::VariableRedeclared, {name}), node.line);
            }
            m_declared.insert(name.toLower());
            std::size_t type = range.from + 1;
            if (upperWord(node.tokens, type) == QLatin1String("AS")) {
                ++type;
            }
            if (upperWord(node.tokens, type) == QLatin1String("TABLE")) {
                m_tableVariables.insert(name.toLower());
            }
            checkVariables(slice(node.tokens, range.from + 1, range.to), node.line, false);
        }
    }
}

void BatchCompiler::checkVariables(const Tokens& tokens, int line, bool isCall) const {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.kind != TokenKind::Variable || token.text.startsWith(QLatin1String("@@"))) {
            continue;
        }
        if (isCall && i + 1 < tokens.size() && tokens[i + 1].isPunctuation(u"=")) {
            continue;
        }
        if (!m_declared.contains(token.text.toLower())) {
            const QString before = i > 0 ? upperWord(tokens, i - 1) : QString();
            const bool table = before == QLatin1String("FROM") || before == QLatin1String("JOIN") ||
                               before == QLatin1String("INTO") || before == QLatin1String("UPDATE") ||
                               before == QLatin1String("DELETE") || before == QLatin1String("INSERT") ||
                               before == QLatin1String("MERGE") || before == QLatin1String("USING");
            failOnLine(sqlServerError(table ? native::UndeclaredTableVariable
                                            : native::UndeclaredVariable,
                                      {token.text}),
                       line);
        }
    }
}

void BatchCompiler::prepare(const Tokens& tokens, int line, bool isCondition) const {
    // A subquery's FOR JSON is worked out when the statement runs: its query compiles alone.
    if (hasNestedForJson(tokens)) {
        std::vector<RowSubquery> perRow; // compiled with the outer values in their place
        const Tokens worked = withNestedForJson(tokens,
                                                [&](const Tokens& query) {
                                                    prepare(query, line, false);
                                                    return ResultSet{};
                                                },
                                                &perRow);
        // The texts the translator joins stay as they are, and compile so.
        if (!sameTexts(worked, tokens)) {
            prepare(worked, line, isCondition);
            return;
        }
    }
    // A change's OUTPUT read as a table is run in two steps SQLite could not prepare as one.
    if (m_otherDatabase || !m_session.hasCurrent() || isMaintenanceStatement(tokens) ||
        readChangeRowsSource(tokens)) {
        return;
    }
    SqliteDatabase& database = m_session.current();
    if (std::optional<ProviderError> error = otherDatabaseError(tokens, database.name())) {
        failOnLine(std::move(*error), line);
    }
    if (std::optional<ProviderError> error = isCondition ? std::nullopt : comparisonAsValueError(tokens)) {
        failOnLine(std::move(*error), line);
    }
    // Variables stay SQLite parameters; the session's own functions are
    // values only when the statement runs.
    const Tokens resolved =
        resolvedTokens(m_quotedIdentifier ? tokens : withDoubleQuotesAsText(tokens),
                       [&](const Token& token) -> std::optional<Token> {
                           if (token.kind == TokenKind::Word) {
                               return Token::word(QStringLiteral("NULL"));
                           }
                           if (m_tableVariables.contains(token.text.toLower())) {
                               // Its table is made when the DECLARE runs; until then it is a table
                               // yet to be.
                               return Token::word(tableVariablePrefix.toString() + token.text.mid(1));
                           }
                           return std::nullopt;
                       });
    // The calls of user-defined functions compile as they run; a
    // multi-statement function's table is one yet to be.
    const QString text = joinTokens(withUserFunctions(database, resolved, {}, m_defining));
    QString statement;
    try {
        const tsql::Translator translator(database.sharedDialectSettings());
        if (isCondition) {
            statement = QStringLiteral("SELECT ") + translator.translateExpression(text);
        } else {
            const QStringList statements = translatedStatements(database, text);
            statement = statements.isEmpty() ? QString() : statements.front();
        }
    } catch (const ProviderFailure&) {
        return; // what the translator refuses, it refuses again when the statement runs
    }
    if (statement.isEmpty()) {
        return;
    }
    statement = withNulCharactersSpelled(statement);
    // Through the connection's kept statements: the run prepares the same
    // text again when the statement has no variables.
    const QByteArray utf8 = statement.toUtf8();
    LentStatement prepared;
    const char* tail = nullptr;
    if (database.statements().prepare(database.handle(), utf8.constData(),
                                      static_cast<int>(utf8.size()), prepared, &tail) != 0) {
        ProviderError error = database.lastError(statement);
        if (failsAtCompilation(error.nativeError)) {
            failOnLine(std::move(error), line);
        }
        if (error.nativeError == native::InvalidObjectName) {
            return; // a table yet to be: its statement compiles when it runs
        }
    }
    // Its names are known now: a grouped query's columns meet its groups
    // (also where SQLite refuses a HAVING of its own).
    const auto hasColumn = [&](const QString& table, const QString& column) {
        return sqlite3_table_column_metadata(database.handle(), nullptr, table.toUtf8().constData(),
                                             column.toUtf8().constData(), nullptr, nullptr,
                                             nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    const auto columnsOf = [&](const QString& table) {
        QStringList columns;
        sqlite3_stmt* query = nullptr;
        if (sqlite3_prepare_v2(database.handle(),
                               "SELECT name FROM pragma_table_xinfo(?1) WHERE hidden <> 1", -1,
                               &query, nullptr) == SQLITE_OK) {
            const QByteArray name = table.toUtf8();
            sqlite3_bind_text(query, 1, name.constData(), static_cast<int>(name.size()),
                              SQLITE_TRANSIENT);
            while (sqlite3_step(query) == SQLITE_ROW)
                columns << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(query, 0)));
        }
        sqlite3_finalize(query);
        return columns;
    };
    if (std::optional<ProviderError> error = ungroupedColumnError(tokens, hasColumn, columnsOf)) {
        failOnLine(std::move(*error), line);
    }
}

namespace {

void compileBody(BatchCompiler& compiler, const Tokens& tokens) {
    std::vector<StatementNode> body;
    try {
        body = parseBatch(tokens);
    } catch (const ProviderFailure& failure) {
        throw CompileFailure(failure.records()); // on the body's own line
    }
    compiler.compile(body);
}

} // namespace

void compileProcedure(Session& session, const Tokens& definition) {
    const ProcedureDefinition procedure = parseProcedure(definition);
    BatchCompiler compiler(session);
    for (const ProcedureParameter& parameter : procedure.parameters) {
        compiler.declareVariable(parameter.name);
    }
    compileBody(compiler, procedure.body);
}

namespace {

// The statements a function's body may not hold, with the server's errors.
void refuseSideEffects(const std::vector<StatementNode>& nodes) {
    for (const StatementNode& node : nodes) {
        refuseSideEffects(node.children);
        if (node.kind != StatementNode::Kind::Sql) {
            continue;
        }
        const QString first = node.firstWord();
        const auto refuse = [&](const QString& what) {
            failOnLine(sqlServerError(native::SideEffectInFunction, {what}), node.line);
        };
        if (first == QLatin1String("INSERT") || first == QLatin1String("UPDATE") ||
            first == QLatin1String("DELETE") || first == QLatin1String("MERGE")) {
            std::size_t target = 1;
            if (upperWord(node.tokens, target) == QLatin1String("INTO") ||
                upperWord(node.tokens, target) == QLatin1String("FROM")) {
                ++target;
            }
            if (target >= node.tokens.size() || node.tokens[target].kind != TokenKind::Variable) {
                refuse(first);
            }
        } else if (first == QLatin1String("PRINT") || first == QLatin1String("RAISERROR") ||
                   first == QLatin1String("TRUNCATE") || first == QLatin1String("CREATE") ||
                   first == QLatin1String("ALTER") || first == QLatin1String("DROP")) {
            refuse(first);
        } else if (first == QLatin1String("SELECT")) {
            const Tokens& t = node.tokens;
            const bool assigns =
                std::adjacent_find(t.begin(), t.end(), [](const Token& a, const Token& b) {
                    return a.kind == TokenKind::Variable && b.isPunctuation(u"=");
                }) != t.end();
            if (!assigns) {
                failOnLine(sqlServerError(native::SelectToClientInFunction), node.line);
            }
        }
    }
}

} // namespace

void compileFunction(Session& session, const Tokens& definition) {
    const FunctionDefinition function = parseFunction(definition);
    BatchCompiler compiler(session);
    compiler.defineFunction(&function);
    for (const ProcedureParameter& parameter : function.parameters) {
        compiler.declareVariable(parameter.name);
    }
    if (function.kind == FunctionKind::InlineTable) {
        compileBody(compiler, function.query);
        return;
    }
    if (function.kind == FunctionKind::Table) {
        compiler.declareTableVariable(function.resultVariable);
    }
    std::vector<StatementNode> body;
    try {
        body = parseBatch(function.body);
    } catch (const ProviderFailure& failure) {
        throw CompileFailure(failure.records());
    }
    // The body's block ends in RETURN, even where every branch of an IF before it returns.
    const StatementNode* last = body.empty() ? nullptr : &body.back();
    while (last && last->kind == StatementNode::Kind::Block && !last->children.empty()) {
        last = &last->children.back();
    }
    if (!last || last->kind != StatementNode::Kind::Return) {
        failOnLine(sqlServerError(native::FunctionNotEndingInReturn), last ? last->line : 1);
    }
    refuseSideEffects(body);
    compiler.compile(body);
}

void compileTrigger(Session& session, const Tokens& definition) {
    // inserted and deleted exist only while the trigger runs: their names
    // are left to run time, as any table that does not exist yet.
    const FiringStatement none{QStringLiteral("inserted"), QStringLiteral("deleted"), {}, {}};
    BatchCompiler compiler(session);
    compileBody(compiler, triggerBodyFor(parseTrigger(definition).body, none));
}

} // namespace estaciones::db::sqlite
