#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/catalog/ProcedureCatalog.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/DatabaseReferences.h"
#include "platform/db/embedded/execute/EngineInternals.h"
#include "platform/db/embedded/execute/HelpProcedures.h"
#include "platform/db/embedded/execute/OtherSchemaDefinitions.h"
#include "platform/db/embedded/execute/SchemaProcedures.h"
#include "platform/db/embedded/execute/SequenceStatements.h"
#include "platform/db/embedded/execute/SessionSettings.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/TableVariables.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/SignificantTokens.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// A text run as a batch of its own: the engine's tables are out of its reach
// as they are of the batch that sends it.
void refuseEngineInternals(const QString& text) {
    if (std::optional<ProviderError> error = internalNameError(tsql::significantTokens(text))) {
        throw ProviderFailure({std::move(*error)});
    }
}

bool isOutputWord(const Token& token) {
    return token.isWord(u"OUTPUT") || token.isWord(u"OUT");
}

// sp_executesql's statement and parameter list, named or in order.
struct DynamicStatement {
    QString statement;
    QString parameterList;
    std::vector<CallArgument> arguments; // for the parameters of the list
};

DynamicStatement dynamicStatementOf(const std::vector<CallArgument>& arguments) {
    DynamicStatement dynamic;
    std::size_t positional = 0;
    for (const CallArgument& argument : arguments) {
        if (argument.name.compare(QLatin1String("@stmt"), Qt::CaseInsensitive) == 0 ||
            (argument.name.isEmpty() && positional == 0)) {
            dynamic.statement = argument.value.toString();
            positional = std::max<std::size_t>(positional, 1);
        } else if (argument.name.compare(QLatin1String("@params"), Qt::CaseInsensitive) == 0 ||
                   (argument.name.isEmpty() && positional == 1)) {
            dynamic.parameterList = argument.value.toString();
            positional = 2;
        } else {
            dynamic.arguments.push_back(argument);
        }
    }
    if (dynamic.statement.isEmpty() && arguments.empty()) {
        failWith(native::ProcedureParameterMissing,
                 {QStringLiteral("sp_executesql"), QStringLiteral("@statement")});
    }
    return dynamic;
}

} // namespace

void BatchExecutor::execute(const Tokens& tokens, std::size_t start, VariableScope& scope) {
    std::size_t i = start;
    QString statusVariable;
    if (i + 1 < tokens.size() && tokens[i].kind == TokenKind::Variable &&
        tokens[i + 1].isPunctuation(u"=")) {
        statusVariable = tokens[i].text;
        i += 2;
    }
    if (i < tokens.size() && tokens[i].isPunctuation(u"(")) {
        // EXEC ('text'): the text runs as a batch of its own, one level deeper.
        runDynamic(evaluate(slice(tokens, i, tokens.size()), scope).toString());
        return;
    }
    // A procedure of another database would run this one's of that name.
    if (std::optional<ProviderError> error =
            otherDatabaseError(slice(tokens, i, tokens.size()), m_session.current().name())) {
        throw ProviderFailure({std::move(*error)});
    }
    QString name;
    if (i < tokens.size() && tokens[i].kind == TokenKind::Variable) {
        name = scope.value(tokens[i++].text).toString(); // EXEC @name: the procedure it names
    } else {
        name = readObjectName(tokens, i);
    }
    if (name.isEmpty()) {
        syntaxErrorNear(tokens, i);
    }
    const std::vector<CallArgument> arguments = readArguments(tokens, i, scope);
    // A scalar function runs as a procedure does, its value for the status.
    if (m_functionDepth == 0 && executeScalarFunction(name, arguments, statusVariable, scope)) {
        return;
    }
    const int status = callProcedure(name, arguments, scope);
    if (!statusVariable.isEmpty()) {
        scope.assign(statusVariable, status, m_session.dateOrder);
    }
}

