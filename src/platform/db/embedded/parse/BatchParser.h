#pragma once

#include "platform/db/embedded/parse/StatementNode.h"

#include <QString>

namespace estaciones::db::sqlite {

// Splits a T-SQL batch into statements without needing semicolons: a
// statement ends where a keyword that can only start a new one appears at
// the outer level (SQL Server's own rule), and BEGIN/END, IF/ELSE, WHILE and
// BEGIN TRY/BEGIN CATCH nest. The whole text is read before anything runs:
// ProviderFailure, on the line where reading stopped, for an unbalanced
// block (102/156), a CREATE VIEW/PROCEDURE/FUNCTION/TRIGGER that is not the
// batch's first statement (111), nesting deeper than the limits (191) and
// the lexical errors of checkLexicalLimits (103, 105, 113).
std::vector<StatementNode> parseBatch(const QString& batch);
std::vector<StatementNode> parseBatch(const tsql::Tokens& tokens);
// The same for tokens read from `text` (their offsets are in it), so that a
// module's definition keeps its source; without a text, as parseBatch(tokens).
std::vector<StatementNode> parseBatch(const tsql::Tokens& tokens, const QString& text);

// The tokens' texts joined by single blanks.
QString joinTokens(const tsql::Tokens& tokens, std::size_t from = 0,
                   std::size_t to = static_cast<std::size_t>(-1));
// The tokens as lines of text: a token from a later line than the one before
// it starts a new line, so that a definition keeps the lines it was written
// in, and tokens of one line keep the blanks between them.
QString joinTokensByLine(const tsql::Tokens& tokens);
// The text a module's definition is stored with: its source when the batch
// came as text, else its tokens as written, by line.
QString definitionText(const StatementNode& node);

} // namespace estaciones::db::sqlite
