#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/BatchCompilation.h"
#include "platform/db/embedded/execute/OtherSchemaDefinitions.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/TableVariables.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/storage/StoredValues.h"

#include <QScopeGuard>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

// The name a scalar function's value is converted through: no T-SQL
// variable can be written so.
const QString returnValueName = QStringLiteral("@ return value");

// An argument that names a column (evaluated without the query's rows).
bool readsARow(const ProviderFailure& failure) {
    return namesNoColumn(failure.nativeError());
}

} // namespace

void BatchExecutor::defineFunction(const Tokens& tokens, const QString& text,
                                   ProcedureCatalog::Store how) {
    compileFunction(m_session, tokens);
    FunctionCatalog(m_session.current()).store(tokens, text, how);
    m_functions.clear(); // later statements of the batch call the new text
}

void BatchExecutor::dropFunctions(const Tokens& tokens, std::size_t from, bool ifExists) {
    FunctionCatalog catalog(m_session.current());
    for (const Range& range : splitByCommas(tokens, from, tokens.size())) {
        std::size_t at = range.from;
        const QString name = readObjectName(tokens, at);
        if (!ifExists || catalog.exists(name)) {
            catalog.drop(name);
        }
    }
    m_functions.clear();
}

const BatchExecutor::LoadedFunction& BatchExecutor::loadedFunction(const QString& name) {
    // By database too: USE may change it between two calls of the batch.
    const QString key = m_session.current().name().toLower() + QLatin1Char('.') + name.toLower();
    if (const auto it = m_functions.constFind(key); it != m_functions.constEnd()) {
        return **it;
    }
    std::optional<FunctionDefinition> definition = FunctionCatalog(m_session.current()).find(name);
    if (!definition) {
        failWith(native::UnknownColumnOrFunction,
                 {QStringLiteral("dbo"), QStringLiteral("dbo.") + name});
    }
    auto loaded = std::make_shared<LoadedFunction>();
    loaded->definition = std::move(*definition);
    if (loaded->definition.kind != FunctionKind::InlineTable) {
        const std::optional<Tokens> inSchema =
            bodyInModuleSchema(m_session.current(), loaded->definition.name, loaded->definition.body);
        loaded->body = parseBatch(inSchema ? *inSchema : loaded->definition.body);
    }
    return **m_functions.insert(key, std::move(loaded));
}

void BatchExecutor::runFunctionBody(const LoadedFunction& function,
                                    const std::vector<Variant>& arguments, VariableScope& scope,
                                    Variant* result) {
    const FunctionDefinition& definition = function.definition;
    if (m_nesting + 1 > maximumNesting) {
        failWith(native::NestingLimit);
    }
    for (std::size_t p = 0; p < definition.parameters.size(); ++p) {
        scope.declare(definition.parameters[p].name, definition.parameters[p].type);
        scope.assign(definition.parameters[p].name, arguments[p], m_session.dateOrder);
    }
    Variant* const outerResult = std::exchange(m_functionResult, result);
    ++m_functionDepth;
    m_procedures.append(definition.name);
    const auto restore = qScopeGuard([&] {
        m_procedures.removeLast();
        --m_functionDepth;
        m_functionResult = outerResult;
    });
    runNested(function.body, scope, 1, true);
}

Variant BatchExecutor::callScalarFunction(const QString& name, int count, sqlite3_value** values) {
    const LoadedFunction& function = loadedFunction(name);
    const FunctionDefinition& definition = function.definition;
    if (definition.kind != FunctionKind::Scalar ||
        static_cast<std::size_t>(count) != definition.parameters.size()) {
        failWith(native::UnknownColumnOrFunction,
                 {QStringLiteral("dbo"), QStringLiteral("dbo.") + name});
    }
    std::vector<Variant> arguments;
    for (int k = 0; k < count; ++k) {
        arguments.push_back(readValue(
            values[k], columnInfoFromDeclaration(QString(), definition.parameters[k].type)));
    }
    return scalarValue(function, arguments);
}

