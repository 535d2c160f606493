#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

// Rows per INSERT ... VALUES statement, well under SQLite's limits.
constexpr std::size_t rowsPerStatement = 200;

// The result sets from `first` on, and their places in the output.
void dropResultSets(ExecutionResult& result, std::size_t first) {
    result.resultSets.resize(first);
    std::erase_if(result.output, [&](const BatchOutput& printed) {
        return printed.kind == BatchOutput::Kind::ResultSet && printed.resultSet >= first;
    });
}

} // namespace

void BatchExecutor::insertExec(const Tokens& tokens, std::size_t execAt, VariableScope& scope) {
    if (m_insertExecDepth > 0) {
        failWith(native::InsertExecNested);
    }
    // The call's result sets are the rows to insert, not output of the batch.
    const std::size_t before = m_result.resultSets.size();
    ++m_insertExecDepth;
    try {
        execute(tokens, execAt + 1, scope);
    } catch (...) {
        --m_insertExecDepth;
        dropResultSets(m_result, before);
        throw;
    }
    --m_insertExecDepth;
    std::vector<std::vector<Variant>> rows;
    for (std::size_t r = before; r < m_result.resultSets.size(); ++r) {
        for (std::vector<Variant>& row : m_result.resultSets[r].rows) {
            rows.push_back(std::move(row));
        }
    }
    dropResultSets(m_result, before);
    if (rows.empty()) {
        record(StatementOutcome{std::nullopt, 0});
        return;
    }
    const Tokens target = slice(tokens, 0, execAt);
    // Triggers fire once for the statement, with every row in `inserted`:
    // the rows then go in one INSERT.
    const bool fires = !TriggerCatalog(m_session.current())
                            .firedBy(insertTarget(target), DataEvent::Insert)
                            .empty();
    const std::size_t perStatement = fires ? rows.size() : rowsPerStatement;
    for (std::size_t from = 0; from < rows.size(); from += perStatement) {
        Tokens insert = target;
        insert.push_back(Token::word(QStringLiteral("VALUES")));
        const std::size_t to = std::min(rows.size(), from + perStatement);
        for (std::size_t r = from; r < to; ++r) {
            if (r > from) {
                insert.push_back(Token::punctuation(QStringLiteral(",")));
            }
            insert.push_back(Token::punctuation(QStringLiteral("(")));
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                if (c > 0) {
                    insert.push_back(Token::punctuation(QStringLiteral(",")));
                }
                insert.push_back(literalToken(rows[r][c]));
            }
            insert.push_back(Token::punctuation(QStringLiteral(")")));
        }
        runSql(insert, scope);
    }
}

} // namespace estaciones::db::sqlite
