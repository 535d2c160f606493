// INSERT ... SELECT ... FROM (a change's OUTPUT) AS name: the change runs
// first with its OUTPUT INTO a temporary table of the derived table's
// columns, which the INSERT then reads in its place.
#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/db/embedded/execute/ChangeRowsSource.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/TableVariables.h"
#include "platform/db/embedded/parse/Pieces.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

bool BatchExecutor::insertFromChange(const Tokens& tokens, VariableScope& scope) {
    const std::optional<ChangeRowsSource> source = readChangeRowsSource(tokens);
    if (!source) {
        return false;
    }
    const QString table = tableVariableTable(QLatin1Char('@') + source->alias);
    QStringList columns;
    for (const QString& column : source->columns) {
        columns << tsql::quoteName(column);
    }
    m_session.current().run(QStringLiteral("CREATE TEMP TABLE %1 (%2)")
                                .arg(tsql::quoteName(table), columns.join(QStringLiteral(", "))));
    const auto dropTable = [&] { dropTableVariableTable(m_session, table); };
    try {
        Tokens change = source->change;
        change.insert(change.begin() + static_cast<std::ptrdiff_t>(source->outputListEnd),
                      {Token::word(QStringLiteral("INTO")), Token::word(table)});
        if (upperWord(change, 0) == QLatin1String("MERGE")) {
            merge(change, scope);
        } else {
            runSql(change, scope);
        }
        Tokens insert = slice(tokens, 0, source->open);
        insert.push_back(Token::word(table));
        insert.push_back(Token::word(QStringLiteral("AS")));
        insert.push_back(Token::word(tsql::quoteName(source->alias)));
        const Tokens rest = slice(tokens, source->end, tokens.size());
        insert.insert(insert.end(), rest.begin(), rest.end());
        runSql(insert, scope);
    } catch (...) {
        dropTable();
        throw;
    }
    dropTable();
    return true;
}

} // namespace estaciones::db::sqlite
