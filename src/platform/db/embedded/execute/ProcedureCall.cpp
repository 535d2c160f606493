#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/catalog/ProcedureCatalog.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/parse/BatchParser.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

constexpr int maximumNesting = 32;

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
        // EXEC ('text'): the text runs as a batch of its own.
        const Variant text = evaluate(slice(tokens, i, tokens.size()), scope);
        VariableScope inner;
        runNodes(parseBatch(text.toString()), inner, false);
        return;
    }
    const QString name = readObjectName(tokens, i);
    if (name.isEmpty()) {
        syntaxErrorNear(tokens, i);
    }
    std::vector<CallArgument> arguments;
    for (const Range& range : splitByCommas(tokens, i, tokens.size())) {
        std::size_t from = range.from;
        std::size_t to = range.to;
        CallArgument argument;
        if (to - from > 2 && tokens[from].kind == TokenKind::Variable &&
            tokens[from + 1].isPunctuation(u"=")) {
            argument.name = tokens[from].text;
            from += 2;
        }
        while (to > from && (tokens[to - 1].isWord(u"OUTPUT") || tokens[to - 1].isWord(u"OUT"))) {
            --to;
        }
        if (to == from) {
            syntaxErrorNear(tokens, from);
        }
        const Token& single = tokens[from];
        if (to - from == 1 && single.isWord(u"DEFAULT")) {
            argument.value = Variant(); // Empty: the parameter's default
        } else if (to - from == 1 && single.isNameLike() && !single.isWord(u"NULL")) {
            argument.value = single.value(); // bare words are text to a procedure
        } else {
            argument.value = evaluate(slice(tokens, from, to), scope);
        }
        arguments.push_back(std::move(argument));
    }
    callProcedure(name, arguments);
    if (!statusVariable.isEmpty()) {
        scope.assign(statusVariable, 0, m_session.dateOrder);
    }
}

void BatchExecutor::callProcedure(const QString& name, const std::vector<CallArgument>& arguments) {
    if (name.startsWith(QLatin1String("sp_"), Qt::CaseInsensitive) &&
        callSystemProcedure(m_session, name, arguments)) {
        return;
    }
    const std::optional<ProcedureDefinition> procedure =
        ProcedureCatalog(m_session.current()).find(name);
    if (!procedure) {
        failWith(native::ProcedureNotFound, {name});
    }
    if (m_nesting >= maximumNesting) {
        failWith(native::NestingLimit);
    }
    VariableScope scope;
    std::vector<bool> supplied(procedure->parameters.size(), false);
    std::size_t position = 0;
    for (const CallArgument& argument : arguments) {
        std::size_t index = position;
        if (!argument.name.isEmpty()) {
            index = procedure->parameters.size();
            for (std::size_t p = 0; p < procedure->parameters.size(); ++p) {
                if (procedure->parameters[p].name.compare(argument.name, Qt::CaseInsensitive) ==
                    0) {
                    index = p;
                }
            }
            if (index == procedure->parameters.size()) {
                failWith(native::TooManyArguments, {procedure->name});
            }
        } else {
            ++position;
        }
        if (index >= procedure->parameters.size()) {
            failWith(native::TooManyArguments, {procedure->name});
        }
        const ProcedureParameter& parameter = procedure->parameters[index];
        if (!scope.isDeclared(parameter.name)) {
            scope.declare(parameter.name, parameter.type);
        }
        if (!argument.value.isEmpty()) {
            scope.assign(parameter.name, argument.value, m_session.dateOrder);
            supplied[index] = true;
        }
    }
    for (std::size_t p = 0; p < procedure->parameters.size(); ++p) {
        const ProcedureParameter& parameter = procedure->parameters[p];
        if (!scope.isDeclared(parameter.name)) {
            scope.declare(parameter.name, parameter.type);
        }
        if (supplied[p]) {
            continue;
        }
        if (!parameter.defaultValue) {
            failWith(native::ProcedureParameterMissing, {procedure->name, parameter.name});
        }
        scope.assign(parameter.name, evaluate(*parameter.defaultValue, scope), m_session.dateOrder);
    }
    // SET NOCOUNT inside a procedure lasts until it returns, as on SQL Server.
    const bool noCount = m_session.noCount;
    const int transactionCount = m_session.transactionDepth();
    ++m_nesting;
    m_procedures.append(procedure->name);
    const auto restore = [&] {
        --m_nesting;
        m_procedures.removeLast();
        m_session.noCount = noCount;
    };
    try {
        runNodes(parseBatch(procedure->body), scope, false);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    checkTransactionCount(transactionCount);
}

} // namespace estaciones::db::sqlite