bool BatchExecutor::executeScalarFunction(const QString& name,
                                          const std::vector<CallArgument>& arguments,
                                          const QString& resultVariable, VariableScope& caller) {
    if (!FunctionCatalog(m_session.current()).exists(name)) {
        return false;
    }
    const LoadedFunction& function = loadedFunction(name);
    const FunctionDefinition& definition = function.definition;
    if (definition.kind != FunctionKind::Scalar) {
        return false;
    }
    // Named or in order, as a procedure's; DEFAULT or a left-out argument takes the default.
    const std::vector<std::size_t> targets =
        bindArguments(ProcedureDefinition{definition.name, definition.parameters, {}}, arguments);
    std::vector<std::optional<Variant>> given(definition.parameters.size());
    for (std::size_t a = 0; a < arguments.size(); ++a) {
        if (!arguments[a].value.isEmpty()) {
            given[targets[a]] = arguments[a].value;
        }
    }
    std::vector<Variant> values;
    for (std::size_t p = 0; p < definition.parameters.size(); ++p) {
        const ProcedureParameter& parameter = definition.parameters[p];
        if (given[p]) {
            values.push_back(*given[p]);
        } else if (parameter.defaultValue) {
            values.push_back(evaluate(*parameter.defaultValue, caller));
        } else {
            failWith(native::ProcedureParameterMissing, {definition.name, parameter.name});
        }
    }
    const Variant value = scalarValue(function, values);
    if (!resultVariable.isEmpty()) {
        caller.assign(resultVariable, value, m_session.dateOrder);
    }
    return true;
}

Variant BatchExecutor::scalarValue(const LoadedFunction& function,
                                   const std::vector<Variant>& arguments) {
    const FunctionDefinition& definition = function.definition;
    VariableScope scope;
    scope.declare(returnValueName, definition.returnType);
    if (definition.nullOnNullInput && std::any_of(arguments.begin(), arguments.end(),
                                                  [](const Variant& v) { return v.isNull(); })) {
        return Variant::null(); // RETURNS NULL ON NULL INPUT: the body does not run
    }
    Variant result = Variant::null();
    {
        const ScopeTables tables(m_session, scope);
        runFunctionBody(function, arguments, scope, &result);
    }
    scope.assign(returnValueName, result, m_session.dateOrder);
    return scope.value(returnValueName);
}

QString BatchExecutor::fillTableFunction(const FunctionDefinition& called,
                                         const std::vector<Tokens>& arguments) {
    const LoadedFunction& function = loadedFunction(called.name);
    const FunctionDefinition& definition = function.definition;
    std::vector<Variant> values;
    VariableScope none;
    for (const Tokens& argument : arguments) {
        try {
            values.push_back(evaluate(argument, none));
        } catch (const ProviderFailure& failure) {
            if (!readsARow(failure)) {
                throw;
            }
            // The body would run once for each row: not done here.
            failWith(native::NotSupported,
                     {QStringLiteral("APPLY of the multi-statement function %1 to the columns "
                                     "of each row")
                          .arg(definition.name)});
        }
    }
    VariableScope scope;
    const QString table = tableVariableTable(definition.resultVariable);
    Tokens create{Token::word(QStringLiteral("CREATE")), Token::word(QStringLiteral("TABLE")),
                  Token::word(table)};
    create.insert(create.end(), definition.resultColumns.begin(), definition.resultColumns.end());
    m_runner.run(sqliteText(create, scope), QString());
    m_functionTables.append(table);
    scope.declareTable(definition.resultVariable, table, nullptr);
    const ScopeTables tables(m_session, scope, table);
    runFunctionBody(function, values, scope, nullptr);
    return table;
}

void BatchExecutor::dropFunctionTables(qsizetype mark) {
    while (m_functionTables.size() > mark) {
        dropTableVariableTable(m_session, m_functionTables.takeLast());
    }
}

} // namespace estaciones::db::sqlite
