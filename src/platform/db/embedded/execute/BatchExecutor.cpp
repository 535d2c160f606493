#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/bind/ComputedColumns.h"
#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/bind/SelectInto.h"
#include "platform/db/embedded/bind/SchemaTyping.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/catalog/ProcedureCatalog.h"
#include "platform/db/embedded/catalog/ViewDefinitions.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/BackupStatements.h"
#include "platform/db/embedded/execute/BatchCompilation.h"
#include "platform/db/embedded/execute/ConstraintNames.h"
#include "platform/db/embedded/execute/CheckViolations.h"
#include "platform/db/embedded/execute/CursorQuery.h"
#include "platform/db/embedded/execute/DatabaseReferences.h"
#include "platform/db/embedded/execute/DerivedTexts.h"
#include "platform/db/embedded/execute/EngineInternals.h"
#include "platform/db/embedded/execute/ObjectDates.h"
#include "platform/db/embedded/execute/OtherSchemaDefinitions.h"
#include "platform/db/embedded/execute/UserSchemaStatements.h"
#include "platform/db/embedded/execute/ErrorHandling.h"
#include "platform/db/embedded/execute/ForJson.h"
#include "platform/db/embedded/execute/ForXml.h"
#include "platform/db/embedded/execute/NestedForJson.h"
#include "platform/db/embedded/execute/InsertColumnList.h"
#include "platform/db/embedded/execute/MaintenanceStatements.h"
#include "platform/db/embedded/execute/ResolvedText.h"
#include "platform/db/embedded/execute/SessionSettings.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/TableVariables.h"
#include "platform/db/embedded/execute/UpdateAssignments.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/TextScan.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/StoredValues.h"
#include "platform/db/embedded/translate/ConstraintTriggers.h"
#include "platform/db/embedded/translate/IdentityColumns.h"
#include "platform/db/embedded/translate/Translator.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <sqlite3.h>

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// Statements are translated with the settings of the database they run on.
tsql::Translator translatorOf(const SqliteDatabase& database) {
    return tsql::Translator(database.sharedDialectSettings());
}

// The verb that decides whether a statement's count is reported.
QString countingVerb(const Tokens& tokens) {
    const QString first = upperWord(tokens, 0);
    if (first != QLatin1String("WITH")) {
        return first;
    }
    int depth = 0;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        const QString word = upperWord(tokens, i);
        if (depth == 0 && (word == QLatin1String("SELECT") || word == QLatin1String("INSERT") ||
                           word == QLatin1String("UPDATE") || word == QLatin1String("DELETE"))) {
            return word;
        }
    }
    return first;
}

// ENABLE / DISABLE TRIGGER, alone or as ALTER TABLE t ENABLE / DISABLE TRIGGER.
bool isTriggerSwitch(const StatementNode& node) {
    const auto isSwitch = [&](std::size_t i) {
        return (node.word(i) == QLatin1String("ENABLE") ||
                node.word(i) == QLatin1String("DISABLE")) &&
               node.word(i + 1) == QLatin1String("TRIGGER");
    };
    if (isSwitch(0)) {
        return true;
    }
    if (node.firstWord() != QLatin1String("ALTER") || node.word(1) != QLatin1String("TABLE")) {
        return false;
    }
    std::size_t i = 2;
    readObjectName(node.tokens, i);
    return isSwitch(i);
}

// ALTER TABLE t ADD ... ON DELETE|UPDATE {CASCADE|SET ...}: 1787 while t has
// an INSTEAD OF trigger of that event, which the cascaded rows would bypass.
void refuseCascadeOverInsteadOf(SqliteDatabase& database, const Tokens& tokens) {
    std::size_t i = 2;
    const QString table = readObjectName(tokens, i);
    QString constraint;
    for (; i + 2 < tokens.size(); ++i) {
        if (tokens[i].isWord(u"CONSTRAINT")) {
            std::size_t at = i + 1;
            constraint = readObjectName(tokens, at);
            continue;
        }
        if (!tokens[i].isWord(u"ON") ||
            !(tokens[i + 2].isWord(u"CASCADE") || tokens[i + 2].isWord(u"SET"))) {
            continue;
        }
        const bool onDelete = tokens[i + 1].isWord(u"DELETE");
        if (!onDelete && !tokens[i + 1].isWord(u"UPDATE")) {
            continue;
        }
        const std::vector<TriggerDefinition> triggers = TriggerCatalog(database).firedBy(
            table, onDelete ? DataEvent::Delete : DataEvent::Update);
        if (std::any_of(triggers.begin(), triggers.end(),
                        [](const TriggerDefinition& t) { return t.insteadOf; })) {
            failWith(native::CascadeOnTableWithInsteadOf, {constraint, table});
        }
    }
}

// A batch that is one query and writes nothing (SELECT ... INTO makes a table).
bool isOnlyAQuery(const std::vector<StatementNode>& nodes) {
    if (nodes.size() != 1 || nodes.front().kind != StatementNode::Kind::Sql ||
        nodes.front().firstWord() != QLatin1String("SELECT")) {
        return false;
    }
    const Tokens& tokens = nodes.front().tokens;
    return std::none_of(tokens.begin(), tokens.end(),
                        [](const Token& token) { return token.isWord(u"INTO"); });
}

// Keeps the schema stamp's read transaction for the query of a batch that
// only reads (SqliteDatabase::keepStampSnapshot), for the batch's length.
class StampSnapshot {
public:
    StampSnapshot(Session& session, bool keep)
        : m_database(keep && session.hasCurrent() ? &session.current() : nullptr) {
        if (m_database) {
            m_database->keepStampSnapshot(true);
        }
    }
    ~StampSnapshot() {
        if (m_database) {
            m_database->keepStampSnapshot(false);
        }
    }
    StampSnapshot(const StampSnapshot&) = delete;
    StampSnapshot& operator=(const StampSnapshot&) = delete;

private:
    SqliteDatabase* m_database;
};

} // namespace

