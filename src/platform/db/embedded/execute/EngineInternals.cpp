#include "platform/db/embedded/execute/EngineInternals.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

#include <QSet>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

bool isSqliteStatement(const Token& t) {
    static const QSet<QString> words = {"pragma", "attach", "detach", "vacuum",
                                        "analyze", "reindex", "explain", "replace"};
    return t.kind == tsql::TokenKind::Word && words.contains(t.text.toLower());
}

bool isInternalName(const QString& lower) {
    static const QSet<QString> tables = {
        "estaciones_procedimientos", "estaciones_parametros",        "estaciones_constraints",
        "estaciones_disparadores",   "estaciones_orden_disparadores", "estaciones_vistas"};
    return lower.startsWith(QLatin1String("tsql_")) || tables.contains(lower);
}

} // namespace

std::optional<ProviderError> sqliteStatementError(const Tokens& tokens) {
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
        if (!t.isNameLike() || !isInternalName(t.value().toLower()))
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
