#pragma once

#include "platform/db/embedded/parse/StatementNode.h"

#include <QString>

namespace estaciones::db::sqlite {

// Splits a T-SQL batch into statements without needing semicolons: a
// statement ends where a keyword that can only start a new one appears at
// the outer level (SQL Server's own rule), and BEGIN/END, IF/ELSE and WHILE
// nest. Throws ProviderFailure (102/156) on an unbalanced block.
std::vector<StatementNode> parseBatch(const QString& batch);
std::vector<StatementNode> parseBatch(const tsql::Tokens& tokens);

// The tokens' texts joined by single blanks.
QString joinTokens(const tsql::Tokens& tokens, std::size_t from = 0,
                   std::size_t to = static_cast<std::size_t>(-1));

} // namespace estaciones::db::sqlite