BatchExecutor::BatchExecutor(Session& session, const std::vector<Variant>& parameters,
                             int timeoutSeconds)
    : m_session(session), m_runner(session, parameters, timeoutSeconds),
      m_fillTable([this](const FunctionDefinition& function, const std::vector<Tokens>& arguments) {
          return fillTableFunction(function, arguments);
      }) {}

ExecutionResult BatchExecutor::run(const QString& batch) {
    // The functions the batch's statements call run in this executor.
    const auto previousRunner =
        std::exchange(m_session.runScalarFunction,
                      [this](const QString& name, int count, sqlite3_value** values) {
                          return callScalarFunction(name, count, values);
                      });
    const auto restoreRunner = qScopeGuard([&] { m_session.runScalarFunction = previousRunner; });
    m_session.functionFailure = {};
    m_session.scopeIdentity = Variant::null(); // a batch is a scope of its own
    try {
        const std::shared_ptr<const std::vector<StatementNode>> nodes = m_session.parsed(batch);
        const StampSnapshot snapshot(m_session, isOnlyAQuery(*nodes));
        compileOnce(*nodes, batch);
        VariableScope scope;
        const ScopeTables tables(m_session, scope);
        runBody(*nodes, scope, true);
    } catch (const ProviderFailure& failure) {
        if (endsTheTransaction(failure)) {
            m_session.abandonTransaction();
        }
        std::vector<ProviderError> records = m_errors;
        records.insert(records.end(), failure.records().begin(), failure.records().end());
        noteMessages(failure.records());
        endBatch(records);
        throwWithOutput(std::move(records));
    }
    endBatch(m_errors);
    if (!m_errors.empty()) {
        throwWithOutput(m_errors);
    }
    return std::move(m_result);
}

void BatchExecutor::compileOnce(const std::vector<StatementNode>& nodes, const QString& batch) {
    if (!m_session.hasCurrent()) {
        BatchCompiler(m_session).compile(nodes);
        return;
    }
    // A batch that compiled under the same schema and settings compiles again.
    SqliteDatabase& database = m_session.current();
    const QString key = derivedTextKey(
        database, m_session.quotedIdentifier ? u'C' : u'c', batch);
    if (database.derivedTexts().find(key)) {
        return;
    }
    BatchCompiler(m_session).compile(nodes);
    database.derivedTexts().put(key, {});
}

void BatchExecutor::throwWithOutput(std::vector<ProviderError> records) {
    ProviderFailure failure(std::move(records));
    failure.setPartialResult(std::make_shared<const ExecutionResult>(std::move(m_result)));
    throw failure;
}

void BatchExecutor::noteMessages(const std::vector<ProviderError>& messages) {
    for (const ProviderError& message : messages) {
        BatchOutput printed;
        printed.kind = BatchOutput::Kind::Message;
        printed.message = message;
        m_result.output.push_back(std::move(printed));
    }
}

namespace {

// char, varchar, nchar, nvarchar or sysname, with or without a length.
bool isCharacterTypeName(const QString& type) {
    static const QRegularExpression text(QStringLiteral(R"(^\s*(n?(var)?char|sysname)\b)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return text.match(type).hasMatch();
}

} // namespace

Variant BatchExecutor::evaluateAs(const Tokens& expression, const QString& type,
                                  VariableScope& scope) {
    Variant value = evaluate(expression, scope);
    if (value.type() != Variant::Type::Date || !isCharacterTypeName(type)) {
        return value;
    }
    Tokens cast{Token::word(QStringLiteral("CAST")), Token::punctuation(QStringLiteral("("))};
    cast.insert(cast.end(), expression.begin(), expression.end());
    const Tokens target = tsql::significantTokens(QStringLiteral(" AS %1)").arg(type));
    cast.insert(cast.end(), target.begin(), target.end());
    return evaluate(cast, scope);
}

void BatchExecutor::print(const Tokens& tokens, VariableScope& scope) {
    ProviderError message;
    message.nativeError = 0;
    message.severity = 0;
    const Variant value =
        evaluateAs(slice(tokens, 1, tokens.size()), QStringLiteral("nvarchar(4000)"), scope);
    // A number prints as it converts to text: money with two decimals, a
    // float in six digits at most.
    const bool typedNumber = value.type() == Variant::Type::Double ||
                             value.type() == Variant::Type::Currency ||
                             value.type() == Variant::Type::Decimal;
    message.description =
        (typedNumber ? convertedForAssignment(value, QStringLiteral("varchar(8000)")) : value)
            .toString();
    noteMessages({message});
}

void BatchExecutor::runBody(const std::vector<StatementNode>& nodes, VariableScope& scope,
                            bool atBatchStart) {
    if (runNodes(nodes, scope, atBatchStart) == Flow::Goto) {
        // The label is inside a block the GOTO is not in.
        failWith(native::NotSupported, {QStringLiteral("GOTO ") + m_gotoLabel});
    }
}

BatchExecutor::Flow BatchExecutor::runNodes(const std::vector<StatementNode>& nodes,
                                            VariableScope& scope, bool atBatchStart) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const Flow flow = runNode(nodes[i], scope, atBatchStart && i == 0);
        if (flow == Flow::Goto) {
            const auto label =
                std::find_if(nodes.begin(), nodes.end(), [&](const StatementNode& n) {
                    return n.kind == StatementNode::Kind::Label &&
                           n.tokens.front().text.toUpper() == m_gotoLabel;
                });
            if (label == nodes.end()) {
                return flow;
            }
            i = static_cast<std::size_t>(label - nodes.begin()); // runs on after the label
            continue;
        }
        if (flow != Flow::Normal) {
            return flow;
        }
    }
    return Flow::Normal;
}

BatchExecutor::Flow BatchExecutor::runNode(const StatementNode& node, VariableScope& scope,
                                           bool firstOfBatch) {
    // The tables table-valued functions fill for the statement last while it runs.
    const qsizetype tables = m_functionTables.size();
    const auto dropTables = qScopeGuard([&] { dropFunctionTables(tables); });
    try {
        return runStatement(node, scope, firstOfBatch);
    } catch (const StatementFailure&) {
        throw; // already on its way up from the statement that failed
    } catch (const ProviderFailure& failure) {
        onStatementFailure(failure, node);
    }
    return Flow::Normal;
}