std::vector<CallArgument> BatchExecutor::readArguments(const Tokens& tokens, std::size_t from,
                                                       VariableScope& scope) {
    std::vector<CallArgument> arguments;
    for (const Range& range : splitByCommas(tokens, from, tokens.size())) {
        std::size_t first = range.from;
        std::size_t end = range.to;
        CallArgument argument;
        if (end - first > 2 && tokens[first].kind == TokenKind::Variable &&
            tokens[first + 1].isPunctuation(u"=")) {
            argument.name = tokens[first].text;
            first += 2;
        }
        while (end > first && isOutputWord(tokens[end - 1])) {
            argument.output = true;
            --end;
        }
        if (end == first) {
            syntaxErrorNear(tokens, first);
        }
        const Token& single = tokens[first];
        const bool alone = end - first == 1;
        if (alone && single.kind == TokenKind::Variable && !single.text.startsWith(u"@@")) {
            argument.variable = single.text;
            argument.value = scope.value(single.text);
        } else if (argument.output) {
            failWith(native::OutputOfConstant);
        } else if (alone && single.isWord(u"DEFAULT")) {
            argument.value = Variant(); // Empty: the parameter's default
        } else if (alone && single.isNameLike() && !single.isWord(u"NULL")) {
            argument.value = single.value(); // bare words are text to a procedure
        } else {
            argument.value = evaluate(slice(tokens, first, end), scope);
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

int BatchExecutor::callProcedure(const QString& name, const std::vector<CallArgument>& arguments,
                                 VariableScope& caller) {
    if (m_functionDepth > 0) {
        failWith(native::ProcedureCalledFromFunction);
    }
    if (name.compare(QLatin1String("sp_executesql"), Qt::CaseInsensitive) == 0) {
        const DynamicStatement dynamic = dynamicStatementOf(arguments);
        refuseEngineInternals(dynamic.statement);
        // Its statement runs as a procedure whose parameters are the list's,
        // all on the statement's first line: an error's line is the line of
        // the statement's own text.
        QString parameters = dynamic.parameterList;
        if (!parameters.contains(QLatin1String("--"))) {
            parameters.replace(QLatin1Char('\r'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
        }
        const QString text = QStringLiteral("CREATE PROCEDURE sp_executesql ") + parameters +
                             QStringLiteral(" AS ") + dynamic.statement;
        ProcedureDefinition procedure = parseProcedure(tsql::significantTokens(text));
        procedure.source = text;
        // sp_executesql is one level and its statement another.
        return callDefinition(procedure, dynamic.arguments, caller, 2);
    }
    if (name.startsWith(QLatin1String("sp_"), Qt::CaseInsensitive)) {
        if (std::optional<std::vector<HelpOutput>> help =
                callHelpProcedure(m_session, name, arguments)) {
            recordHelp(std::move(*help));
            return 0;
        }
    }
    if (name.compare(QLatin1String("sp_sequence_get_range"), Qt::CaseInsensitive) == 0) {
        for (const auto& [variable, value] : sequenceRangeOutputs(m_session, arguments)) {
            caller.assign(variable, value, m_session.dateOrder);
        }
        return 0;
    }
    if (name.startsWith(QLatin1String("sp_"), Qt::CaseInsensitive) &&
        callSystemProcedure(m_session, name, arguments)) {
        if (name.compare(QLatin1String("sp_rename"), Qt::CaseInsensitive) == 0) {
            noteMessages({renameCaution()});
        }
        return 0;
    }
    const std::optional<ProcedureDefinition> procedure =
        ProcedureCatalog(m_session.current()).find(name);
    if (!procedure) {
        failWith(native::ProcedureNotFound, {name});
    }
    return callDefinition(*procedure, arguments, caller, 1);
}

void BatchExecutor::recordHelp(std::vector<HelpOutput> outputs) {
    for (HelpOutput& output : outputs) {
        if (ResultSet* set = std::get_if<ResultSet>(&output)) {
            record(StatementOutcome{std::move(*set), -1});
            continue;
        }
        ProviderError message;
        message.nativeError = 0;
        message.severity = 0;
        message.description = std::get<QString>(output);
        noteMessages({message});
    }
}

int BatchExecutor::callDefinition(const ProcedureDefinition& procedure,
                                  const std::vector<CallArgument>& arguments, VariableScope& caller,
                                  int levels) {
    if (m_nesting + levels > maximumNesting) {
        failWith(native::NestingLimit);
    }
    const std::vector<std::size_t> targets = bindArguments(procedure, arguments);
    VariableScope scope;
    const ScopeTables tables(m_session, scope);
    for (const ProcedureParameter& parameter : procedure.parameters) {
        scope.declare(parameter.name, parameter.type);
    }
    std::vector<bool> supplied(procedure.parameters.size(), false);
    for (std::size_t a = 0; a < arguments.size(); ++a) {
        if (!arguments[a].value.isEmpty()) {
            scope.assign(procedure.parameters[targets[a]].name, arguments[a].value,
                         m_session.dateOrder);
            supplied[targets[a]] = true;
        }
    }
    for (std::size_t p = 0; p < procedure.parameters.size(); ++p) {
        const ProcedureParameter& parameter = procedure.parameters[p];
        if (supplied[p]) {
            continue;
        }
        if (!parameter.defaultValue) {
            failWith(native::ProcedureParameterMissing, {procedure.name, parameter.name});
        }
        scope.assign(parameter.name, evaluate(*parameter.defaultValue, scope), m_session.dateOrder);
    }
    m_returnStatus = 0;
    // ERROR_PROCEDURE() names the innermost procedure; 266 when it returns
    // with another @@TRANCOUNT than it began with.
    const int transactionCount = m_session.transactionDepth();
    m_procedures.append(procedure.name);
    try {
        const std::optional<Tokens> inSchema =
            bodyInModuleSchema(m_session.current(), procedure.name, procedure.body);
        runNested(inSchema ? parseBatch(*inSchema) : parseBatch(procedure.body, procedure.source), scope,
                  levels, true);
    } catch (...) {
        m_procedures.removeLast();
        throw;
    }
    m_procedures.removeLast();
    checkTransactionCount(transactionCount);
    for (std::size_t a = 0; a < arguments.size(); ++a) {
        if (!arguments[a].output) {
            continue;
        }
        const QString& parameter = procedure.parameters[targets[a]].name;
        if (scope.isCursorVariable(parameter)) {
            // A cursor left closed is deallocated, not handed back.
            std::shared_ptr<Cursor> cursor = scope.cursorOf(parameter);
            caller.setCursor(arguments[a].variable,
                             cursor && cursor->isOpen() ? std::move(cursor) : nullptr);
            continue;
        }
        caller.assign(arguments[a].variable, scope.value(parameter), m_session.dateOrder);
    }
    return std::exchange(m_returnStatus, 0);
}

std::vector<std::size_t> BatchExecutor::bindArguments(const ProcedureDefinition& procedure,
                                                      const std::vector<CallArgument>& arguments) {
    const std::vector<ProcedureParameter>& parameters = procedure.parameters;
    std::vector<std::size_t> targets;
    bool namedSeen = false;
    for (std::size_t a = 0; a < arguments.size(); ++a) {
        const CallArgument& argument = arguments[a];
        std::size_t index = a;
        if (argument.name.isEmpty()) {
            if (namedSeen) {
                failWith(native::NamedArgumentsThenPositional, {QString::number(a + 1)});
            }
            if (index >= parameters.size()) {
                failWith(native::TooManyArguments, {procedure.name});
            }
        } else {
            namedSeen = true;
            const auto found =
                std::find_if(parameters.begin(), parameters.end(), [&](const auto& parameter) {
                    return parameter.name.compare(argument.name, Qt::CaseInsensitive) == 0;
                });
            if (found == parameters.end()) {
                failWith(native::NotAParameter, {argument.name, procedure.name});
            }
            index = static_cast<std::size_t>(found - parameters.begin());
        }
        if (argument.output && !parameters[index].output) {
            failWith(native::ParameterNotOutput, {parameters[index].name});
        }
        targets.push_back(index);
    }
    return targets;
}

void BatchExecutor::runDynamic(const QString& text) {
    refuseEngineInternals(text);
    VariableScope inner;
    const ScopeTables tables(m_session, inner);
    runNested(parseBatch(text), inner, 1, false);
}

void BatchExecutor::runNested(const std::vector<StatementNode>& nodes, VariableScope& scope,
                              int levels, bool asProcedure) {
    // SET options changed inside a procedure or a dynamic batch last until
    // it returns, as on SQL Server.
    const SetOptions options(m_session);
    const bool inProcedure = std::exchange(m_inProcedure, asProcedure);
    // A procedure, trigger or dynamic batch is a scope of its own for SCOPE_IDENTITY().
    const Variant scopeIdentity = std::exchange(m_session.scopeIdentity, Variant::null());
    m_nesting += levels;
    const auto restore = [&] {
        m_session.scopeIdentity = scopeIdentity;
        m_nesting -= levels;
        m_inProcedure = inProcedure;
        options.restore(m_session);
    };
    try {
        runBody(nodes, scope, false);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void BatchExecutor::returnFrom(const Tokens& tokens, VariableScope& scope) {
    if (tokens.size() < 2) {
        return;
    }
    if (!m_inProcedure) {
        failWith(native::ReturnValueOutsideProcedure);
    }
    if (m_functionResult) {
        *m_functionResult = evaluate(slice(tokens, 1, tokens.size()), scope);
        return;
    }
    // A NULL status is returned as 0, as the server does.
    const Variant status = evaluate(slice(tokens, 1, tokens.size()), scope);
    m_returnStatus = status.isNull() ? 0 : static_cast<int>(status.toInt64());
}

} // namespace estaciones::db::sqlite
