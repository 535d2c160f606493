#pragma once

#include "platform/core/Variant.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/parse/Token.h"

#include <QString>

#include <vector>

namespace estaciones::db::sqlite {

// Small readers of a statement's tokens shared by the executor's parts.

struct Range {
    std::size_t from;
    std::size_t to;
};

// Ranges between the commas at the outer level of tokens[from, to).
std::vector<Range> splitByCommas(const tsql::Tokens& tokens, std::size_t from, std::size_t to);

tsql::Tokens slice(const tsql::Tokens& tokens, std::size_t from, std::size_t to);

// Whether two token lists are the same text, token by token.
bool sameTexts(const tsql::Tokens& a, const tsql::Tokens& b);

using tsql::closingParenthesis;

// A value as the literal token that stands for it in a statement.
tsql::Token literalToken(const Variant& value);

// A variable's value put in a statement, keeping its type where a bare
// literal would lose it: a date goes in as a datetime, so that text compared
// with it is read as a date (`@d < '20250101'`), and money stays money. A
// float variable (`declaredType`) goes in with an exponent, and an int one
// holding -2147483648 as a CAST: those literals would read as decimals.
tsql::Token typedValueToken(const Variant& value, const QString& declaredType = {});
// NULL, or the NULL of a variable's type typedValueToken writes.
bool isNullValueToken(const tsql::Token& token);

// The word at `i` in upper case; empty when it is not a word.
QString upperWord(const tsql::Tokens& tokens, std::size_t i);

// The table an INSERT [INTO] names.
QString insertTarget(const tsql::Tokens& tokens);

// The statements SQL Server knows by their first word (upper case); any
// other first word is the bare procedure call allowed at the start of a batch.
bool isStatementKeyword(const QString& word);

// Where the EXEC of an INSERT ... EXEC starts; tokens.size() for any other statement.
std::size_t insertExecStart(const tsql::Tokens& tokens);

// Throws the server's syntax error (102, or 156 near a keyword) at token `i`.
[[noreturn]] void syntaxErrorNear(const tsql::Tokens& tokens, std::size_t i);

} // namespace estaciones::db::sqlite