BatchExecutor::Flow BatchExecutor::runStatement(const StatementNode& node, VariableScope& scope,
                                                bool firstOfBatch) {
        switch (node.kind) {
        case StatementNode::Kind::Block:
            return runNodes(node.children, scope, false);
        case StatementNode::Kind::If: {
            const bool condition = isTrue(node.condition, scope);
            m_session.lastErrorNumber = 0; // IF is a statement that ran
            if (condition) {
                return runNode(node.children[0], scope, false);
            }
            return node.children.size() > 1 ? runNode(node.children[1], scope, false)
                                            : Flow::Normal;
        }
        case StatementNode::Kind::While:
            while (true) {
                m_runner.checkTimeout();
                const bool condition = isTrue(node.condition, scope);
                m_session.lastErrorNumber = 0;
                if (!condition) {
                    break;
                }
                const Flow flow = runNode(node.children[0], scope, false);
                if (flow == Flow::Break) {
                    break;
                }
                if (flow == Flow::Return || flow == Flow::Goto) {
                    return flow;
                }
            }
            return Flow::Normal;
        case StatementNode::Kind::Break:
            return Flow::Break;
        case StatementNode::Kind::Continue:
            return Flow::Continue;
        case StatementNode::Kind::Return:
            returnFrom(node.tokens, scope);
            return Flow::Return;
        case StatementNode::Kind::TryCatch:
            return runTryCatch(node, scope);
        case StatementNode::Kind::Label:
            return Flow::Normal;
        case StatementNode::Kind::Goto:
            m_gotoLabel = node.tokens[1].text.toUpper();
            return Flow::Goto;
        case StatementNode::Kind::Sql:
            runSimple(node, scope, firstOfBatch);
            if (m_session.hasCurrent() && changesObjects(node.tokens))
                noteObjectDates(m_session.current(), node.tokens);
            setStatementStatus(node);
            return Flow::Normal;
        }
    return Flow::Normal;
}

