#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <optional>
#include <vector>

namespace estaciones::db::sqlite {

// One parsed statement of a T-SQL batch. Control flow nests: a block holds
// its statements, IF holds its branches, WHILE its body.
struct StatementNode {
    enum class Kind {
        Sql,   // anything SQLite runs (after translation); `tokens`
        Block, // BEGIN ... END; `children`
        If,    // `condition`; children[0] then, children[1] else (optional)
        While, // `condition`; children[0] body
        Break,
        Continue,
        Return,
        TryCatch, // BEGIN TRY ... END TRY BEGIN CATCH ... END CATCH; children[0] try, [1] catch
        Label,    // `name:`; tokens[0] the name
        Goto,     // GOTO name; tokens[1] the name
    };
    Kind kind = Kind::Sql;
    tsql::Tokens tokens;    // significant tokens only (no blanks or comments)
    // A module's definition (CREATE VIEW, PROCEDURE ...) as written, before
    // the names of other schemas were made the file's, for its stored text;
    // empty for any other statement.
    tsql::Tokens written;
    // That definition's text exactly as the batch held it (statementSource);
    // empty when the statement came as tokens.
    QString source;
    tsql::Tokens condition; // IF / WHILE
    std::vector<StatementNode> children;
    int line = 0; // where the statement starts in its batch, from 1
    // The token after a simple statement, where the batch goes on: a
    // statement cut short is wrong near it.
    std::optional<tsql::Token> next;

    // The first token as an upper-case word ("" when it is not a word).
    QString firstWord() const;
    QString word(std::size_t index) const;
};

} // namespace estaciones::db::sqlite
