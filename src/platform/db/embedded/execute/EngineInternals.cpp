#include "platform/db/embedded/execute/EngineInternals.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"


namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

bool isSqliteStatement(const Token& t) {
    if (t.kind != tsql::TokenKind::Word)
        return false;
    for (const char16_t* word : {u"PRAGMA", u"ATTACH", u"DETACH", u"VACUUM", u"ANALYZE",
                                 u"REINDEX", u"EXPLAIN", u"REPLACE"}) {
        if (t.isWord(word))
            return true;
    }
    return false;
}

// The engine's own tables are named estaciones_* (the catalogue leaves them
// out), its functions and work tables tsql_*. Asked of every name of every
// statement: looked at in place, without a lower-case copy.
bool isInternalName(QStringView name) {
    return name.startsWith(u"tsql_", Qt::CaseInsensitive) ||
           name.startsWith(u"estaciones_", Qt::CaseInsensitive);
}

} // namespace

std::optional<ProviderError> sqliteStatementError(const Tokens& tokens) {
    // PRAGMA data_version alone only reads: the program's calendar asks it
    // to learn that another station wrote.
    if (tokens.size() == 2 && tokens[0].isWord(u"PRAGMA") && tokens[1].isWord(u"data_version"))
        return std::nullopt;
    if (!tokens.empty() && isSqliteStatement(tokens.front()))
        return sqlServerError(native::SyntaxError, {tokens.front().text});
    return std::nullopt;
}

std::optional<ProviderError> engineInternalsError(const Tokens& tokens) {
    if (std::optional<ProviderError> error = sqliteStatementError(tokens))
        return error;
    return internalNameError(tokens);
}

std::optional<ProviderError> internalNameError(const Tokens& tokens) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (!t.isNameLike() || !isInternalName(t.value()))
            continue;
        // A column or alias of that name in a table of the user's is the user's.
        if (i > 0 && (tokens[i - 1].isPunctuation(u".") || tokens[i - 1].isWord(u"AS")))
            continue;
        const bool call = i + 1 < tokens.size() && tokens[i + 1].isPunctuation(u"(");
        return call ? sqlServerError(native::UnknownBuiltInFunction, {t.value()})
                    : sqlServerError(native::InvalidObjectName, {t.value()});
    }
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