void BatchExecutor::runSimple(const StatementNode& node, VariableScope& scope, bool firstOfBatch) {
    // A subquery's FOR JSON text, worked out first (NestedForJson.h), or for
    // each row when it reads the outer query's columns.
    const QueryRows subqueryRows = [&](const Tokens& query) {
        StatementOutcome rows = runChange(query, scope);
        return rows.resultSet ? *rows.resultSet : ResultSet{};
    };
    std::vector<RowSubquery> perRow;
    const Tokens withJson = hasNestedForJson(node.tokens)
                                ? withNestedForJson(node.tokens, subqueryRows, &perRow)
                                : Tokens{};
    const auto runQuery = [&](const Tokens& query) {
        StatementOutcome outcome = runChange(query, scope);
        if (outcome.resultSet && !perRow.empty())
            fillRowSubqueries(*outcome.resultSet, perRow, subqueryRows);
        return outcome;
    };
    const Tokens& given = withJson.empty() ? node.tokens : withJson;
    const QString first = node.firstWord();
    if (std::optional<ProviderError> error = sqliteStatementError(given)) {
        throw ProviderFailure({std::move(*error)});
    }
    // An object made in a schema of the database takes the file's name for it.
    const std::optional<Tokens> inSchema =
        m_session.hasCurrent() ? definitionInSchema(m_session.current(), given) : std::nullopt;
    const Tokens& tokens = inSchema ? *inSchema : given;
    openImplicitTransaction(node);
    if (isSchemaStatement(tokens)) {
        runSchemaStatement(m_session, tokens, [&](const Tokens& element, const Tokens& written) {
            StatementNode part = node;
            part.tokens = element;
            part.written = upperWord(element, 1) == QLatin1String("VIEW") ? written : Tokens{};
            runStatement(part, scope, false); // its error is the whole statement's
        });
        return;
    }
    if (runMaintenanceStatement(m_session, tokens)) {
        return; // the upkeep of the database: ALTER DATABASE, UPDATE STATISTICS ...
    }
    if ((first == QLatin1String("UPDATE") || first == QLatin1String("DELETE")) &&
        currentOfStart(tokens) < tokens.size()) {
        runSql(positionedChange(tokens, currentOfStart(tokens), scope), scope);
    } else if (first == QLatin1String("DECLARE") && tokens.size() > 1 &&
               tokens[1].kind != TokenKind::Variable) {
        declareCursor(tokens, scope);
    } else if (first == QLatin1String("DECLARE")) {
        declare(tokens, scope);
    } else if (first == QLatin1String("OPEN")) {
        openCursor(tokens, scope);
    } else if (first == QLatin1String("FETCH")) {
        fetch(tokens, scope);
    } else if (first == QLatin1String("CLOSE")) {
        closeCursor(tokens, scope);
    } else if (first == QLatin1String("DEALLOCATE")) {
        deallocateCursor(tokens, scope);
    } else if (first == QLatin1String("SET")) {
        set(tokens, scope);
    } else if (std::optional<ForJson> json =
                   first == QLatin1String("SELECT") || first == QLatin1String("WITH")
                       ? readForJson(tokens)
                       : std::nullopt) {
        noteJsonItems(*json, node.tokens);
        StatementOutcome outcome = runQuery(json->query);
        if (outcome.resultSet) {
            outcome.resultSet = forJsonResult(*outcome.resultSet, *json);
        }
        record(std::move(outcome));
    } else if (std::optional<ForXml> xml =
                   first == QLatin1String("SELECT") || first == QLatin1String("WITH")
                       ? readForXml(tokens)
                       : std::nullopt) {
        noteXmlItems(*xml, node.tokens);
        StatementOutcome outcome = runQuery(xml->query);
        if (outcome.resultSet) {
            outcome.resultSet = forXmlResult(*outcome.resultSet, *xml);
        }
        record(std::move(outcome));
    } else if (first == QLatin1String("SELECT") && !perRow.empty()) {
        record(runQuery(tokens));
    } else if (first == QLatin1String("SELECT")) {
        if (!selectIntoVariables(tokens, scope)) {
            runSql(tokens, scope);
        }
    } else if (first == QLatin1String("PRINT")) {
        print(tokens, scope);
    } else if (first == QLatin1String("USE")) {
        std::size_t i = 1;
        const QString database = readObjectName(tokens, i);
        if (database.isEmpty()) {
            syntaxErrorNear(tokens, 1);
        }
        m_session.use(database);
    } else if (first == QLatin1String("CREATE") && inSchema) {
        StatementNode defined = node;
        defined.tokens = *inSchema;
        create(defined, scope);
    } else if (first == QLatin1String("CREATE")) {
        create(node, scope);
    } else if (first == QLatin1String("ALTER") && (node.word(1) == QLatin1String("PROCEDURE") ||
                                                   node.word(1) == QLatin1String("PROC"))) {
        compileProcedure(m_session, tokens);
        ProcedureCatalog(m_session.current()).store(tokens, definitionText(node), ProcedureCatalog::Store::Alter);
    } else if (first == QLatin1String("ALTER") && node.word(1) == QLatin1String("FUNCTION")) {
        defineFunction(tokens, definitionText(node), ProcedureCatalog::Store::Alter);
    } else if (first == QLatin1String("ALTER") && node.word(1) == QLatin1String("TRIGGER")) {
        compileTrigger(m_session, tokens);
        TriggerCatalog(m_session.current()).store(tokens, definitionText(node), ProcedureCatalog::Store::Alter);
    } else if (first == QLatin1String("ALTER") && node.word(1) == QLatin1String("VIEW")) {
        defineView(tokens, definitionText(node), scope, true);
    } else if (isTriggerSwitch(node)) {
        switchTriggers(tokens);
    } else if (first == QLatin1String("ALTER") && node.word(1) == QLatin1String("TABLE")) {
        refuseCascadeOverInsteadOf(m_session.current(), tokens);
        std::size_t at = 2;
        const QString table = readObjectName(tokens, at);
        if (m_session.current().hasTable(table))
            refuseTakenConstraintNames(m_session.current(), table, tokens);
        runSql(tokens, scope);
    } else if (first == QLatin1String("DROP")) {
        drop(tokens, scope);
    } else if (first == QLatin1String("TRUNCATE")) {
        std::size_t i = node.word(1) == QLatin1String("TABLE") ? 2 : 1;
        const QString table = readObjectName(tokens, i);
        if (!m_session.current().hasTable(table)) {
            failWith(native::ObjectNotFound, {table});
        }
        m_runner.run(QStringLiteral("DELETE FROM ") + sqliteQuoted(table), QString());
        // TRUNCATE also restarts the identity, as SQL Server does.
        m_session.current().run(tsql::schema::restartIdentity(table).join(QStringLiteral(";\n")));
        ignoringErrors([&] {
            m_session.current().run(
                tsql::schema::counterKeyFollowsStore(table).join(QStringLiteral(";\n")));
        });
    } else if (first == QLatin1String("EXEC") || first == QLatin1String("EXECUTE")) {
        execute(tokens, 1, scope);
    } else if (const std::size_t at = insertExecStart(tokens); at < tokens.size()) {
        insertExec(tokens, at, scope);
    } else if (first == QLatin1String("BEGIN") || first == QLatin1String("COMMIT") ||
               first == QLatin1String("ROLLBACK") || first == QLatin1String("SAVE")) {
        transaction(tokens, scope);
    } else if (first == QLatin1String("RAISERROR")) {
        raiseError(tokens, scope);
    } else if (first == QLatin1String("THROW")) {
        throwError(tokens, scope);
    } else if (first == QLatin1String("WAITFOR")) {
        waitFor(tokens, scope);
    } else if (first == QLatin1String("BACKUP") || first == QLatin1String("RESTORE")) {
        BackupStatements(m_session, [&](const Tokens& value) {
            return evaluate(value, scope).toString();
        }).run(tokens);
    } else if (first == QLatin1String("GRANT") || first == QLatin1String("REVOKE") ||
               first == QLatin1String("DENY") || first == QLatin1String("CHECKPOINT")) {
        // Permissions do not exist in a local file database.
    } else if (firstOfBatch && !first.isEmpty() && !isStatementKeyword(first)) {
        execute(tokens, 0, scope); // "name 'a','b'": the bare call that may open a batch
    } else if (const std::optional<UpdateAssignments> split = splitUpdateAssignments(tokens)) {
        selectIntoVariables(split->select, scope);
        if (!split->update.empty()) {
            runSql(split->update, scope);
        }
    } else if (first == QLatin1String("MERGE")) {
        merge(tokens, scope);
    } else if (first == QLatin1String("INSERT") && insertFromChange(tokens, scope)) {
        // run in two steps: the change, then the INSERT of its OUTPUT rows
    } else if (first == QLatin1String("DBCC")) {
        dbcc(tokens, scope);
    } else {
        runSql(tokens, scope);
    }
}

namespace {

// decimal(p, s) and numeric(p, s) hold 38 digits at most (2750).
void checkPrecision(const QString& type, int ordinal) {
    static const QRegularExpression decimal(
        QStringLiteral(R"(^(?:decimal|numeric)\((\d+))"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = decimal.match(type);
    if (match.hasMatch() && match.captured(1).toInt() > 38) {
        failWith(native::PrecisionAboveMaximum, {QString::number(ordinal), match.captured(1)});
    }
}

} // namespace

void BatchExecutor::declare(const Tokens& tokens, VariableScope& scope) {
    int ordinal = 0;
    for (const Range& range : splitByCommas(tokens, 1, tokens.size())) {
        ++ordinal;
        std::size_t i = range.from;
        if (i >= range.to || tokens[i].kind != TokenKind::Variable) {
            syntaxErrorNear(tokens, i);
        }
        const QString name = tokens[i++].text;
        if (upperWord(tokens, i) == QLatin1String("AS")) {
            ++i;
        }
        std::size_t typeEnd = i;
        while (typeEnd < range.to && !tokens[typeEnd].isPunctuation(u"=")) {
            ++typeEnd;
        }
        if (upperWord(tokens, i) == QLatin1String("TABLE")) {
            declareTable(name, slice(tokens, i + 1, range.to), scope, &tokens);
            continue;
        }
        if (upperWord(tokens, i) == QLatin1String("CURSOR")) {
            if (typeEnd != i + 1 || typeEnd != range.to) {
                syntaxErrorNear(tokens, std::min(i + 1, tokens.size() - 1));
            }
            scope.declare(name, QStringLiteral("cursor"), &tokens);
            continue;
        }
        if (typeEnd == i) {
            syntaxErrorNear(tokens, i);
        }
        QString type;
        for (std::size_t t = i; t < typeEnd; ++t) {
            type += tokens[t].text;
        }
        checkPrecision(type, ordinal);
        scope.declare(name, type, &tokens);
        if (typeEnd < range.to) {
            scope.assign(name, evaluateAs(slice(tokens, typeEnd + 1, range.to), type, scope),
                         m_session.dateOrder);
        }
    }
}

void BatchExecutor::declareTable(const QString& name, const Tokens& definition,
                                 VariableScope& scope, const void* site) {
    // The DECLARE met again in a loop keeps its table and rows, as a variable keeps its value.
    if (scope.isDeclaredAt(name, site)) {
        return;
    }
    if (definition.empty() || !definition.front().isPunctuation(u"(")) {
        syntaxErrorNear(definition, 0);
    }
    const QString table = tableVariableTable(name);
    Tokens create{Token::word(QStringLiteral("CREATE")), Token::word(QStringLiteral("TABLE")),
                  Token::word(table)};
    create.insert(create.end(), definition.begin(), definition.end());
    m_runner.run(sqliteText(create, scope), QString());
    scope.declareTable(name, table, site);
}

void BatchExecutor::set(const Tokens& tokens, VariableScope& scope) {
    if (tokens.size() > 1 && tokens[1].kind == TokenKind::Variable &&
        scope.isCursorVariable(tokens[1].text)) {
        setCursorVariable(tokens, scope);
        return;
    }
    if (tokens.size() > 1 && tokens[1].kind == TokenKind::Variable &&
        !tokens[1].text.startsWith(QLatin1String("@@"))) {
        if (tokens.size() < 4 || tokens[2].kind != TokenKind::Punctuation ||
            !tokens[2].text.endsWith('=')) {
            syntaxErrorNear(tokens, 2);
        }
        const QString name = tokens[1].text;
        Tokens expression = slice(tokens, 3, tokens.size());
        const QString op = tokens[2].text.chopped(1);
        if (!op.isEmpty()) { // SET @v += x
            Tokens compound{tokens[1], Token::punctuation(op), Token::punctuation("(")};
            compound.insert(compound.end(), expression.begin(), expression.end());
            compound.push_back(Token::punctuation(")"));
            expression = std::move(compound);
        }
        scope.assign(name, evaluateAs(expression, scope.type(name), scope), m_session.dateOrder);
        return;
    }
    applySetOption(m_session, tokens,
                   [&](const Tokens& expression) { return evaluate(expression, scope); });
}

bool BatchExecutor::selectIntoVariables(const Tokens& tokens, VariableScope& scope) {
    // Most queries assign nothing: not worth rewriting them to find out.
    const bool assigns = std::adjacent_find(tokens.begin(), tokens.end(),
                                            [](const Token& a, const Token& b) {
                                                return a.kind == TokenKind::Variable &&
                                                       b.isPunctuation(u"=");
                                            }) != tokens.end();
    if (!assigns) {
        return false;
    }
    Tokens rewritten{tokens[0]};
    std::vector<QString> targets;
    // Where each target's value starts and ends in `rewritten`.
    std::vector<std::pair<std::size_t, std::size_t>> values;
    QStringList read; // the variables the select list reads
    int depth = 0;
    bool inSelectList = true;
    bool atItemStart = true;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (inSelectList && depth == 0 && atItemStart && token.kind == TokenKind::Variable &&
            i + 1 < tokens.size() && tokens[i + 1].isPunctuation(u"=")) {
            targets.push_back(token.text);
            values.push_back({rewritten.size(), tokens.size()});
            ++i;
            atItemStart = false;
            continue;
        }
        depth += token.isPunctuation(u"(") ? 1 : token.isPunctuation(u")") ? -1 : 0;
        if (depth == 0 && token.isWord(u"FROM")) {
            inSelectList = false;
        }
        const bool endsItem = depth == 0 && (token.isPunctuation(u",") || !inSelectList);
        if (endsItem && !values.empty() && values.back().second == tokens.size()) {
            values.back().second = rewritten.size();
        }
        if (inSelectList && token.kind == TokenKind::Variable) {
            read << token.text.toLower();
        }
        atItemStart = depth == 0 && token.isPunctuation(u",");
        if (upperWord(tokens, i) == QLatin1String("DISTINCT") && i == 1) {
            atItemStart = true;
        }
        rewritten.push_back(token);
        // SELECT [DISTINCT] TOP n | TOP (n) [PERCENT] [WITH TIES] @v = ...: the
        // first item starts after the clause.
        if (upperWord(tokens, i) == QLatin1String("TOP") && inSelectList && rewritten.size() <= 3) {
            std::size_t end = i + 1;
            if (end < tokens.size() && tokens[end].isPunctuation(u"(")) {
                end = closingParenthesis(tokens, end) + 1;
            } else if (end < tokens.size()) {
                ++end;
            }
            if (end < tokens.size() && upperWord(tokens, end) == QLatin1String("PERCENT")) {
                ++end;
            }
            if (end + 1 < tokens.size() && upperWord(tokens, end) == QLatin1String("WITH") &&
                upperWord(tokens, end + 1) == QLatin1String("TIES")) {
                end += 2;
            }
            rewritten.insert(rewritten.end(), tokens.begin() + static_cast<std::ptrdiff_t>(i + 1),
                             tokens.begin() + static_cast<std::ptrdiff_t>(std::min(end, tokens.size())));
            i = end - 1;
            atItemStart = true;
        }
    }
    if (targets.empty()) {
        return false;
    }
    if (values.back().second == tokens.size()) {
        values.back().second = rewritten.size(); // a list without FROM ends the statement
    }
    // A text variable takes its value as CAST writes it (a datetime in style
    // 0, money with two decimals), which the row's value alone does not tell.
    for (std::size_t k = values.size(); k-- > 0;) {
        const QString type = scope.isDeclared(targets[k]) ? scope.type(targets[k]) : QString();
        const auto [from, to] = values[k];
        if (!isCharacterTypeName(type) || to > rewritten.size() || from >= to) {
            continue;
        }
        const Tokens target = tsql::significantTokens(QStringLiteral(" AS %1)").arg(type));
        rewritten.insert(rewritten.begin() + static_cast<std::ptrdiff_t>(to), target.begin(),
                         target.end());
        rewritten.insert(rewritten.begin() + static_cast<std::ptrdiff_t>(from),
                         {Token::word(QStringLiteral("CAST")), Token::punctuation(QStringLiteral("("))});
    }
    const auto rowsWithCurrentValues = [&] {
        const StatementOutcome outcome = m_runner.run(
            typedForSchema(m_session.current().handle(), sqliteText(rewritten, scope)),
            QStringLiteral("SELECT"));
        return outcome.resultSet ? outcome.resultSet->rows : std::vector<std::vector<Variant>>{};
    };
    const auto assignRow = [&](const std::vector<Variant>& row) {
        for (std::size_t k = 0; k < targets.size() && k < row.size(); ++k) {
            scope.assign(targets[k], row[k], m_session.dateOrder);
        }
    };
    std::vector<std::vector<Variant>> rows = rowsWithCurrentValues();
    const bool readsATarget = std::any_of(targets.begin(), targets.end(), [&](const QString& target) {
        return read.contains(target.toLower());
    });
    if (!readsATarget || rows.size() <= 1) {
        if (!rows.empty()) {
            assignRow(rows.back()); // SQL Server keeps the last row
        }
        return true;
    }
    // Each row sees the values the row before gave (SELECT @s = @s + x ...):
    // the query is worked out again with them for each row, in its order.
    // Beyond a few thousand rows that is too slow to be worth it: refused.
    constexpr std::size_t rowByRowLimit = 2000;
    if (rows.size() > rowByRowLimit) {
        failWith(native::NotSupported,
                 {QStringLiteral("SELECT assigning a variable from its own value over more than "
                                 "%1 rows")
                      .arg(rowByRowLimit)});
    }
    const std::size_t count = rows.size();
    assignRow(rows.front());
    for (std::size_t row = 1; row < count; ++row) {
        rows = rowsWithCurrentValues();
        if (rows.size() != count) {
            failWith(native::NotSupported,
                     {QStringLiteral("SELECT assigning a variable from its own value whose rows "
                                     "change with it")});
        }
        assignRow(rows[row]);
    }
    return true;
}

void BatchExecutor::create(const StatementNode& node, VariableScope& scope) {
    const Tokens& tokens = node.tokens;
    const QString what = node.word(1);
    if (what == QLatin1String("DATABASE")) {
        std::size_t i = 2;
        const QString name = readObjectName(tokens, i);
        if (name.isEmpty()) {
            syntaxErrorNear(tokens, 2);
        }
        QString collation;
        for (std::size_t c = i; c + 1 < tokens.size(); ++c) {
            if (tokens[c].isWord(u"COLLATE")) {
                collation = tokens[c + 1].value();
            }
        }
        m_session.createDatabase(name, collation);
        return;
    }
    if (what == QLatin1String("PROCEDURE") || what == QLatin1String("PROC")) {
        compileProcedure(m_session, tokens);
        ProcedureCatalog(m_session.current()).store(tokens, definitionText(node), ProcedureCatalog::Store::Create);
        return;
    }
    if (what == QLatin1String("OR") && node.word(2) == QLatin1String("ALTER") &&
        (node.word(3) == QLatin1String("PROCEDURE") || node.word(3) == QLatin1String("PROC"))) {
        compileProcedure(m_session, tokens);
        ProcedureCatalog(m_session.current()).store(tokens, definitionText(node), ProcedureCatalog::Store::CreateOrAlter);
        return;
    }
    if (what == QLatin1String("FUNCTION")) {
        defineFunction(tokens, definitionText(node), ProcedureCatalog::Store::Create);
        return;
    }
    if (what == QLatin1String("OR") && node.word(2) == QLatin1String("ALTER") &&
        node.word(3) == QLatin1String("FUNCTION")) {
        defineFunction(tokens, definitionText(node), ProcedureCatalog::Store::CreateOrAlter);
        return;
    }
    if (what == QLatin1String("TRIGGER") ||
        (what == QLatin1String("OR") && node.word(2) == QLatin1String("ALTER") &&
         node.word(3) == QLatin1String("TRIGGER"))) {
        compileTrigger(m_session, tokens);
        TriggerCatalog(m_session.current())
            .store(tokens, definitionText(node), what == QLatin1String("TRIGGER") ? ProcedureCatalog::Store::Create
                                                            : ProcedureCatalog::Store::CreateOrAlter);
        return;
    }
    if (what == QLatin1String("TABLE") || what == QLatin1String("VIEW")) {
        // A procedure's, function's, trigger's or sequence's name is taken
        // for a table too (SQLite answers for tables and views itself).
        std::size_t at = 2;
        const QString name = readObjectName(tokens, at);
        SqliteDatabase& database = m_session.current();
        if (!name.startsWith(QLatin1Char('#')) && isObjectName(database, name)) {
            failObjectExists(database, name);
        }
        if (what == QLatin1String("TABLE"))
            refuseTakenConstraintNames(database, name, tokens);
    }
    if (what == QLatin1String("VIEW")) {
        defineView(tokens, definitionText(node), scope, false);
        return;
    }
    if (what == QLatin1String("OR") && node.word(2) == QLatin1String("ALTER") &&
        node.word(3) == QLatin1String("VIEW")) {
        defineView(tokens, definitionText(node), scope, true);
        return;
    }
    runSql(tokens, scope);
}

void BatchExecutor::defineView(const Tokens& tokens, const QString& text, VariableScope& scope,
                               bool alter) {
    // CREATE OR ALTER VIEW makes the view as ALTER VIEW would, or anew.
    const bool orAlter = upperWord(tokens, 1) == QLatin1String("OR");
    std::size_t i = orAlter ? 4 : 2;
    const QString view = readObjectName(tokens, i);
    SqliteDatabase& database = m_session.current();
    if (alter && !orAlter && !database.hasTable(view)) {
        failWith(native::InvalidObjectName, {view});
    }
    if (orAlter) {
        Tokens altering{Token::word(QStringLiteral("ALTER"))};
        altering.insert(altering.end(), tokens.begin() + 3, tokens.end());
        runSql(altering, scope);
    } else {
        runSql(tokens, scope);
    }
    // SQLite accepts a view over missing tables; SQL Server refuses it (208).
    const QString probe = QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(sqliteQuoted(view));
    PreparedStatement check(database.handle(), probe);
    if (!check.ok()) {
        const ProviderError error = database.lastError(probe);
        ignoringErrors([&] {
            database.run(QStringLiteral("DROP VIEW ") + sqliteQuoted(view));
            ViewDefinitions(database).forget(view);
        });
        throw ProviderFailure({error});
    }
    ViewDefinitions(database).store(view, text);
}

void BatchExecutor::drop(const Tokens& tokens, VariableScope& scope) {
    const QString what = upperWord(tokens, 1);
    std::size_t i = 2;
    bool ifExists = false;
    if (upperWord(tokens, 2) == QLatin1String("IF") &&
        upperWord(tokens, 3) == QLatin1String("EXISTS")) {
        ifExists = true;
        i = 4;
    }
    SqliteDatabase& database = m_session.current();
    if (what == QLatin1String("TABLE") || what == QLatin1String("VIEW")) {
        for (const Range& range : splitByCommas(tokens, i, tokens.size())) {
            std::size_t at = range.from;
            const QString name = readObjectName(tokens, at);
            if (!database.hasTable(name)) {
                if (ifExists) {
                    continue;
                }
                failWith(native::CannotDrop, {what.toLower(), name});
            }
            if (what == QLatin1String("TABLE")) {
                m_runner.run(tsql::schema::beforeDropTable(name).join(QStringLiteral(";\n")),
                             QString());
            }
            m_runner.run(QStringLiteral("DROP %1 %2").arg(what, sqliteQuoted(name)), what);
            if (what == QLatin1String("TABLE")) {
                database.run(tsql::schema::forgetIdentity(name).join(QStringLiteral(";\n")));
            }
            TriggerCatalog(database).dropTableTriggers(name); // a table's triggers go with it
            if (what == QLatin1String("VIEW")) {
                ViewDefinitions(database).forget(name);
            }
        }
    } else if (what == QLatin1String("PROCEDURE") || what == QLatin1String("PROC")) {
        ProcedureCatalog catalog(database);
        for (const Range& range : splitByCommas(tokens, i, tokens.size())) {
            std::size_t at = range.from;
            const QString name = readObjectName(tokens, at);
            if (!ifExists || catalog.exists(name)) {
                catalog.drop(name);
            }
        }
    } else if (what == QLatin1String("FUNCTION")) {
        dropFunctions(tokens, i, ifExists);
    } else if (what == QLatin1String("TRIGGER")) {
        TriggerCatalog catalog(database);
        for (const Range& range : splitByCommas(tokens, i, tokens.size())) {
            std::size_t at = range.from;
            const QString name = readObjectName(tokens, at);
            if (!ifExists || catalog.exists(name)) {
                catalog.drop(name);
            }
        }
    } else {
        runSql(tokens, scope);
    }
}

bool BatchExecutor::isTrue(const Tokens& condition, VariableScope& scope) {
    Tokens expression{Token::word("CASE"), Token::word("WHEN"), Token::punctuation("(")};
    expression.insert(expression.end(), condition.begin(), condition.end());
    for (const char* word : {")", "THEN", "1", "ELSE", "0", "END"}) {
        expression.push_back(QChar::fromLatin1(word[0]).isLetter()  ? Token::word(word)
                             : QChar::fromLatin1(word[0]).isDigit() ? Token::number(word)
                                                                    : Token::punctuation(word));
    }
    return evaluate(expression, scope).toInt64() == 1;
}

Variant BatchExecutor::evaluate(const Tokens& expression, VariableScope& scope) {
    if (expression.size() == 1 && expression[0].kind == TokenKind::Variable &&
        !expression[0].text.startsWith(QLatin1String("@@"))) {
        return scope.value(expression[0].text);
    }
    SqliteDatabase& database = m_session.current();
    const QString resolved = resolvedText(expression, scope);
    return m_runner.scalar(
        derivedTexts(database, u'E', resolved, [&] {
            return DerivedTexts{{typedForSchema(
                database.handle(),
                QStringLiteral("SELECT ") + translatorOf(database).translateExpression(resolved))},
                                {}};
        }).statements.front());
}

QString BatchExecutor::sqliteText(const Tokens& tokens, const VariableScope& scope) const {
    return translatorOf(m_session.current())
        .translate(resolvedText(tokens, scope))
        .statements.join(QStringLiteral(";\n"));
}

QString BatchExecutor::resolvedText(const Tokens& tokens, const VariableScope& scope) const {
    if (m_session.hasCurrent()) {
        if (std::optional<ProviderError> error =
                otherDatabaseError(tokens, m_session.current().name())) {
            throw ProviderFailure({std::move(*error)});
        }
    }
    const auto valueOf = [&](const Token& token) -> std::optional<Token> {
        if (token.kind == TokenKind::Word) {
            return sessionFunctionValue(token.text);
        }
        if (!token.text.startsWith(QLatin1String("@@"))) {
            if (const QString table = scope.tableOf(token.text); !table.isEmpty()) {
                return Token::word(table);
            }
            return typedValueToken(scope.value(token.text), scope.type(token.text));
        }
        const QString name = token.text.mid(2);
        return name.compare(QLatin1String("NESTLEVEL"), Qt::CaseInsensitive) == 0
                   ? Token::number(QString::number(m_nesting))
                   : literalToken(m_session.systemValue(name));
    };
    const bool asksCursorStatus =
        std::any_of(tokens.begin(), tokens.end(),
                    [](const Token& token) { return token.isWord(u"CURSOR_STATUS"); });
    // The options apply to the values too: with ANSI_NULLS OFF "= @v" of a
    // NULL @v compares as IS NULL; and to the queries of inline functions.
    const Tokens resolved =
        resolvedTokens(asksCursorStatus ? withCursorStatus(tokens, scope) : tokens, valueOf);
    return joinTokens(withSessionOptions(
        m_session, withUserFunctions(m_session.current(), resolved, m_fillTable)));
}

void BatchExecutor::runSql(const Tokens& tokens, VariableScope& scope) {
    record(runChange(tokens, scope));
}

StatementOutcome BatchExecutor::runChange(const Tokens& tokens, VariableScope& scope) {
    if (const std::optional<DataStatement> data = readDataStatement(tokens)) {
        if (std::optional<StatementOutcome> outcome = runDataChange(*data, scope)) {
            return std::move(*outcome);
        }
    }
    return runTranslated(tokens, scope);
}

StatementOutcome BatchExecutor::runTranslated(const Tokens& tokens, VariableScope& scope) {
    const QString verb = countingVerb(tokens);
    const QString target = verb == QLatin1String("INSERT") ? insertTarget(tokens) : QString();
    SqliteDatabase& database = m_session.current();
    const QString table = target.startsWith(QLatin1Char('@')) ? scope.tableOf(target) : target;
    // Only an INSERT has a column list to write in.
    const QString resolved = table.isEmpty()
                                 ? resolvedText(tokens, scope)
                                 : resolvedText(withIdentitySkipped(database, tokens, table), scope);
    const DerivedTexts translated = translatedStatement(resolved);
    StatementOutcome outcome = m_runner.run(translated.statements.front(), verb, table);
    if (!translated.after.isEmpty()) {
        database.run(translated.after.join(QStringLiteral(";\n")));
    }
    if ((verb == QLatin1String("CREATE") || verb == QLatin1String("ALTER")) &&
        resolved.contains(QLatin1String("CHECK"), Qt::CaseInsensitive)) {
        typeCheckViolations(database.handle());
    }
    return outcome;
}

DerivedTexts BatchExecutor::translatedStatement(const QString& resolved) {
    SqliteDatabase& database = m_session.current();
    return derivedTexts(database, u'T', resolved, [&] {
        QStringList statements = translatedStatements(database, resolved);
        QStringList identities;
        // The checks of a table being made are typed over it: it is made for
        // the while, in a savepoint undone before anything runs.
        static const QRegularExpression createsTable(
            QStringLiteral(R"(^\s*CREATE\s+(TEMP\s+)?TABLE\b)"),
            QRegularExpression::CaseInsensitiveOption);
        // So are its computed columns' expressions.
        static const QRegularExpression computedColumn(
            QStringLiteral(R"(\bGENERATED\s+ALWAYS\s+AS\b)"),
            QRegularExpression::CaseInsensitiveOption);
        const bool madeForTheWhile =
            !statements.empty() && tsql::startsWithWord(statements.front(), "create") &&
            createsTable.match(statements.front()).hasMatch() &&
            (statements.size() > 1 || computedColumn.match(statements.front()).hasMatch()) &&
            !ignoringErrors([&] { database.run(QStringLiteral("SAVEPOINT tsql_typing")); });
        if (madeForTheWhile) {
            ignoringErrors([&] { database.run(statements.front()); });
        }
        for (QString& statement : statements) {
            statement = typedForSchema(database.handle(),
                                       withTypedComputedColumns(database.handle(), statement));
            if (const std::optional<InheritedIdentity> identity =
                    inheritedIdentity(database.handle(), statement)) {
                identities += tsql::schema::identityStatements(
                    identity->table, identity->column, {identity->seed, identity->step}, false);
            }
            statement = withDeclaredColumns(database.handle(), statement);
        }
        if (madeForTheWhile) {
            ignoringErrors([&] {
                database.run(QStringLiteral("ROLLBACK TO tsql_typing; RELEASE tsql_typing"));
            });
        }
        return DerivedTexts{{statements.join(QStringLiteral(";\n"))}, identities};
    });
}

void BatchExecutor::record(StatementOutcome outcome) {
    if (m_functionDepth > 0) {
        return; // a function's statements give the client neither rows nor counts
    }
    if (outcome.resultSet) {
        BatchOutput printed;
        printed.kind = BatchOutput::Kind::ResultSet;
        printed.resultSet = m_result.resultSets.size();
        m_result.output.push_back(printed);
        m_result.resultSets.push_back(std::move(*outcome.resultSet));
    }
    if (outcome.rowsChanged >= 0 && !m_session.noCount) {
        if (!outcome.countGivenByRows) {
            BatchOutput printed;
            printed.kind = BatchOutput::Kind::RowsAffected;
            printed.rowsAffected = outcome.rowsChanged;
            m_result.output.push_back(printed);
        }
        m_result.rowsAffected =
            std::max<std::int64_t>(m_result.rowsAffected, 0) + outcome.rowsChanged;
    }
}

} // namespace estaciones::db::sqlite
